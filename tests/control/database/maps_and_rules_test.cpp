// Small mapping rules of the drawing: line types, text fonts, angles, flag bits and
// fixed-length text.
#include "control/database/drawing_math.h"
#include "control/database/fixed_string.h"
#include "control/database/font_map.h"
#include "control/database/linetype_map.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

TEST(LinetypeMap, NamesMapExactlyAndEverythingElseIsSolid) {
    struct Case {
        const char* Name;
        Integer Style;
    };
    const Case cases[] = {
        {"CONTINUOUS", 0}, {"DASHED", 1},  {"DASHED2", 1},   {"DASHEDX2", 1}, {"DOT", 2},
        {"DOTX2", 2},      {"DASHDOT", 3}, {"DASHDOTX2", 3}, {"PHANTOM", 4},  {"PHANTOM2", 4},
        {"Continuous", 0}, {"dashed", 0},  {"HIDDEN", 0},    {"", 0},         {"DASHED ", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PenStyleFromLinetype(c.Name), c.Style) << c.Name;
    }
}

TEST(FontMap, StrokeFontStylesGetTheProportionalFont) {
    FontChoices fonts;
    fonts.PropFontScalar = 1.25f;
    fonts.MonoFontScalar = 0.75f;
    struct Case {
        const char* Style;
        const char* Face;
        float Scalar;
    };
    const Case cases[] = {
        {"romans ", "Arial", 1.25f}, {"  SIMPLEX", "Arial", 1.25f},
        {"TITLE", "Arial", 1.25f},   {"STANDARD", "Courier New", 0.75f},
        {"", "Courier New", 0.75f},  {"ISOCPEUR", "Courier New", 0.75f},
        {"RomanC", "Arial", 1.25f},  {"MONOTXT", "Courier New", 0.75f},
    };
    for (const Case& c : cases) {
        std::string style = c.Style;
        EXPECT_EQ(MapTextStyleToFont(style, fonts), c.Scalar) << c.Style;
        EXPECT_EQ(style, c.Face) << c.Style;
    }
}

TEST(DrawingMath, NormalizeAngleReducesOnlyAnglesOfAFullTurnOrMore) {
    struct Case {
        float In;
        float Out;
    };
    const Case cases[] = {{450, 90},  {360, 0},  {359.5f, 359.5f},
                          {-90, -90}, {1080, 0}, {-720, -720}};
    for (const Case& c : cases) {
        float angle = c.In;
        EXPECT_EQ(NormalizeAngle(angle), c.Out) << c.In;
        EXPECT_EQ(angle, c.Out) << c.In;
    }
    float huge = 3e38f;
    float reduced = NormalizeAngle(huge);
    EXPECT_GE(reduced, 0.0f);
    EXPECT_LT(reduced, 360.0f);
}

TEST(DrawingMath, IsBitSetReadsTheNineLowBits) {
    const std::pair<int, int> set[] = {{1, 0}, {4, 2}, {5, 0}, {256, 8}, {511, 3}};
    for (auto [flags, bit] : set) {
        EXPECT_TRUE(IsBitSet(flags, bit)) << flags << " bit " << bit;
    }
    EXPECT_FALSE(IsBitSet(4, 0));
    EXPECT_FALSE(IsBitSet(0, 0));
}

TEST(FixedString, PadsWithBlanksAndCutsLongerText) {
    FixedString<5> text("ab");
    EXPECT_EQ(text.View(), "ab   ");
    EXPECT_EQ(text.Trimmed(), "ab");
    text.Assign("abcdefg");
    EXPECT_EQ(text.View(), "abcde");
    text.Assign("");
    EXPECT_EQ(text.Trimmed(), "");
}

} // namespace
} // namespace plandra
