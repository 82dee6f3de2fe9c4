#include "command_line_options.h"

#include <gtest/gtest.h>
#include <optional>

namespace plandra::cli {
namespace {

TEST(CommandLineOptions, Size) {
    struct Case {
        const char* Text;
        std::optional<std::pair<int, int>> Expected;
    };
    const Case cases[] = {{"640x480", {{640, 480}}},
                          {"1x16384", {{1, 16384}}},
                          {"", {}},
                          {"640", {}},
                          {"640x", {}},
                          {"x480", {}},
                          {"640x480px", {}},
                          {"640 x480", {}},
                          {"640x480x2", {}},
                          {"0x10", {}},
                          {"16385x10", {}},
                          {"-640x480", {}},
                          {"640x-480", {}},
                          {"99999999999x1", {}}};
    for (const Case& c : cases) {
        int width = 0;
        int height = 0;
        const bool ok = ParseSize(c.Text, width, height);
        EXPECT_EQ(ok ? std::optional(std::pair(width, height)) : std::nullopt, c.Expected)
            << c.Text;
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
    struct Case {
        const char* Text;
        std::optional<RealRect> Expected;
    };
    const Case cases[] = {{"0,5,10,-2.5", RealRect{0, 5, 10, -2.5f}},
                          {"-1e3,2,3.25,4", RealRect{-1000, 2, 3.25f, 4}},
                          {"", {}},
                          {"1,2,3", {}},
                          {"1,2,3,", {}},
                          {",2,3,4", {}},
                          {"1,2,3,4,5", {}},
                          {"1,2,3,4m", {}},
                          {"1 ,2,3,4", {}},
                          {"1,2,3,1e39", {}},
                          {"inf,2,3,4", {}},
                          {"1,nan,3,4", {}}};
    for (const Case& c : cases) {
        RealRect window;
        const bool ok = ParseWindow(c.Text, window);
        EXPECT_EQ(ok ? std::optional(window) : std::nullopt, c.Expected) << c.Text;
    }
}

} // namespace
} // namespace plandra::cli
