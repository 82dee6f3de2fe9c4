// Program Manager groups and programs started from scripts on a sandbox machine, the
// uninstaller taking the groups away again, and f12's system requirements.
#include "engine_fakes.h"
#include "installer/engine/builtin_functions.h"
#include "installer/engine/execute_program_action.h"
#include "installer/engine/install_context.h"
#include "installer/engine/machine_path_forms.h"
#include "installer/engine/program_manager_actions.h"
#include "installer/engine/requirement_builtins.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/vorn_inst_server.h"
#include "installer/uninstaller/uninstaller_run.h"
#include "sandbox_services.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using platform::DdeCall;
using platform::ProcessCall;

class ProgramActions : public ::testing::Test {
protected:
    // A fresh machine; `major` below 4 makes it an older Windows NT.
    void MakeMachine(platform::WindowsFamily family, std::uint32_t major = 4) {
        const auto folder = Folder.Folder() / ("machine" + std::to_string(++Machines));
        Machine = platform::SandboxMachine::Create(folder, family).Machine;
        ASSERT_TRUE(Machine);
        if (major != 4) {
            platform::MachineDescription description = Machine->Description();
            description.MajorVersion = major;
            plandra::test::WriteFileText(folder / "machine.ini",
                                         platform::SandboxMachine::DescriptionText(description));
            Machine = platform::SandboxMachine::Open(folder).Machine;
        }
        Services = std::make_unique<testing::SandboxTestMachine>(*Machine);
        Paths = std::make_unique<MachinePathForms>(Services->Files());
        std::filesystem::create_directories(Machine->Resolve("C:\\APP").Native);
    }

    // Runs the script's records as the engine's run does, with its DDE service started.
    int Run(ScriptBuilder& script, RunMode mode = RunMode::Normal) {
        Harness = std::make_unique<testing::EngineHarness>(script.Build());
        Engine& engine = *Harness->Machine;
        engine.Services.Machine = Services.get();
        engine.Services.Context = &Context;
        engine.Services.Paths = Paths.get();
        engine.Messages = &Messages;
        engine.Mode = mode;
        VornInstServer server(Services->Dde(), engine);
        engine.DdeInstance = server.InstanceId();
        return Harness->Run();
    }

    std::vector<std::string> GroupNames() {
        std::vector<std::string> names;
        for (const platform::ProgramGroup& group : Services->ProgramManager.Groups()) {
            names.push_back(group.Name + ":" + std::to_string(group.Items.size()));
        }
        return names;
    }

    plandra::test::TempFolder Folder;
    int Machines = 0;
    std::unique_ptr<platform::SandboxMachine> Machine;
    std::unique_ptr<testing::SandboxTestMachine> Services;
    std::unique_ptr<MachinePathForms> Paths;
    InstallContext Context;
    MessageTable Messages{[] {
        std::vector<std::string> texts = testing::NumberedMessages();
        texts[5] = "Cannot start %s";
        return texts;
    }()};
    std::unique_ptr<testing::EngineHarness> Harness;
};

void ProgmanCommand(ScriptBuilder& script, std::string text, std::uint8_t flags = 0) {
    script.Record(4, {flags}, {}, {{std::move(text)}});
}

TEST_F(ProgramActions, AGroupWithTwoIconsIsLoggedAndTheUninstallerRemovesItWhole) {
    MakeMachine(platform::WindowsFamily::WindowsNT);
    ScriptBuilder script;
    script.Record(15, {});
    ProgmanCommand(script, "[CreateGroup(Plandra", progman_flag::Close);
    ProgmanCommand(script, "[AddItem(C:\\APP\\VIEW.EXE,Viewer)]");
    ProgmanCommand(script, "[AddItem(\"C:\\APP\\HELP.EXE\",\"Help, Plandra\")]");
    ProgmanCommand(script, "[ShowGroup(Plandra,1)]");
    script.Record(16, {});
    ASSERT_EQ(Run(script), run::Finished);
    EXPECT_EQ(GroupNames(), std::vector<std::string>{"Plandra:2"});
    EXPECT_EQ(Harness->Log.Text, "Icon Group: Plandra\r\n"
                                 "Icon Name: Viewer\r\nIcon Cmd: C:\\APP\\VIEW.EXE\r\n"
                                 "Icon Name: Help, Plandra\r\nIcon Cmd: C:\\APP\\HELP.EXE\r\n");
    EXPECT_FALSE(Harness->Machine->ProgramManager);

    plandra::test::WriteFileText(Machine->Resolve("C:\\APP\\INSTALL.LOG").Native,
                                 "***  Installation Started 01/02/03 4:05  ***\r\n"
                                 "Title: Plandra Installation\r\n" +
                                     Harness->Log.Text);
    platform::HeadlessMessageBox boxes;
    auto opened = rescind::SandboxServices::Open(Machine->Folder(), boxes);
    ASSERT_TRUE(opened.Services) << opened.Error;
    rescind::QuietRemovalUi ui;
    const rescind::RunOutcome outcome =
        rescind::RunUninstaller(rescind::ParseCommandLine({"/A", "C:\\APP\\INSTALL.LOG"}), {},
                                opened.Services->Services(), ui);
    EXPECT_EQ(outcome.ExitCode, 0);
    EXPECT_EQ(GroupNames(), std::vector<std::string>{});
}

TEST_F(ProgramActions, CommandsProgramManagerDidNotCarryOutLeaveNoTrace) {
    // The first command is lost to the fault; the second, closed as Windows 95 closes it,
    // goes through only when a conversation was opened.
    struct Case {
        const char* Name;
        DdeCall Fails;
        RunMode Mode;
        bool Kept;
    } cases[] = {
        {"an answer that never comes", DdeCall::DdeClientTransaction, RunMode::Normal, true},
        {"no Program Manager", DdeCall::DdeConnect, RunMode::Normal, false},
        {"no DDE at all", DdeCall::DdeInitializeA, RunMode::Normal, false},
        {"test mode", DdeCall::DdeCreateDataHandle, RunMode::Test, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MakeMachine(platform::WindowsFamily::Windows95);
        Services->FaultyDde.Plan.FailAt(c.Fails, 1, platform::dde::ExecuteAckTimeout);
        ScriptBuilder script;
        script.Record(15, {});
        ProgmanCommand(script, "[CreateGroup(Lost)]");
        ProgmanCommand(script, "[CreateGroup(Kept", progman_flag::Close | 1);
        script.Record(16, {});
        EXPECT_EQ(Run(script, c.Mode), run::Finished);
        EXPECT_EQ(GroupNames(),
                  c.Kept ? std::vector<std::string>{"Kept:0"} : std::vector<std::string>{});
        EXPECT_EQ(Harness->Log.Text, c.Kept ? "Icon Group: Kept\r\n" : "");
    }
}

TEST_F(ProgramActions, AProgramRunsWithItsShortPathsAndIsWaitedFor) {
    struct Case {
        const char* Name;
        std::uint32_t Major;
        std::uint8_t Flags;
        int Waits;
        const char* Started;
    } cases[] = {
        {"version 4 waits through the shell", 4, execute_flag::Wait, 3,
         "ShellExecuteExA: C:\\PROGRA~1\\TOOL.EXE /q"},
        {"older systems create the process", 3, execute_flag::Wait | execute_flag::Maximized, 3,
         "CreateProcessA: \"C:\\PROGRA~1\\TOOL.EXE\" /q"},
        {"without the wait flag the run goes on", 4, execute_flag::Minimized, 0,
         "ShellExecuteExA: C:\\PROGRA~1\\TOOL.EXE /q"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MakeMachine(platform::WindowsFamily::WindowsNT, c.Major);
        std::filesystem::create_directories(Machine->Resolve("C:\\Program Files").Native);
        plandra::test::WriteFileText(Machine->Resolve("C:\\Program Files\\TOOL.EXE").Native, "x");
        // Exit code 3, still running at two checks, a file written as it ends.
        ASSERT_TRUE(platform::SandboxProcesses::DescribeProgram(
            *Machine, {"C:\\Program Files\\TOOL.EXE", 3, 2, "C:\\APP\\RAN.TXT", ""}));
        ScriptBuilder script;
        script.CallDll(
            call::OwnFunction, "", "f16",
            {std::string("1") + FieldSeparator + "DIR" + FieldSeparator + "C:\\Program Files"});
        script.Record(7, {c.Flags}, {"%DIR%\\TOOL.EXE", "/q", "C:\\Program Files"});
        script.Record(7, {0}, {"", "C:\\Program Files\\TOOL.EXE", ""});
        ASSERT_EQ(Run(script, RunMode::Test), run::Finished);
        EXPECT_EQ(Services->FaultyProcesses.Plan.Uses(ProcessCall::WaitForSingleObject), c.Waits);
        ASSERT_EQ(Services->ProcessCalls.Log().size(), 2u);
        EXPECT_EQ(Services->ProcessCalls.Log().front(), c.Started);
        EXPECT_TRUE(std::filesystem::exists(Machine->Resolve("C:\\APP\\RAN.TXT").Native));
        EXPECT_TRUE(Harness->Boxes.Boxes.empty());
    }
}

TEST_F(ProgramActions, AProgramThatDoesNotStartAbortsExceptInTestMode) {
    for (RunMode mode : {RunMode::Normal, RunMode::Test}) {
        MakeMachine(platform::WindowsFamily::WindowsNT, 3);
        ScriptBuilder script;
        script.Record(7, {execute_flag::Wait}, {"C:\\APP\\GONE.EXE", "", ""});
        EXPECT_EQ(Run(script, mode), mode == RunMode::Test ? run::Finished : run::Aborted);
        EXPECT_EQ(Harness->BoxTexts(), std::vector<std::string>{"Cannot start C:\\APP\\GONE.EXE"});
    }
}

TEST_F(ProgramActions, RequirementsHoldAsTheMachineIsDescribed) {
    // Windows NT 4 at 800 x 600 in 8 bits, 32 MB, no sound devices, IsAdmin not found.
    MakeMachine(platform::WindowsFamily::WindowsNT);
    ScriptBuilder none;
    Run(none);
    const auto call = [&](const std::string& argument) {
        return testing::CallBuiltin(f12, *Harness->Machine, argument);
    };
    for (int holds : {32, 33, 34, 43, 12, 37, 45, 25, 58, 59, 31}) {
        EXPECT_EQ(call(std::to_string(holds)), 1) << holds;
    }
    for (int fails : {0, 44, 36, 24, 57, 60, 61, 62, 63}) {
        EXPECT_EQ(call(std::to_string(fails)), 0) << fails;
    }
    EXPECT_TRUE(Harness->BoxTexts().empty());
    EXPECT_EQ(call(std::string("35") + FieldSeparator + "text" + FieldSeparator + "title"), 1);
    EXPECT_EQ(call(std::string("36") + FieldSeparator + "unseen" + FieldSeparator + "title"), 0);
    EXPECT_EQ(Harness->BoxTexts(), std::vector<std::string>{"text"});
}

} // namespace
} // namespace vorn
