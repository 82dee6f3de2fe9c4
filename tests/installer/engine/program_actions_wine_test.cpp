// The program actions on Windows itself: Program Manager's DDE service and a real
// program waited for.
#include "engine_fakes.h"
#include "installer/engine/builtin_functions.h"
#include "installer/engine/execute_program_action.h"
#include "installer/engine/install_context.h"
#include "installer/engine/requirement_builtins.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/vorn_inst_server.h"
#include "platform/machine_services.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(ProgramActionsOnWindows, GroupsComeAndGoAndAProgramIsWaitedFor) {
    platform::OpenedMachine opened = platform::OpenMachineServices({});
    ASSERT_TRUE(opened.Services) << opened.Error;
    platform::MachineServices& machine = *opened.Services;
    const std::string system = platform::ReadSystemText(
        [&](std::span<char> buffer) { return machine.System().GetSystemDirectoryA(buffer); });
    const std::string marker = platform::ReadSystemText([&](std::span<char> buffer) {
                                   return machine.System().GetTempPathA(buffer);
                               }) +
                               "PLANDRA_WAITED.TXT";
    machine.Files().DeleteFileA(marker);

    ScriptBuilder script;
    script.Record(15, {});
    script.Record(4, {0}, {}, {{"[CreateGroup(Plandra Program Test)]"}});
    script.Record(4, {0}, {}, {{"[DeleteGroup(Plandra Program Test)]"}});
    script.Record(16, {});
    // The file is there once the command interpreter ended, which the engine waits for.
    script.Record(7, {execute_flag::Wait | execute_flag::Minimized},
                  {system + "\\cmd.exe", "/c echo done>" + marker + " & exit 3", ""});
    testing::EngineHarness harness(script.Build());
    Engine& engine = *harness.Machine;
    InstallContext context;
    context.OptionFlags = context_option::TopmostDuringProgman;
    engine.Services.Machine = &machine;
    engine.Services.Context = &context;
    VornInstServer server(machine.Dde(), engine);
    engine.DdeInstance = server.InstanceId();
    ASSERT_NE(engine.DdeInstance, 0u);

    EXPECT_EQ(harness.Run(), run::Finished);
    EXPECT_NE(machine.Files().GetFileAttributesA(marker), platform::file::InvalidAttributes);
    machine.Files().DeleteFileA(marker);
    EXPECT_TRUE(harness.BoxTexts().empty());
    // Wine's desktop answers "PROGMAN" as Windows' shell does.
    EXPECT_EQ(harness.Log.Text, "Icon Group: Plandra Program Test\r\n");

    DllCallBlock block{};
    block.Argument = "34"; // a screen of at least 640 x 480
    EXPECT_EQ(f12(engine, block), 1);
}

} // namespace
} // namespace vorn
