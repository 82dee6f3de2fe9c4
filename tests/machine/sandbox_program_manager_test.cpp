// The sandbox machine's Program Manager over DDE: groups and items kept as files in the
// machine's Windows folder, commands refused as Program Manager refuses them, and a full
// disk that reaches the command without losing a group.
#include "platform/headless/fault_injection.h"
#include "platform/posix/sandbox_dde.h"
#include "platform/posix/sandbox_files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace platform;
namespace fs = std::filesystem;

class SandboxProgramManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Dde.DdeInitializeA(Instance, {}, dde::ApplicationCommandClientOnly),
                  dde::NoError);
        const DdeString name = Dde.DdeCreateStringHandleA(Instance, "PROGMAN", 0);
        Conversation = Dde.DdeConnect(Instance, name, name);
        ASSERT_NE(Conversation, DdeNoConversation);
    }
    void TearDown() override {
        Dde.DdeUninitialize(Instance);
        fs::remove_all(Folder);
    }

    bool Execute(std::string_view commands) {
        const std::string text(commands);
        return Dde.DdeClientTransaction({text.c_str(), text.size() + 1}, Conversation, DdeNoString,
                                        dde::ClipboardText, dde::Execute, dde::NoTimeout,
                                        nullptr) == DdeTrue;
    }
    std::string Request(std::string_view item) {
        const DdeString name = Dde.DdeCreateStringHandleA(Instance, item, 0);
        UniqueDdeData reply(Dde.DdeClientTransaction({}, Conversation, name, dde::ClipboardText,
                                                     dde::Request, 5000, nullptr),
                            DdeDataTraits{&Dde});
        std::string text(Dde.DdeGetData(reply.Get(), {}, 0), '\0');
        Dde.DdeGetData(reply.Get(), text, 0);
        return reply ? text.c_str() : "(none)";
    }

    fs::path Folder = fs::temp_directory_path() / ("progman-" + std::to_string(::getpid()));
    std::unique_ptr<SandboxMachine> Machine =
        std::move(SandboxMachine::Create(Folder, WindowsFamily::Windows95).Machine);
    SandboxFiles Files{*Machine};
    FaultInjectingFiles Faulty{Files};
    SandboxProgramManager ProgramManager{Faulty, Machine->Description().WindowsDirectory};
    SandboxDde Dde{&ProgramManager};
    std::uint32_t Instance = 0;
    DdeConversation Conversation = DdeNoConversation;
};

TEST_F(SandboxProgramManagerTest, CommandsMakeGroupsAndItemsThatRequestsList) {
    const struct {
        const char* Commands;
        const char* Error; ///< Empty when the commands succeed.
        const char* Item;
        const char* Answer;
    } steps[] = {
        {"[CreateGroup(Plandra Tools)][ShowGroup(Plandra Tools,1)]"
         "[AddItem(C:\\APP\\VIEW.EXE,Viewer,C:\\APP\\VIEW.EXE,2)]"
         "[AddItem(C:\\APP\\RESCIND32.EXE /A,\"Remove, all\",,,,,C:\\APP)]",
         "", "plandra tools",
         "\"Plandra Tools\",C:\\WINDOWS\\GROUP1.GRP,2,1\r\n"
         "\"Viewer\",\"C:\\APP\\VIEW.EXE\",,C:\\APP\\VIEW.EXE,-1,-1,2,0,0\r\n"
         "\"Remove, all\",\"C:\\APP\\RESCIND32.EXE /A\",C:\\APP,,-1,-1,0,0,0\r\n"},
        {"[ReplaceItem(viewer)][AddItem(C:\\APP\\VIEW2.EXE)]", "", "Plandra Tools",
         "\"Plandra Tools\",C:\\WINDOWS\\GROUP1.GRP,2,1\r\n"
         "\"VIEW2\",\"C:\\APP\\VIEW2.EXE\",,,-1,-1,0,0,0\r\n"
         "\"Remove, all\",\"C:\\APP\\RESCIND32.EXE /A\",C:\\APP,,-1,-1,0,0,0\r\n"},
        {"[CreateGroup(StartUp)][DeleteItem(Viewer)]",
         "DeleteItem: no item \"Viewer\" in group "
         "\"StartUp\"",
         "Groups", "Plandra Tools\r\nStartUp\r\n"},
        {"[ShowGroup(Missing,1)]", "ShowGroup: no group \"Missing\"", "Missing", "(none)"},
        {"[ShowGroup(StartUp,9)]", "ShowGroup: the show command must be 1 to 8, not \"9\"", "", ""},
        {"[ShowGroup(Plandra Tools,2)][DeleteItem(VIEW2)][DeleteGroup(StartUp)][AddItem(A.EXE)]",
         "", "PROGMAN", "Plandra Tools\r\n"},
        {"[DeleteGroup(Plandra Tools)][AddItem(B.EXE)]", "AddItem: no group is active", "Groups",
         ""},
        {"[Frobnicate(1)]", "Frobnicate: unknown command", "", ""},
        {"[CreateGroup(Broken", "Program Manager command at offset 19: \")\" expected", "", ""},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(Execute(step.Commands), *step.Error == '\0') << step.Commands;
        EXPECT_EQ(Dde.ProgramManagerError(), step.Error) << step.Commands;
        if (*step.Item != '\0') {
            EXPECT_EQ(Request(step.Item), step.Answer) << step.Commands;
        }
    }
}

TEST_F(SandboxProgramManagerTest, GroupsStayInTheMachineFolder) {
    ASSERT_TRUE(Execute("[CreateGroup(Kept)][AddItem(C:\\KEPT.EXE,Kept item)]"));
    SandboxProgramManager later(Files, Machine->Description().WindowsDirectory);
    const std::vector<ProgramGroup> groups = later.Groups();
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].Name, "Kept");
    ASSERT_EQ(groups[0].Items.size(), 1u);
    EXPECT_EQ(groups[0].Items[0].CommandLine, "C:\\KEPT.EXE");
    EXPECT_TRUE(fs::exists(Folder / "drive_c" / "WINDOWS" / "PROGMAN.INI"));
    // A damaged group file leaves its group out, as Program Manager does.
    std::ofstream(Folder / "drive_c" / "WINDOWS" / "GROUP1.GRP")
        << "[Group]\nName=Kept\n[Item1]\nX=?";
    EXPECT_TRUE(later.Groups().empty());
}

TEST_F(SandboxProgramManagerTest, AFullDiskFailsTheCommandAndKeepsTheGroup) {
    ASSERT_TRUE(Execute("[CreateGroup(Tools)][AddItem(C:\\A.EXE,A)]"));
    Faulty.Plan.FailAt(FileCall::WriteFile, Faulty.Plan.Uses(FileCall::WriteFile) + 1,
                       winerror::DiskFull);
    EXPECT_FALSE(Execute("[AddItem(C:\\B.EXE,B)]"));
    EXPECT_EQ(Dde.DdeGetLastError(Instance), dde::NotProcessedError);
    EXPECT_EQ(Dde.ProgramManagerError(),
              "AddItem: cannot write C:\\WINDOWS\\GROUP1.GRP (error 112)");
    EXPECT_EQ(Request("Tools"), "\"Tools\",C:\\WINDOWS\\GROUP1.GRP,1,1\r\n"
                                "\"A\",\"C:\\A.EXE\",,,-1,-1,0,0,0\r\n");
}

} // namespace
