#include "installer/engine/comparison.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(CompareVersions, VersionsAndDates) {
    struct Case {
        const char* A;
        const char* B;
        int Expected;
    } cases[] = {
        {"3.1", "3.10", 0},
        {"1.5", "1.10", 1},
        {"1.10", "1.5", -1},
        {"2.0", "10.0", -1},
        {"4.00.950", "4.0.1111", 1},
        {"1.2", "1.2.1", -1},
        {"  1.2", "1.2", 0},
        {"1.2a", "1.2b", -1},
        {"1.2b", "1.2B", 1},
        {"12/31/99", "01/01/00", -1},
        {"01/01/00", "12/31/99", 1},
        {"06/15/97", "06/14/97", 1},
        {"12/31/99 10:00:00", "12/31/99 10:00:01", -1},
        {"99999999999999999999.1", "99999999999999999998.9", 1},
        {"", "", 0},
        {"", "1", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareVersions(c.A, c.B), c.Expected) << c.A << " vs " << c.B;
    }
}

TEST(EvaluateComparison, EveryCode) {
    struct Case {
        int Code;
        const char* Variable;
        const char* Value;
        bool Expected;
    } cases[] = {
        {0, "Yes", "Yes", true},      {0, "Yes", "yes", false},
        {1, "Yes", "yes", true},      {2, "C:\\APP", "APP", true},
        {2, "C:\\APP", "app", false}, {2, "abc", "", true},
        {3, "C:\\APP", "APP", false}, {4, "Yes", "YES", true},
        {5, "Yes", "YES", false},     {6, "3.1", "3.10", false},
        {7, "3.1", "3.10", true},     {8, "1.10", "1.5", true},
        {9, "1.5", "1.5", true},      {6, "12/31/99", "01/01/00", false},
        {10, "ABC", "xyzC", true},    {10, "ABC", "xyz", false},
        {11, "ABC", "CBA", false},    {11, "ABCD", "CBA", true},
        {12, "four", "4", true},      {12, "four", " 4x", true},
        {12, "", "", true},           {12, "four", "5", false},
        {13, "a", "a", false},        {15, "a", "a", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EvaluateComparison(c.Code, c.Variable, c.Value), c.Expected)
            << c.Code << " " << c.Variable << " " << c.Value;
    }
}

} // namespace
} // namespace vorn
