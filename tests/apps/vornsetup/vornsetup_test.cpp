// The setup program as its users run it: listing an archive, running one on a sandbox
// machine through the install engine, and restarting the machine.
#include "installer/archive/archive_test_data.h"
#include "installer/archive/setup_archive.h"
#include "installer/engine/script_builder.h"
#include "platform/dde_wire.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_machine.h"
#include "sample_install_script.h"
#include "support/run_program.h"
#include "support/temp_file.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using plandra::test::ProgramOutcome;
using plandra::test::RunProgram;

TEST(Vornsetup, ListsAnArchiveAndFindsItsDamagedFiles) {
    plandra::test::TempFolder folder;
    const std::string path = (folder.Folder() / "SETUP.VRN").string();
    const vorn::ArchiveImage image = vorn::BuildSetupArchive(
        archive_test::Script(), *vorn::PackPayload(archive_test::Files()).Payload);
    plandra::test::WriteFileText(
        path, {reinterpret_cast<const char*>(image.Bytes.data()), image.Bytes.size()});
    const ProgramOutcome listed = RunProgram(VORNSETUP_PROGRAM " --list " + path);
    EXPECT_EQ(listed.Status, 0) << listed.Output;
    EXPECT_NE(listed.Output.find("Files: 2"), std::string::npos) << listed.Output;
    EXPECT_NE(listed.Output.find("  readme.txt\n"), std::string::npos) << listed.Output;

    std::vector<std::uint8_t> damaged = image.Bytes;
    damaged[damaged.size() - 40] ^= 0x55;
    plandra::test::WriteFileText(path,
                                 {reinterpret_cast<const char*>(damaged.data()), damaged.size()});
    const ProgramOutcome checked = RunProgram(VORNSETUP_PROGRAM " --list " + path);
    EXPECT_EQ(checked.Status, 1);
    EXPECT_NE(checked.Output.find("plandra.ocx  DAMAGED"), std::string::npos) << checked.Output;
}

// The whole chain as a user meets it: an archive with a script, an embedded piece and a
// payload, spread over disks, run by vornsetup through the engine library on a fresh
// machine; the log it leaves, read back by vornlog.
TEST(Vornsetup, RunsAnArchiveThroughTheEngineAndLeavesTheLog) {
    plandra::test::TempFolder folder;
    const std::filesystem::path machine = folder.Folder() / "machine";
    ASSERT_TRUE(
        platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT).Machine);
    const std::filesystem::path drive = machine / "drive_c";
    // The engine sees vornsetup as C:\SETUP.EXE: a relative answer file is found in C:\.
    plandra::test::WriteFileText(drive / "ANSWERS.TXT", "USER = Ann\r\n");

    const vorn::SampleScript script = vorn::BuildSample();
    vorn::ArchiveExtras extras;
    extras.FinishOffset = script.Finish;
    extras.CancelOffset = script.Cancel;
    extras.BytesPerDisk = 1024;
    extras.Pieces[static_cast<std::size_t>(vorn::EmbeddedPiece::SupportProgram)] =
        archive_test::Noise(1500, 5);
    const std::string archive = (folder.Folder() / "SETUP.VRN").string();
    ASSERT_EQ(vorn::WriteSetupArchive(archive, script.Bytes,
                                      *vorn::PackPayload(archive_test::Files()).Payload, extras),
              "");

    const ProgramOutcome ran =
        RunProgram(VORNSETUP_PROGRAM " --machine " + machine.string() +
                   " --engine " VORN0132_LIBRARY " " + archive + " /M=ANSWERS.TXT");
    EXPECT_EQ(ran.Status, 0) << ran.Output;
    EXPECT_NE(ran.Output.find("Installation completed"), std::string::npos) << ran.Output;

    const ProgramOutcome log =
        RunProgram(VORNLOG_PROGRAM " --json " + (drive / "APP" / "INSTALL.LOG").string());
    ASSERT_EQ(log.Status, 0) << log.Output;
    EXPECT_NE(log.Output.find(R"("title": "Plandra Setup")"), std::string::npos) << log.Output;
    EXPECT_NE(log.Output.find(R"("product": "Plandra")"), std::string::npos) << log.Output;
    std::vector<std::string> made;
    for (std::size_t at = 0; (at = log.Output.find(R"("path": ")", at)) != std::string::npos;) {
        at += 9;
        made.push_back(log.Output.substr(at, log.Output.find('"', at) - at));
    }
    EXPECT_EQ(made,
              (std::vector<std::string>{"C:\\\\APP\\\\Ann", "C:\\\\APP\\\\D1", "C:\\\\APP\\\\D2",
                                        "C:\\\\APP\\\\TWO", "C:\\\\APP\\\\FINISH"}));
    EXPECT_EQ(plandra::test::ReadFileText(drive / "WINNT" / "PLANDRA.MIF"),
              "Vorn|Plandra|1.0|42|Success|");
}

// Sends raw bytes to a socket and returns what comes back before it closes.
std::string Exchange(const std::filesystem::path& socketPath, const std::string& bytes) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.string().copy(address.sun_path, sizeof address.sun_path - 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    std::string reply;
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::write(socket, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
        ::shutdown(socket, SHUT_WR) == 0) {
        char buffer[256];
        for (ssize_t n; (n = ::read(socket, buffer, sizeof buffer)) > 0;) {
            reply.append(buffer, static_cast<std::size_t>(n));
        }
    }
    ::close(socket);
    return reply;
}

// Another program talks to a running installation through "VornInst": garbage on its
// socket is answered with an error, a request reads a variable, and a cancel ends the
// run, which then runs its cancel section.
TEST(Vornsetup, AnotherProgramReadsAVariableAndCancelsTheRunOverDde) {
    plandra::test::TempFolder folder;
    const std::filesystem::path machine = folder.Folder() / "machine";
    ASSERT_TRUE(
        platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT).Machine);
    vorn::ScriptBuilder b;
    b.CallDll(vorn::call::OwnFunction, "", "f16",
              {std::string("1") + vorn::Sep + "WHO" + vorn::Sep + "Ann"});
    b.While("STOP", 1, "yes");
    b.Filler();
    b.End();
    b.AddToLog("Made Dir: C:\\APP\\NEVER\r\n");
    b.Exit();
    std::vector<std::uint8_t> script = vorn::WriteScriptHeader(vorn::SampleHeader());
    vorn::ArchiveExtras extras;
    extras.CancelOffset =
        static_cast<std::uint32_t>(script.size() + b.AddToLog("Made Dir: C:\\APP\\CANCEL\r\n"));
    b.Exit();
    const std::vector<std::uint8_t> records = b.Build();
    script.insert(script.end(), records.begin(), records.end());
    const std::string archive = (folder.Folder() / "SETUP.VRN").string();
    ASSERT_EQ(vorn::WriteSetupArchive(archive, script,
                                      *vorn::PackPayload(archive_test::Files()).Payload, extras),
              "");

    FILE* run = ::popen((VORNSETUP_PROGRAM " --silent --machine " + machine.string() +
                         " --engine " VORN0132_LIBRARY " " + archive + " 2>&1")
                            .c_str(),
                        "r");
    const std::string dde = VORNSETUP_PROGRAM " --dde " + machine.string();
    ProgramOutcome asked;
    for (int tries = 0; tries < 200 && asked.Status != 0; ++tries) {
        ::usleep(50000);
        asked = RunProgram(dde + " WHO --request");
    }
    EXPECT_EQ(asked.Output, "Ann\n");
    EXPECT_EQ(Exchange(machine / "dde" / "VORNINST", "VDDE?garbage").substr(0, 5),
              std::string("VDDR\1", 5));
    const ProgramOutcome cancelled = RunProgram(dde + " cancel --execute x");
    EXPECT_EQ(cancelled.Status, 0) << cancelled.Output;

    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, run)) > 0;) {
        output.append(buffer, n);
    }
    const int status = ::pclose(run);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << output;
    const std::string log =
        plandra::test::ReadFileText(machine / "drive_c" / "APP" / "INSTALL.LOG");
    EXPECT_NE(log.find("C:\\APP\\CANCEL"), std::string::npos) << log;
    EXPECT_EQ(log.find("NEVER"), std::string::npos) << log;
    // The run is over: no one serves the name any more.
    EXPECT_EQ(RunProgram(dde + " WHO").Status, 1);
    EXPECT_FALSE(std::filesystem::exists(machine / "dde" / "VORNINST"));
}

TEST(Vornsetup, RestartCarriesOutTheReplacementsScheduledForTheNextStart) {
    plandra::test::TempFolder folder;
    const std::filesystem::path machine = folder.Folder() / "machine";
    auto made = platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT);
    ASSERT_TRUE(made.Machine);
    const std::filesystem::path drive = machine / "drive_c";
    plandra::test::WriteFileText(drive / "HELLO.TXT", "Read me first.\r\n");
    plandra::test::WriteFileText(drive / "STUB.LOG", "log");
    {
        platform::SandboxFiles files(*made.Machine);
        ASSERT_TRUE(files.MoveFileExA("C:\\HELLO.TXT", "C:\\MOVED.TXT",
                                      platform::file::MoveDelayUntilReboot |
                                          platform::file::MoveReplaceExisting));
    }
    made.Machine.reset();
    // A Windows 95 style replacement waits in WININIT.INI beside the delayed move.
    plandra::test::WriteFileText(drive / "WINNT" / "WININIT.INI",
                                 "[rename]\r\nC:\\RENAMED.LOG=C:\\STUB.LOG\r\n");
    plandra::test::WriteFileText(machine / "restart_pending.txt", "restart Windows\n");
    const ProgramOutcome restarted = RunProgram(VORNSETUP_PROGRAM " --restart " + machine.string());
    EXPECT_EQ(restarted.Status, 0) << restarted.Output;
    EXPECT_EQ(plandra::test::ReadFileText(drive / "MOVED.TXT"), "Read me first.\r\n");
    EXPECT_TRUE(std::filesystem::exists(drive / "RENAMED.LOG"));
    EXPECT_TRUE(std::filesystem::exists(drive / "WINNT" / "WININIT.BAK"));
    EXPECT_FALSE(std::filesystem::exists(drive / "HELLO.TXT"));
    EXPECT_FALSE(std::filesystem::exists(machine / "restart_pending.txt"));
}

} // namespace
