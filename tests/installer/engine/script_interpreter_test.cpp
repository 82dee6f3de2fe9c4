// Running scripts: blocks and loops, library calls, broken scripts, questions and
// temporary files.
#include "engine_fakes.h"
#include "installer/engine/script_builder.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using testing::EngineHarness;

/// f16's argument for "add one to VARIABLE".
std::string AddOne(std::string_view variable) {
    return "4\x7F" + std::string(variable) + "\x7F";
}

TEST(RunActions, IfElseAndNestedBlocks) {
    ScriptBuilder b;
    b.If("A", 0, "yes");
    b.If("B", 0, "yes");
    b.AddToLog("ab;");
    b.Else();
    b.AddToLog("a-not-b;");
    b.End();
    b.Else();
    b.If("B", 4, "YES");
    b.AddToLog("b-not-a;");
    b.End();
    b.End();
    b.AddToLog("end;");
    std::vector<std::uint8_t> script = b.Build();
    struct Case {
        const char* A;
        const char* B;
        const char* Log;
    } cases[] = {
        {"yes", "yes", "ab;end;"},
        {"yes", "no", "a-not-b;end;"},
        {"no", "yes", "b-not-a;end;"},
        {"no", "no", "end;"},
    };
    for (const Case& c : cases) {
        EngineHarness h(script);
        h.Machine->Variables.SetVariable("A", c.A);
        h.Machine->Variables.SetVariable("B", c.B);
        EXPECT_EQ(h.Run(), run::Finished);
        EXPECT_EQ(h.Log.Text, c.Log) << c.A << " " << c.B;
    }
}

TEST(RunActions, WhileLoopsTestFirstOrAtTheEnd) {
    struct Case {
        const char* Start;
        std::uint8_t Flags;
        const char* Log;
    } cases[] = {
        {"0", 0, "0;1;2;done"},
        {"5", 0, "done"},
        {"0", cond::TestAtEnd, "0;1;2;done"},
        {"5", cond::TestAtEnd, "5;done"},
    };
    for (const Case& c : cases) {
        ScriptBuilder b;
        b.While("I", 8, "3", c.Flags);
        b.AddToLog("%I%;");
        b.CallDll(call::OwnFunction, "", "f16", {AddOne("I")});
        b.End();
        b.AddToLog("done");
        std::vector<std::uint8_t> original = b.Build();
        EngineHarness h(original);
        h.Machine->Variables.SetVariable("I", c.Start);
        EXPECT_EQ(h.Run(), run::Finished);
        EXPECT_EQ(h.Log.Text, c.Log) << c.Start << " flags " << int{c.Flags};
        // The test-at-end state is back as compiled, ready for the next visit.
        EXPECT_EQ(h.Bytes, original);
        EXPECT_EQ(h.Machine->Loops.Size(), 0);
    }
}

TEST(RunActions, TestAtEndLoopInsideALoopRunsItsBodyFirstOnEveryVisit) {
    ScriptBuilder b;
    b.While("OUTER", 8, "2");
    b.While("INNER", 8, "0", cond::TestAtEnd);
    b.AddToLog("body;");
    b.End();
    b.CallDll(call::OwnFunction, "", "f16", {AddOne("OUTER")});
    b.End();
    EngineHarness h(b.Build());
    h.Machine->Variables.SetVariable("OUTER", "0");
    h.Machine->Variables.SetVariable("INNER", "9");
    EXPECT_EQ(h.Run(), run::Finished);
    EXPECT_EQ(h.Log.Text, "body;body;");
}

std::int32_t CountDown(void* block) {
    auto* call = static_cast<DllCallBlockEx*>(block);
    // The counter lives in variable slot 0, a one-digit value.
    char& digit = call->Values[0];
    if (digit == '0') {
        return 0;
    }
    --digit;
    return 1;
}

TEST(RunActions, DllWhileIfAndAbortForms) {
    struct Case {
        std::uint8_t Flags;
        const char* Counter;
        int Result;
        const char* Log;
    } cases[] = {
        {call::While, "3", run::Finished, "body;body;body;after"},
        {call::While, "0", run::Finished, "after"},
        {call::While | call::TestAtEnd, "0", run::Finished, "body;after"},
        {call::While | call::TestAtEnd, "2", run::Finished, "body;body;body;after"},
        {call::If, "1", run::Finished, "body;after"},
        {call::If, "0", run::Finished, "after"},
        {call::AbortWhenTrue, "1", run::Aborted, ""},
        {call::AbortWhenTrue, "0", run::Finished, "body;after"},
    };
    for (const Case& c : cases) {
        ScriptBuilder b;
        b.CallDll(c.Flags, "COUNT.DLL", "CountDown", {""});
        b.AddToLog("body;");
        if (c.Flags != call::AbortWhenTrue) {
            b.End();
        }
        b.AddToLog("after");
        std::vector<std::uint8_t> original = b.Build();
        EngineHarness h(original);
        h.Libraries.AddLibrary("COUNT.DLL", {{"CountDown", CountDown}});
        h.Machine->Variables.SetVariable("COUNTER", c.Counter);
        EXPECT_EQ(h.Run(), c.Result);
        EXPECT_EQ(h.Log.Text, c.Log) << int{c.Flags} << " " << c.Counter;
        EXPECT_EQ(h.Bytes, original);
        EXPECT_EQ(h.Libraries.References("COUNT.DLL"), 0);
        EXPECT_EQ(h.Host.AbortFlag, c.Result == run::Aborted);
    }
}

std::int32_t AddVariableThroughBlock(void* argument) {
    auto* block = static_cast<DllCallBlock*>(argument);
    char* name = block->Names + block->SlotsInUse * block->NameSize;
    char* value = block->Values + block->SlotsInUse * block->ValueSize;
    std::snprintf(name, block->NameSize, "%%FROMDLL%%");
    std::snprintf(value, block->ValueSize, "%s", block->Argument);
    ++block->SlotsInUse;
    return block->Size == sizeof(DllCallBlock);
}

TEST(RunActions, LibraryLoadedTheOldWayGetsThePlainBlockAndStaysLoaded) {
    ScriptBuilder b;
    b.CallDll(call::If, "%INSTDIR%\\OLD.DLL", "Add", {"arg %LANG%"});
    b.AddToLog("plain block");
    b.End();
    EngineHarness h(b.Build());
    h.Libraries.AddLibrary("C:\\SETUP\\OLD.DLL", {{"Add", AddVariableThroughBlock}});
    h.Libraries.FailLoadLibraryEx = true;
    h.Machine->Variables.SetVariable("INSTDIR", "C:\\SETUP");
    h.Machine->Variables.SetVariable("LANG", "English");
    EXPECT_EQ(h.Run(), run::Finished);
    EXPECT_EQ(h.Log.Text, "plain block");
    EXPECT_EQ(h.Machine->Variables.GetVariable("FROMDLL"), "arg English");
    EXPECT_EQ(h.Libraries.Loads,
              (std::vector<std::string>{"Ex:C:\\SETUP\\OLD.DLL", "A:C:\\SETUP\\OLD.DLL"}));
    EXPECT_EQ(h.Libraries.References("C:\\SETUP\\OLD.DLL"), 1);
    h.Machine.reset();
    EXPECT_EQ(h.Libraries.References("C:\\SETUP\\OLD.DLL"), 0);
}

TEST(RunActions, MissingLibraryAbortsAndMissingFunctionIsFalse) {
    ScriptBuilder b;
    b.CallDll(call::If, "HERE.DLL", "Nothing", {""});
    b.AddToLog("never");
    b.End();
    b.CallDll(call::CallOnly, "%WIN%\\GONE.DLL", "Any", {""});
    b.AddToLog("never");
    EngineHarness h(b.Build());
    MessageTable messages(testing::NumberedMessages());
    h.Machine->Messages = &messages;
    h.Machine->Variables.SetVariable("WIN", "C:\\WINDOWS");
    h.Libraries.AddLibrary("HERE.DLL", {});
    EXPECT_EQ(h.Run(), run::Aborted);
    EXPECT_EQ(h.Log.Text, "");
    EXPECT_EQ(h.BoxTexts(), std::vector<std::string>{"Cannot load C:\\WINDOWS\\GONE.DLL"});
    EXPECT_EQ(h.Boxes.Boxes[0].Caption, "M17");
    EXPECT_EQ(h.Machine->AbortReason.View(), "Cannot load C:\\WINDOWS\\GONE.DLL");
    EXPECT_TRUE(h.Host.AbortFlag);
}

TEST(RunActions, BrokenScriptsEndWithMessage7) {
    auto built = [](auto&& write) {
        ScriptBuilder b;
        write(b);
        return b.Build();
    };
    // A valid record, then bytes that are not one.
    auto afterAValidRecord = [&](std::initializer_list<std::uint8_t> bytes) {
        return built([&](ScriptBuilder& b) {
            b.AddToLog("fine");
            b.Bytes(bytes);
        });
    };
    std::vector<std::vector<std::uint8_t>> scripts = {
        built([](ScriptBuilder& b) { // 33 nested loops
            for (int i = 0; i < 33; ++i) {
                b.While("NONE", 0, "");
            }
            for (int i = 0; i < 33; ++i) {
                b.End();
            }
        }),
        built([](ScriptBuilder& b) { b.Record(op::EndBlock, {1}); }), // a loop end alone
        built([](ScriptBuilder& b) { // a broken record inside a skipped block
            b.If("NONE", 0, "x");
            b.Bytes({14});
            b.End();
        }),
        afterAValidRecord({op::AddToLog, 'a', 'b'}), // unterminated
        {}};
    for (std::uint8_t opcode : {1, 14, 19, 31, 200}) {
        scripts.push_back(afterAValidRecord({opcode}));
    }
    for (auto& script : scripts) {
        EngineHarness h(script);
        MessageTable messages(testing::NumberedMessages());
        h.Machine->Messages = &messages;
        EXPECT_EQ(h.Run(), run::Aborted);
        EXPECT_EQ(h.BoxTexts(), std::vector<std::string>{"M7"});
        EXPECT_EQ(h.Boxes.Boxes[0].Caption, "M17");
        EXPECT_TRUE(h.Host.AbortFlag);
    }
}

TEST(RunActions, EndOfScriptFillerExitAndAbort) {
    ScriptBuilder b;
    b.AddToLog("one;");
    b.Filler(3);
    b.AddToLog("two;");
    b.Record(op::IfWhile, {0}, {"NONE", "x"}); // an If whose End is missing
    b.AddToLog("never");
    std::vector<std::uint8_t> script = b.Build();
    EngineHarness h(script);
    EXPECT_EQ(RunActions(*h.Machine), run::Continue);
    EXPECT_EQ(h.Log.Text, "one;");
    EXPECT_EQ(RunActions(*h.Machine), run::Finished);
    EXPECT_EQ(h.Log.Text, "one;two;");

    ScriptBuilder e;
    e.Exit();
    e.AddToLog("never");
    EngineHarness exit(e.Build());
    EXPECT_EQ(exit.Run(), run::Finished);
    EXPECT_EQ(exit.Log.Text, "");

    // Once the run is aborted, it stops before the next record.
    EngineHarness aborted(script);
    aborted.Host.ErrorCode = 2;
    EXPECT_EQ(aborted.Run(), run::Aborted);
    EXPECT_EQ(aborted.Log.Text, "");
}

TEST(RunActions, MessageRecordAsQuestionBlock) {
    struct Case {
        std::vector<int> Answers;
        int Result;
        const char* Log;
    } cases[] = {
        {{platform::id::Yes}, run::Finished, "yes;after"},
        {{platform::id::No}, run::Finished, "after"},
        {{platform::id::Cancel, platform::id::No, platform::id::Yes}, run::Finished, "yes;after"},
        {{platform::id::Cancel, platform::id::Yes}, run::Aborted, ""},
    };
    for (const Case& c : cases) {
        ScriptBuilder b(2);
        b.Message(0x01 | 0x0C, {"Title %LANG%", "Titel %LANG%"}, {"Go on?", "Weiter?"});
        b.AddToLog("yes;");
        b.End();
        b.AddToLog("after");
        EngineHarness h(b.Build(), 2, 1);
        h.Machine->Variables.SetVariable("LANG", "Deutsch");
        h.Boxes.Answers.assign(c.Answers.begin(), c.Answers.end());
        EXPECT_EQ(h.Run(), c.Result);
        EXPECT_EQ(h.Log.Text, c.Log);
        EXPECT_EQ(h.Boxes.Boxes[0].Text, "Weiter?");
        EXPECT_EQ(h.Boxes.Boxes[0].Caption, "Titel Deutsch");
        EXPECT_EQ(h.Host.ProgressClosed, 1);
    }
}

TEST(RunActions, TemporaryFileAndLogText) {
    ScriptBuilder b;
    b.GetTempFileName("TMPNAME");
    b.AddToLog("made %TMPNAME%\r\n");
    EngineHarness h(b.Build());
    h.Machine->Variables.SetVariable("TEMP", "C:\\TEMP");
    EXPECT_EQ(h.Run(), run::Finished);
    EXPECT_EQ(h.Log.Text, "made KTF1.TMP\r\n");
    EXPECT_EQ(h.Machine->TempFiles, std::vector<std::string>{"C:\\TEMP\\KTF1.TMP"});

    EngineHarness test(b.Build());
    test.Machine->Mode = RunMode::Test;
    test.TempFiles.Fail = true;
    EXPECT_EQ(test.Run(), run::Finished);
    EXPECT_EQ(test.Log.Text, "");
    EXPECT_TRUE(test.Machine->TempFiles.empty());
}

} // namespace
} // namespace vorn
