#include "engine_fakes.h"
#include "installer/engine/script_builder.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using testing::EngineHarness;

TEST(LibraryCall, OwnSharedLibraryAddsVariablesThroughTheBlock) {
    std::unique_ptr<platform::LibraryService> libraries = platform::MakeSystemLibraryService();
    ScriptBuilder b;
    b.CallDll(call::If, "%LIBDIR%", "SetGreeting", {"%USER%"});
    b.AddToLog("called;");
    b.End();
    b.AddToLog("%GREETING%;%BLOCK%");
    EngineHarness h(b.Build(), 1, 0, libraries.get());
    h.Machine->Variables.SetVariable("LIBDIR", TEST_LIBRARY_PATH);
    h.Machine->Variables.SetVariable("USER", "World");
    EXPECT_EQ(h.Run(), run::Finished);
    EXPECT_EQ(h.Log.Text, "called;Hello World;ex");
    // The slot count came back from the library, so new variables go after its own.
    EXPECT_EQ(h.Machine->Variables.SlotsInUse(), 4);
    h.Machine->Variables.SetVariable("LATER", "x");
    EXPECT_EQ(h.Machine->Variables.SlotName(4), "%LATER%");
}

TEST(LibraryCall, LibraryThatDoesNotLoadEndsTheRun) {
    std::unique_ptr<platform::LibraryService> libraries = platform::MakeSystemLibraryService();
    ScriptBuilder b;
    b.CallDll(call::CallOnly, "no-such-library-here.dll", "SetGreeting", {""});
    EngineHarness h(b.Build(), 1, 0, libraries.get());
    MessageTable messages(testing::NumberedMessages());
    h.Machine->Messages = &messages;
    EXPECT_EQ(h.Run(), run::Aborted);
    EXPECT_EQ(h.BoxTexts(), std::vector<std::string>{"Cannot load no-such-library-here.dll"});
}

} // namespace
} // namespace vorn
