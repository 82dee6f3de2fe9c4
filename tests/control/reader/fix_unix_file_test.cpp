// Converting a file with bare line feeds to CR LF line ends before it is read.
#include "control/reader/fix_unix_file.h"
#include "platform/headless/headless_screen.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>
#include <tuple>

namespace plandra {
namespace {

struct ConversionCase {
    std::string In;
    std::string Out;
};

TEST(FixUnixFile, ConvertsBareLineFeedsAndAddsAFinalLineEnd) {
    const ConversionCase cases[] = {
        {"A\nB\n", "A\r\nB\r\n\r\n"},
        {"A\r\nB\r\n", "A\r\nB\r\n\r\n"},
        {"", "\r\n"},
        {"no end", "no end\r\n"},
        {"A\rB", "A\rB\r\n"},
        // A blank line after a CR LF end is a bare line feed of its own.
        {"A\r\n\nB", "A\r\n\r\nB\r\n"},
        {std::string(600, 'x') + "\n", std::string(600, 'x') + "\r\n\r\n"},
    };
    for (const ConversionCase& c : cases) {
        test::TempFile input(c.In);
        test::TempFile output;
        platform::HeadlessScreen screen;
        std::string error = "stale";
        ASSERT_TRUE(FixUNIXFile(error, input.Name(), output.Name(), screen)) << error;
        EXPECT_EQ(error, "");
        EXPECT_EQ(output.Read(), c.Out);
        ASSERT_EQ(screen.History.size(), 2u);
        EXPECT_EQ(screen.History.front(), platform::MousePointer::Hourglass);
        EXPECT_EQ(screen.History.back(), platform::MousePointer::Default);
    }
}

TEST(FixUnixFile, RefusesAFileOntoItselfAndAMissingInput) {
    test::TempFile input("A\nB\n"), output;
    const std::string prefix = "An error ocurred in FixUNIXFile. The message is: ";
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {input.Name(), input.Name(), "The input and  output file names must be different."},
        {"/nonexistent/input.dxf", output.Name(), "File not found"},
    };
    for (const auto& [in, out, message] : cases) {
        platform::HeadlessScreen screen;
        std::string error;
        EXPECT_FALSE(FixUNIXFile(error, in, out, screen));
        EXPECT_EQ(error, prefix + message);
        EXPECT_EQ(input.Read(), "A\nB\n");
        EXPECT_EQ(screen.GetMousePointer(), platform::MousePointer::Default);
    }
}

} // namespace
} // namespace plandra
