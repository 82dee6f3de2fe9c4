#include "control/database/aci_colors.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

TEST(AciColors, TableEntriesComeBackInColorRefLayout) {
    struct Case {
        Integer Number;
        Long ColorRef;
    };
    const Case cases[] = {
        {0, 0x000000},   {1, 0x0010FF},   {5, 0xFF1000},   {7, 0xFFFFFF},   {8, 0x849684},
        {9, 0xBDBEBD},   {11, 0x6371FF},  {59, 0x425142},  {100, 0x31FF00}, {152, 0xCE7100},
        {249, 0x313031}, {250, 0x313031}, {251, 0x5A595A}, {254, 0xD6D7D6}, {255, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColorFromACI(c.Number), c.ColorRef) << "colour number " << c.Number;
    }
}

TEST(AciColors, ByLayerAndByBlockNumbersAreWhiteAndOutOfRangeIsBlack) {
    for (Integer number = 256; number <= 259; ++number) {
        EXPECT_EQ(ColorFromACI(number), 0xFFFFFF) << number;
    }
    EXPECT_EQ(ColorFromACI(260), 0);
    EXPECT_EQ(ColorFromACI(-1), 0);
    EXPECT_EQ(ColorFromACI(32767), 0);
    EXPECT_EQ(ColorFromACI(-32768), 0);
}

} // namespace
} // namespace plandra
