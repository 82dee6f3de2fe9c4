// Small mapping rules of the drawing: colour numbers, line types, text fonts, angles,
// flag bits and fixed-length text.
#include "control/database/aci_colors.h"
#include "control/database/drawing_math.h"
#include "control/database/fixed_string.h"
#include "control/database/font_map.h"
#include "control/database/linetype_map.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

TEST(AciColors, TableEntriesComeBackInColorRefLayoutAndOthersAreWhiteOrBlack) {
    // By layer and by block (256 to 259) are white; numbers out of range black.
    const std::pair<Integer, Long> cases[] = {
        {0, 0x000000},   {1, 0x0010FF},   {5, 0xFF1000},   {7, 0xFFFFFF},   {8, 0x849684},
        {9, 0xBDBEBD},   {11, 0x6371FF},  {59, 0x425142},  {100, 0x31FF00}, {152, 0xCE7100},
        {249, 0x313031}, {250, 0x313031}, {251, 0x5A595A}, {254, 0xD6D7D6}, {255, 0xFFFFFF},
        {256, 0xFFFFFF}, {257, 0xFFFFFF}, {258, 0xFFFFFF}, {259, 0xFFFFFF}, {260, 0},
        {-1, 0},         {32767, 0},      {-32768, 0},
    };
    for (auto [number, colorRef] : cases) {
        EXPECT_EQ(ColorFromACI(number), colorRef) << "colour number " << number;
    }
}

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
