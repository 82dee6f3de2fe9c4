#include "command_line_options.h"

#include <gtest/gtest.h>
#include <optional>

namespace plandra::cli {
namespace {

TEST(CommandLineOptions, Size) {
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ParseSize("640x480", width, height));
    EXPECT_EQ(std::pair(width, height), std::pair(640, 480));
    ASSERT_TRUE(ParseSize("1x16384", width, height));
    EXPECT_EQ(std::pair(width, height), std::pair(1, 16384));
    for (const char* text : {"", "640", "640x", "x480", "640x480px", "640 x480", "640x480x2",
                             "0x10", "16385x10", "-640x480", "640x-480", "99999999999x1"}) {
        EXPECT_FALSE(ParseSize(text, width, height)) << text;
    }
}

TEST(CommandLineOptions, ColorTurnsRrggbbIntoAColorref) {
    struct Case {
        const char* Text;
        std::optional<Long> Expected;
    };
    const Case cases[] = {
        {"FF1000", 0x0010FF}, {"00ff7f", 0x7FFF00}, {"000000", 0},  {"", {}},
        {"FFF", {}},          {"FF10000", {}},      {"FF10G0", {}}, {"FF10 0", {}},
        {"-F1000", {}},       {"+F1000", {}},       {"0x1000", {}}};
    for (const Case& c : cases) {
        Long color = -1;
        EXPECT_EQ(ParseColor(c.Text, color), c.Expected.has_value()) << c.Text;
        EXPECT_EQ(color, c.Expected.value_or(-1)) << c.Text;
    }
}

TEST(CommandLineOptions, Window) {
    RealRect window;
    ASSERT_TRUE(ParseWindow("0,5,10,-2.5", window));
    EXPECT_EQ(window, (RealRect{0, 5, 10, -2.5f}));
    ASSERT_TRUE(ParseWindow("-1e3,2,3.25,4", window));
    EXPECT_EQ(window, (RealRect{-1000, 2, 3.25f, 4}));
    for (const char* text : {"", "1,2,3", "1,2,3,", ",2,3,4", "1,2,3,4,5", "1,2,3,4m", "1 ,2,3,4",
                             "1,2,3,1e39", "inf,2,3,4", "1,nan,3,4"}) {
        EXPECT_FALSE(ParseWindow(text, window)) << text;
    }
}

} // namespace
} // namespace plandra::cli
