// VornMain driven in-process on a fresh sandbox machine: the log it leaves, the status
// file, the cancel path at every record, the VornInst service and broken start-ups.
#include "engine_fakes.h"
#include "installer/engine/command_line_options.h"
#include "installer/engine/install_context.h"
#include "installer/engine/installation_run.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/script_header.h"
#include "installer/log/install_log_reader.h"
#include "platform/posix/posix_library.h"
#include "sample_install_script.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <functional>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using plandra::test::ReadFileText;
using plandra::test::WriteFileText;

std::vector<std::string> MadeDirs(const InstallLog& log) {
    std::vector<std::string> dirs;
    for (const LogEntry& entry : log.Records) {
        if (const auto* made = std::get_if<MadeDirRecord>(&entry.Record)) {
            dirs.push_back(made->Path);
        }
    }
    return dirs;
}

// Inflates nothing: writes `size` bytes of 'x' where the engine asks.
std::int32_t PLATFORM_WINAPI TrivialDecompress(std::uintptr_t, std::uintptr_t destination,
                                               std::uint32_t size, std::uint32_t) {
    std::string bytes(size, 'x');
    return destination != 0 ? static_cast<std::int32_t>(FileWrite(destination, bytes.data(), size))
                            : static_cast<std::int32_t>(size);
}

class VornMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        Machine =
            platform::SandboxMachine::Create(Folder.Folder(), platform::WindowsFamily::WindowsNT)
                .Machine;
        ASSERT_TRUE(Machine);
        VornSetMachine(Folder.Folder().string().c_str(), "C:\\SETUP\\SETUP.EXE");
        std::filesystem::create_directories(Native("C:\\SETUP"));
        WriteFileText(Native("C:\\SETUP\\ANSWERS.TXT"), "USER = Ann\r\n");
    }

    std::filesystem::path Native(std::string_view path) const {
        return Machine->Resolve(path).Native;
    }

    std::int32_t Run(SampleScript& script, const char* commandLine = "/M=ANSWERS.TXT") {
        Context.Script = script.Bytes.data();
        Context.ScriptLength = static_cast<std::uint32_t>(script.Bytes.size());
        Context.FinishOffset = script.Finish;
        Context.CancelOffset = script.Cancel;
        return VornMain(&Context, commandLine, &ExitAction, RestartProgram, RestartArguments);
    }

    plandra::test::TempFolder Folder;
    std::unique_ptr<platform::SandboxMachine> Machine;
    InstallContext Context;
    std::int32_t ExitAction = -5;
    char RestartProgram[RestartBufferSize] = "untouched";
    char RestartArguments[RestartBufferSize] = "untouched";
};

TEST_F(VornMainTest, CompletedRunLeavesTheLogTheStatusFileAndNoTemporaryFiles) {
    SampleScript script = BuildSample();
    Context.Decompress = &TrivialDecompress;
    Context.PieceSizes[static_cast<std::size_t>(EmbeddedPiece::SupportProgram)] = 3;
    Context.PieceSizes[static_cast<std::size_t>(EmbeddedPiece::Ctl3dWindows95)] = 2;
    EXPECT_EQ(Run(script), -1);
    EXPECT_EQ(Context.ArchiveOffset, 5u);
    EXPECT_EQ(ExitAction, exit_action::None);
    EXPECT_STREQ(RestartProgram, "untouched");
    EXPECT_EQ(Context.Messages, nullptr);

    LogReadResult read = ReadInstallLog(Native("C:\\APP\\INSTALL.LOG"));
    ASSERT_FALSE(read.Error);
    EXPECT_EQ(read.Log.Title, "Plandra Setup");
    EXPECT_EQ(read.Log.Sections, 1);
    EXPECT_EQ(read.Log.Info, (UninstallInfo{"PLANDRA.MIF", "Vorn", "Plandra", "1.0", "42"}));
    EXPECT_EQ(MadeDirs(read.Log),
              (std::vector<std::string>{"C:\\APP\\Ann", "C:\\APP\\D1", "C:\\APP\\D2",
                                        "C:\\APP\\TWO", "C:\\APP\\FINISH"}));
    std::string text = ReadFileText(Native("C:\\APP\\INSTALL.LOG"));
    EXPECT_TRUE(text.starts_with("***  Installation Started ")) << text;
    EXPECT_NE(text.find("Source: C:\\SETUP\\SETUP.EXE\r\n"), std::string::npos);
    EXPECT_NE(text.find("User Rights: Admin\r\n"), std::string::npos);

    EXPECT_EQ(ReadFileText(Native("C:\\WINNT\\PLANDRA.MIF")), "Vorn|Plandra|1.0|42|Success|");
    EXPECT_TRUE(std::filesystem::is_empty(Native("C:\\TEMP")));
    // The wizard class lives as long as the run; nothing changed settings, so no
    // broadcast went out.
    EXPECT_EQ(ReadFileText(Folder.Folder() / "messages.log"),
              "RegisterClass KTRSWizard\nUnregisterClass KTRSWizard\n");

    // A second run appends its own section to the same log.
    SampleScript again = BuildSample();
    EXPECT_EQ(Run(again), -1);
    EXPECT_EQ(ReadInstallLog(Native("C:\\APP\\INSTALL.LOG")).Log.Sections, 2);
}

TEST_F(VornMainTest, AbortAtEveryRecordRunsTheCancelSectionOnce) {
    for (int at = 0; at < BuildSample().MainRecords; ++at) {
        SCOPED_TRACE("aborted before record " + std::to_string(at));
        std::filesystem::remove(Native("C:\\APP\\INSTALL.LOG"));
        Context = InstallContext{};
        SampleScript script = BuildSample(at);
        EXPECT_EQ(Run(script), -2);
        EXPECT_EQ(ExitAction, exit_action::None);
        LogReadResult read = ReadInstallLog(Native("C:\\APP\\INSTALL.LOG"));
        ASSERT_FALSE(read.Error);
        std::vector<std::string> dirs = MadeDirs(read.Log);
        ASSERT_FALSE(dirs.empty());
        EXPECT_EQ(dirs.back(), "C:\\APP\\CANCEL");
        EXPECT_EQ(std::count(dirs.begin(), dirs.end(), "C:\\APP\\CANCEL"), 1);
        EXPECT_EQ(std::count(dirs.begin(), dirs.end(), "C:\\APP\\FINISH"), 0);
        // The reason (message 1 when nothing was reported) ends the section.
        EXPECT_TRUE(ReadFileText(Native("C:\\APP\\INSTALL.LOG"))
                        .ends_with("\r\nM1\r\nUser Rights: Admin\r\n"));
        EXPECT_EQ(ReadFileText(Native("C:\\WINNT\\PLANDRA.MIF")), "Vorn|Plandra|1.0|42|Failed|M1");
        EXPECT_TRUE(std::filesystem::is_empty(Native("C:\\TEMP")));
    }
}

TEST_F(VornMainTest, SetLogFilePausesResumesAndMovesToANewLog) {
    ScriptBuilder b;
    b.AddToLog("Made Dir: C:\\APP\\FIRST\r\n");
    b.SetLogFile(1, "");
    b.AddToLog("Made Dir: C:\\APP\\HIDDEN\r\n");
    b.SetLogFile(0, "");
    b.SetLogFile(2, "%WIN%\\SECOND.LOG");
    b.AddToLog("Made Dir: C:\\APP\\SECOND\r\n");
    SampleScript s{WithHeader(SampleHeader(), b), 0, 0, 0};
    EXPECT_EQ(Run(s, ""), -1);
    EXPECT_EQ(MadeDirs(ReadInstallLog(Native("C:\\APP\\INSTALL.LOG")).Log),
              std::vector<std::string>{"C:\\APP\\FIRST"});
    LogReadResult second = ReadInstallLog(Native("C:\\WINNT\\SECOND.LOG"));
    EXPECT_EQ(second.Log.Title, "Plandra Setup");
    EXPECT_EQ(MadeDirs(second.Log), std::vector<std::string>{"C:\\APP\\SECOND"});
}

TEST_F(VornMainTest, UsersLanguageIsTheDefaultChoiceOfSeveral) {
    ScriptHeader h = SampleHeader();
    h.Languages = {{"Deutsch", "DEU"}, {"English", "ENU"}};
    h.Texts = {{"Installation", testing::NumberedMessages()},
               {"Setup", testing::NumberedMessages()}};
    ScriptBuilder b(2);
    b.AddToLog("Made Dir: C:\\%LANG%\r\n");
    SampleScript s{WithHeader(h, b), 0, 0, 0};
    EXPECT_EQ(Run(s, ""), -1);
    LogReadResult read = ReadInstallLog(Native("C:\\APP\\INSTALL.LOG"));
    EXPECT_EQ(read.Log.Title, "Setup");
    EXPECT_EQ(MadeDirs(read.Log), std::vector<std::string>{"C:\\English"});
}

TEST_F(VornMainTest, TestModeWritesNoLogAndRestartValuesSetTheExitAction) {
    SampleScript script = BuildSample();
    EXPECT_EQ(Run(script, "  /t /Q"), -1);
    EXPECT_FALSE(std::filesystem::exists(Native("C:\\APP\\INSTALL.LOG")));

    struct Case {
        const char* Restart;
        std::int32_t Action;
        const char* Program;
        const char* Arguments;
    };
    const Case cases[] = {
        {"W", exit_action::RestartWindows, "untouched", "untouched"},
        {"S", exit_action::Reboot, "untouched", "untouched"},
        {"Ignore", exit_action::None, "untouched", "untouched"},
        {"E  RUN.BAT", exit_action::None, "C:\\WINNT\\SYSTEM32\\CMD.EXE", "/C RUN.BAT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Restart);
        ScriptBuilder b;
        b.CallDll(call::OwnFunction, "", "f16",
                  {std::string("1") + Sep + "RESTART" + Sep + c.Restart});
        SampleScript s{WithHeader(SampleHeader(), b), 0, 0, 0};
        std::strcpy(RestartProgram, "untouched");
        std::strcpy(RestartArguments, "untouched");
        Context = InstallContext{};
        EXPECT_EQ(Run(s, "/Z"), -1);
        // /Z ends with the extract-only action whatever the script said; it runs no script.
        EXPECT_EQ(ExitAction, exit_action::ExtractOnly);
        Context = InstallContext{};
        EXPECT_EQ(Run(s, ""), -1);
        EXPECT_EQ(ExitAction, c.Action);
        EXPECT_STREQ(RestartProgram, c.Program);
        EXPECT_STREQ(RestartArguments, c.Arguments);
    }
}

using TestMachine = testing::SandboxTestMachine;

platform::DdeService* ClientDde = nullptr;
std::string Requested;

// A library function that talks to the running engine as another program would.
std::int32_t TalkToEngine(void*) {
    platform::DdeService& dde = *ClientDde;
    std::uint32_t client = 0;
    dde.DdeInitializeA(client, {}, platform::dde::ApplicationCommandClientOnly);
    auto send = [&](std::string_view topic, std::string_view command, std::uint32_t type) {
        platform::DdeString service =
            dde.DdeCreateStringHandleA(client, "VornInst", platform::dde::CodePageWinAnsi);
        platform::DdeString name =
            dde.DdeCreateStringHandleA(client, topic, platform::dde::CodePageWinAnsi);
        platform::DdeConversation conversation = dde.DdeConnect(client, service, name);
        std::string data(command);
        platform::DdeData reply = dde.DdeClientTransaction(
            std::span<const char>(data.c_str(), data.size() + 1), conversation,
            type == platform::dde::Request ? name : platform::DdeNoString,
            platform::dde::ClipboardText, type, 1000, nullptr);
        if (type == platform::dde::Request && reply != platform::DdeNoData) {
            char buffer[256] = {};
            dde.DdeGetData(reply, std::span<char>(buffer, sizeof buffer - 1), 0);
            Requested = buffer;
            dde.DdeFreeDataHandle(reply);
        }
        dde.DdeDisconnect(conversation);
    };
    send("GREETING", "hello", platform::dde::Execute);
    send("GREETING", "", platform::dde::Request);
    send("cancel", "", platform::dde::Execute);
    dde.DdeUninitialize(client);
    return 0;
}

TEST_F(VornMainTest, LowerCaseCancelOverDdeStopsTheRunBeforeTheNextAction) {
    TestMachine machine(*Machine);
    machine.LibraryCalls.AddLibrary("TALK.DLL", {{"Talk", &TalkToEngine}});
    ClientDde = &machine.DdeCalls;
    ScriptBuilder b;
    // Made first: a library call takes the slot count back from its block, which would
    // drop a variable the service added during the call.
    b.CallDll(call::OwnFunction, "", "f16", {std::string("1") + Sep + "GREETING" + Sep + "x"});
    b.CallDll(call::CallOnly, "TALK.DLL", "Talk", {""});
    b.AddToLog("Made Dir: C:\\APP\\AFTER\r\n");
    b.Exit();
    std::vector<std::uint8_t> header = WriteScriptHeader(SampleHeader());
    std::uint32_t cancel =
        static_cast<std::uint32_t>(header.size() + b.AddToLog("Made Dir: C:\\APP\\%GREETING%\r\n"));
    std::vector<std::uint8_t> records = b.Build();
    header.insert(header.end(), records.begin(), records.end());
    Context.Script = header.data();
    Context.ScriptLength = static_cast<std::uint32_t>(header.size());
    Context.CancelOffset = cancel;
    EXPECT_EQ(
        RunInstallation(&Context, {"", &ExitAction, RestartProgram, RestartArguments}, machine),
        -2);
    EXPECT_EQ(Requested, "hello");
    LogReadResult read = ReadInstallLog(Native("C:\\APP\\INSTALL.LOG"));
    EXPECT_EQ(MadeDirs(read.Log), std::vector<std::string>{"C:\\APP\\hello"});
}

TEST_F(VornMainTest, BrokenStartUpsShowAnErrorAndLeaveNothingBehind) {
    ScriptHeader noLanguage = SampleHeader();
    noLanguage.Texts.clear();
    std::vector<std::uint8_t> full = WriteScriptHeader(SampleHeader());
    std::vector<std::uint8_t> lastMessageMissing(full.begin(), full.end() - 1);
    std::vector<std::uint8_t> tooManyLanguages = full;
    // The language count follows 17 fixed bytes, three empty texts, the log path, and six
    // more bytes.
    tooManyLanguages[17 + 3 + SampleHeader().LogPath.size() + 1 + 6] = 9;
    struct Case {
        const char* Name;
        std::vector<std::uint8_t> Script;
        std::string Box;
    };
    std::vector<Case> cases = {
        {"no script", {}, "Internal Error"},
        {"no language", WriteScriptHeader(noLanguage),
         "Internal Error\n\nThe setup script names no language."},
        {"a message missing", lastMessageMissing,
         "Internal Error\n\nThe setup script's header is incomplete: a language or a message is "
         "missing."},
        {"too many languages", tooManyLanguages,
         "Internal Error\n\nThe setup script's header is incomplete: a language or a message is "
         "missing."},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TestMachine machine(*Machine);
        Context = InstallContext{};
        Context.Script = c.Script.empty() ? nullptr : c.Script.data();
        Context.ScriptLength = static_cast<std::uint32_t>(c.Script.size());
        EXPECT_EQ(RunInstallation(&Context, {"", &ExitAction, nullptr, nullptr}, machine), 0);
        EXPECT_EQ(ExitAction, exit_action::None);
        ASSERT_EQ(machine.BoxCalls.Boxes.size(), 1u);
        EXPECT_EQ(machine.BoxCalls.Boxes[0].Text, c.Box);
        EXPECT_TRUE(std::filesystem::is_empty(Native("C:\\TEMP")));
        EXPECT_FALSE(std::filesystem::exists(Native("C:\\WINNT\\PLANDRA.MIF")));
    }
}

TEST(CommandLineOptions, OptionsAtTheStartOnly) {
    struct Case {
        const char* Line;
        RunMode Mode;
        bool Confirm;
        const char* Directory;
        const char* Answers;
    };
    const Case cases[] = {
        {"", RunMode::Normal, false, "", ""},
        {"  /t", RunMode::Test, false, "", ""},
        {"/m1 /q", RunMode::Manual, true, "", ""},
        {"/X C:\\OUT /T", RunMode::Test, false, "C:\\OUT", ""},
        {"/z", RunMode::ExtractZ, false, "", ""},
        {"/M=\"MY ANSWERS.TXT\" /x", RunMode::Extract, false, "", "MY ANSWERS.TXT"},
        {"word /T", RunMode::Normal, false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Line);
        CommandLineOptions options = ParseCommandLineOptions(c.Line);
        EXPECT_EQ(options.Mode, c.Mode);
        EXPECT_EQ(options.ConfirmSelfRegistration, c.Confirm);
        EXPECT_EQ(options.ExtractDirectory, c.Directory);
        EXPECT_EQ(options.AnswerFile, c.Answers);
    }
    EXPECT_EQ(AnswerFilePath("A.TXT", "C:\\SETUP"), "C:\\SETUP\\A.TXT");
    EXPECT_EQ(AnswerFilePath("D:\\A.TXT", "C:\\SETUP"), "D:\\A.TXT");
}

TEST(Vorn0132, LibraryExportsItsEntriesByName) {
    platform::PosixLibraryService libraries;
    platform::UniqueLibrary module(libraries.LoadLibraryA(VORN0132_PATH),
                                   platform::LibraryTraits{&libraries});
    ASSERT_TRUE(module);
    for (const char* name : {VornMainExport, VornSetMachineExport, FileWriteExport}) {
        EXPECT_NE(libraries.GetProcAddress(module.Get(), name), nullptr) << name;
    }
}

} // namespace
} // namespace vorn
