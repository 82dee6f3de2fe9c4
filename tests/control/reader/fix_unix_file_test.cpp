// Converting a file with bare line feeds to CR LF line ends before it is read.
#include "control/reader/fix_unix_file.h"
#include "platform/headless/headless_screen.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

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

TEST(FixUnixFile, RefusesToConvertAFileOntoItself) {
    test::TempFile input("A\nB\n");
    platform::HeadlessScreen screen;
    std::string error;
    EXPECT_FALSE(FixUNIXFile(error, input.Name(), input.Name(), screen));
    EXPECT_EQ(error, "An error ocurred in FixUNIXFile. The message is: The input and  output "
                     "file names must be different.");
    EXPECT_EQ(input.Read(), "A\nB\n");
    EXPECT_EQ(screen.GetMousePointer(), platform::MousePointer::Default);
}

TEST(FixUnixFile, ReportsAMissingInputFile) {
    test::TempFile output;
    platform::HeadlessScreen screen;
    std::string error;
    EXPECT_FALSE(FixUNIXFile(error, "/nonexistent/input.dxf", output.Name(), screen));
    EXPECT_EQ(error, "An error ocurred in FixUNIXFile. The message is: File not found");
    EXPECT_EQ(screen.GetMousePointer(), platform::MousePointer::Default);
}

} // namespace
} // namespace plandra
