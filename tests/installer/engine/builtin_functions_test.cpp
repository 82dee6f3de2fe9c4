// The engine's own script-callable functions: f16 sets a variable, f27 splits a text.
#include "engine_fakes.h"
#include "installer/engine/builtin_functions.h"

#include <gtest/gtest.h>
#include <tuple>

namespace vorn {
namespace {

using testing::EngineHarness;

constexpr auto Call = testing::CallBuiltin;

TEST(BuiltinNumber, OnlyTheExportNames) {
    EXPECT_EQ(std::tuple(BuiltinNumber("f0"), BuiltinNumber("f16"), BuiltinNumber("f34")),
              std::tuple(0u, 16u, 34u));
    for (const char* name : {"f35", "F16", "f", "f016", "f1x", "g1", "f-1"}) {
        EXPECT_FALSE(BuiltinNumber(name)) << name;
    }
}

TEST(ArgumentFields, SplitAtDel) {
    ArgumentFields fields("12\x7F"
                          "NAME\x7F\x7Flast");
    EXPECT_EQ(std::tuple(fields.Number(0), fields.Text(1), fields.Text(2), fields.Text(3),
                         fields.Text(4), fields.Number(4)),
              std::tuple(12, "NAME", "", "last", "", 0));
}

TEST(f16, SetsAppendsAndTransforms) {
    struct Case {
        const char* Before;
        int Flags;
        const char* Value;
        const char* After;
    } cases[] = {
        {"old", 1, "new", "new"},
        {"old", 0, "new", "oldnew"},
        {"", 1, "C:\\APP\\BIN\\X.EXE", "C:\\APP\\BIN\\X.EXE"},
        {"", 1 | 2, "C:\\APP\\BIN\\X.EXE", "C:\\APP\\BIN"},
        {"41", 1 << 2, "", "42"},
        {"0", 2 << 2, "", "-1"},
        {"", 1 | (3 << 2), "C:\\APP\\\\", "C:\\APP"},
        {"", 1 | (6 << 2), "Mixed \xE9", "MIXED \xC9"},
        {"", 1 | (7 << 2), "Mixed \xC9", "mixed \xE9"},
        {"", 1 | (5 << 2), "C:\\LONG NAME", "C:\\LONG NAME"},
    };
    for (const Case& c : cases) {
        EngineHarness h({});
        h.Machine->Variables.SetVariable("V", c.Before);
        EXPECT_EQ(Call(f16, *h.Machine, std::to_string(c.Flags) + "\x7FV\x7F" + c.Value), 1);
        EXPECT_EQ(h.Machine->Variables.GetVariable("V"), c.After) << c.Flags << " " << c.Value;
    }
}

TEST(f16, AnswerFileSuppliesTheValue) {
    EngineHarness h({});
    h.Machine->Variables.SetVariable("WIN", "C:\\WINDOWS");
    h.Machine->Answers = {{" target ", "%WIN%\\APP"}};
    const std::string argument = "129\x7FTARGET\x7F"
                                 "default";
    Call(f16, *h.Machine, argument);
    EXPECT_EQ(h.Machine->Variables.GetVariable("TARGET"), "default");
    h.Machine->HasAnswerFile = true;
    Call(f16, *h.Machine, argument);
    EXPECT_EQ(h.Machine->Variables.GetVariable("TARGET"), "C:\\WINDOWS\\APP");
    EXPECT_EQ(Call(f16, *h.Machine, "1\x7F\x7Fx"), 0) << "no variable named";
}

TEST(f27, SplitsAtPatternOrPosition) {
    struct Case {
        int Flags;
        const char* Text;
        const char* Pattern;
        const char* Left;
        const char* Right;
        int Result;
    } cases[] = {
        {0, "a=b=c", "=", "a", "b=c", 1},
        {4, "a=b=c", "=", "a=b", "c", 1},
        {0, "KeyVALUEkey", "key", "KeyVALUE", "", 1},
        {2, "KeyVALUEkey", "key", "", "VALUEkey", 1},
        {2 | 4, "KeyVALUEkey", "KEY", "KeyVALUE", "", 1},
        {0, "no split", "=", "no split", "", 0},
        {1, " left = right ", "=", "left", "right", 1},
        {8, "abcdef", "2", "ab", "cdef", 1},
        {8, "abc", "10", "abc", "", 1},
        {12, "abcdef", "2", "abcd", "ef", 1},
        {12, "abc", "10", "", "abc", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Flags) + " " + c.Text);
        EngineHarness h({});
        const std::string argument =
            std::to_string(c.Flags) + "\x7F" + c.Text + "\x7F" + c.Pattern + "\x7FL\x7FR";
        EXPECT_EQ(Call(f27, *h.Machine, argument), c.Result);
        EXPECT_EQ(std::tuple(h.Machine->Variables.GetVariable("L"),
                             h.Machine->Variables.GetVariable("R")),
                  std::tuple(c.Left, c.Right));
    }
}

} // namespace
} // namespace vorn
