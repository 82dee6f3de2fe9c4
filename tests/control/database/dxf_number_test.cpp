// Numbers as the drawing's text gives them, and their conversion to the automation types.
#include "control/database/control_error.h"
#include "control/database/dxf_number.h"
#include "support/control_error_of.h"

#include <gtest/gtest.h>

namespace plandra {
namespace {

TEST(DxfNumber, LenientParsingTakesTheLongestNumericPrefix) {
    struct Case {
        const char* Text;
        double Value;
    };
    const Case cases[] = {
        {"", 0},           {"abc", 0},         {"  10", 10},
        {"-3.5", -3.5},    {"+2", 2},          {"1.5E2", 150},
        {"1.5e-1", 0.15},  {"2D3", 2000},      {"12abc", 12},
        {"3.25 mm", 3.25}, {".5", 0.5},        {"7.", 7},
        {"1e", 1},         {"1e+", 1},         {"-", 0},
        {"\t 42", 42},     {"0.000001", 1e-6}, {"99999999999999999999", 1e20},
        {"- 5", 0},        {"5-", 5},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ParseLenientNumber(c.Text), c.Value) << '"' << c.Text << '"';
    }
}

TEST(DxfNumber, NumbersBeyondDoubleRangeOverflow) {
    // The first significant digit's place and the exponent together decide.
    for (const char* tooLarge : {"1e999", "1000e306", "1e99999999999999999999"}) {
        EXPECT_THROW(ParseLenientNumber(tooLarge), ControlError) << tooLarge;
    }
    EXPECT_DOUBLE_EQ(ParseLenientNumber("1e-999"), 0);
    EXPECT_DOUBLE_EQ(ParseLenientNumber("0.001e-330"), 0);
}

TEST(DxfNumber, IntegerConversionRoundsTiesToEvenAndChecksRange) {
    const std::pair<double, int> inRange[] = {{2.5, 2}, {3.5, 4},       {-2.5, -2},      {-7.5, -8},
                                              {0.5, 0}, {32767, 32767}, {-32768, -32768}};
    for (auto [value, integer] : inRange) {
        EXPECT_EQ(ToInteger(value), integer) << value;
    }
    EXPECT_EQ(RoundHalfEven(2251799813685248.5), 2251799813685248.0) << "past the quick path";
    EXPECT_EQ(RoundHalfEven(-1e300), -1e300);
    EXPECT_EQ(ToLong(2147483647.0), 2147483647);
    for (double outside : {32768.0, -32769.0, 32767.5}) {
        EXPECT_EQ(test::ErrorOf([&] { ToInteger(outside); }).Description, "Overflow") << outside;
    }
    EXPECT_THROW(ToLong(2147483648.0), ControlError);
    EXPECT_THROW(ToSingle(1e39), ControlError);
    EXPECT_EQ(ToSingle(0.1), 0.1f);
}

} // namespace
} // namespace plandra
