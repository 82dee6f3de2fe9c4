// The setup program as its users run it: listing an archive, and running one on a
// sandbox machine through a stand-in engine, up to the restart it asks for.
#include "installer/archive/archive_test_data.h"
#include "installer/archive/setup_archive.h"
#include "platform/posix/sandbox_machine.h"
#include "support/temp_file.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace {

struct Outcome {
    int Status = -1;
    std::string Output;
};

Outcome RunSetup(const std::string& arguments) {
    Outcome outcome;
    FILE* pipe = ::popen((std::string(VORNSETUP_PROGRAM) + " " + arguments + " 2>&1").c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        outcome.Output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    outcome.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

TEST(Vornsetup, ListsAnArchiveAndFindsItsDamagedFiles) {
    plandra::test::TempFolder folder;
    const std::string path = (folder.Folder() / "SETUP.VRN").string();
    const vorn::ArchiveImage image = vorn::BuildSetupArchive(
        archive_test::Script(), *vorn::PackPayload(archive_test::Files()).Payload);
    plandra::test::WriteFileText(
        path, {reinterpret_cast<const char*>(image.Bytes.data()), image.Bytes.size()});
    const Outcome listed = RunSetup("--list " + path);
    EXPECT_EQ(listed.Status, 0) << listed.Output;
    EXPECT_NE(listed.Output.find("Files: 2"), std::string::npos) << listed.Output;
    EXPECT_NE(listed.Output.find("  readme.txt\n"), std::string::npos) << listed.Output;

    std::vector<std::uint8_t> damaged = image.Bytes;
    damaged[damaged.size() - 40] ^= 0x55;
    plandra::test::WriteFileText(path,
                                 {reinterpret_cast<const char*>(damaged.data()), damaged.size()});
    const Outcome checked = RunSetup("--list " + path);
    EXPECT_EQ(checked.Status, 1);
    EXPECT_NE(checked.Output.find("plandra.ocx  DAMAGED"), std::string::npos) << checked.Output;
}

TEST(Vornsetup, RunsAnArchiveThroughTheEngineAndCarriesOutTheRestart) {
    plandra::test::TempFolder folder;
    const std::filesystem::path machine = folder.Folder() / "machine";
    ASSERT_TRUE(
        platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT).Machine);
    const vorn::PackResult packed = vorn::PackPayload(archive_test::Files());
    vorn::ArchiveExtras extras;
    extras.BytesPerDisk = 1024;
    extras.Pieces[static_cast<std::size_t>(vorn::EmbeddedPiece::RestartUtility)] =
        archive_test::Noise(1500, 5);
    extras.Pieces[static_cast<std::size_t>(vorn::EmbeddedPiece::DiskPromptDialogs)] =
        archive_test::Bytes("dialogs");
    const std::vector<std::uint8_t> script =
        archive_test::Script("STUB " + std::to_string(packed.Payload->Entries[0].CompressedSize));
    const std::string archive = (folder.Folder() / "SETUP.VRN").string();
    ASSERT_EQ(vorn::WriteSetupArchive(archive, script, *packed.Payload, extras), "");

    const Outcome ran = RunSetup("--machine " + machine.string() + " --engine " STUB_ENGINE " " +
                                 archive + " /R /T");
    EXPECT_EQ(ran.Status, 0) << ran.Output;
    EXPECT_NE(ran.Output.find("%] readme.txt (16 bytes)"), std::string::npos) << ran.Output;
    EXPECT_NE(ran.Output.find("Installation completed"), std::string::npos) << ran.Output;
    const std::filesystem::path drive = machine / "drive_c";
    EXPECT_EQ(plandra::test::ReadFileText(drive / "HELLO.TXT"), "Read me first.\r\n");
    // The script as the archive keeps it: its disk fields set for the split archive.
    const auto kept = vorn::SetupArchive::Open(archive);
    ASSERT_TRUE(kept.Archive) << kept.Error;
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x",
                  static_cast<unsigned>(vorn::Crc32(0, kept.Archive->Script())));
    EXPECT_EQ(plandra::test::ReadFileText(drive / "STUB.LOG"),
              "written=16 dialogs=dialogs silent=0 screen=800x600 crc=" + std::string(crc) +
                  " options=" + std::to_string(vorn::context_option::RestartUtilityEmbedded) +
                  " cmdline=/R /T\r\n");
    EXPECT_EQ(plandra::test::ReadFileText(machine / "restart_pending.txt"), "restart Windows\n");

    // A Windows 95 style replacement waits in WININIT.INI beside the delayed move.
    plandra::test::WriteFileText(drive / "WINNT" / "WININIT.INI",
                                 "[rename]\r\nC:\\RENAMED.LOG=C:\\STUB.LOG\r\n");
    const Outcome restarted = RunSetup("--restart " + machine.string());
    EXPECT_EQ(restarted.Status, 0) << restarted.Output;
    EXPECT_EQ(plandra::test::ReadFileText(drive / "MOVED.TXT"), "Read me first.\r\n");
    EXPECT_TRUE(std::filesystem::exists(drive / "RENAMED.LOG"));
    EXPECT_TRUE(std::filesystem::exists(drive / "WINNT" / "WININIT.BAK"));
    EXPECT_FALSE(std::filesystem::exists(drive / "HELLO.TXT"));
    EXPECT_FALSE(std::filesystem::exists(machine / "restart_pending.txt"));
}

} // namespace
