// A sample installation of files run by the setup program on a sandbox machine: every
// date rule, a shared file installed twice, a newer version over an older one with its
// backup, and a file in use replaced when the machine starts again.
#include "file_install_sample.h"
#include "installer/archive/archive_test_data.h"
#include "installer/engine/install_context.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_machine.h"
#include "support/run_program.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace {

using plandra::test::ReadFileText;
using plandra::test::RunProgram;

TEST(Vornsetup, InstallsFilesByTheirRulesAndReplacesAFileInUseAtRestart) {
    plandra::test::TempFolder folder;
    const std::filesystem::path machine = folder.Folder() / "machine";
    const std::filesystem::path app = machine / "drive_c" / "APP";
    const std::string fixtures = std::string(PLANDRA_SOURCE_DIR) + "/tests/machine/fixtures/";
    const std::string ver1 = ReadFileText(fixtures + "VER1.DLL");
    const std::string ver2 = ReadFileText(fixtures + "VER2.DLL");
    const std::string archive = (folder.Folder() / "SETUP.VRN").string();
    const vorn::FileInstallSample sample = vorn::WriteFileInstallSample(archive, ver1, ver2);
    ASSERT_FALSE(sample.Changes.empty());
    {
        auto made = platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT);
        ASSERT_TRUE(made.Machine);
        platform::SandboxFiles files(*made.Machine);
        std::filesystem::create_directories(app);
        for (const auto& existing : sample.Before) {
            plandra::test::WriteFileText(app / existing.Name, existing.Content);
            ASSERT_TRUE(vorn::WriteDosStamp(files, "C:\\APP\\" + existing.Name, existing.Stamp));
        }
    }
    // Another program holds BUSY.TXT open while the installation runs.
    plandra::test::WriteFileText(machine / "held_open.txt", "C:\\APP\\BUSY.TXT\r\n");

    const auto ran = RunProgram(VORNSETUP_PROGRAM " --machine " + machine.string() +
                                " --silent --engine " VORN0132_LIBRARY " " + archive);
    EXPECT_EQ(ran.Status, 0) << ran.Output;
    EXPECT_EQ(vorn::LogChanges(app / "INSTALL.LOG"), sample.Changes);
    for (const auto& [name, content] : sample.After) {
        EXPECT_EQ(ReadFileText(app / name), content) << name;
    }
    EXPECT_EQ(ReadFileText(machine / "drive_c" / "BACKUP" / "LIB.DLL"), ver1);
    EXPECT_NE(
        ReadFileText(machine / "registry.reg").find(R"("C:\\APP\\SHARED.TXT"=dword:00000002)"),
        std::string::npos);

    std::filesystem::remove(machine / "held_open.txt");
    const auto restarted = RunProgram(VORNSETUP_PROGRAM " --restart " + machine.string());
    EXPECT_EQ(restarted.Status, 0) << restarted.Output;
    EXPECT_EQ(ReadFileText(app / "BUSY.TXT"), "new content");
    for (const auto& entry : std::filesystem::directory_iterator(app)) {
        EXPECT_NE(entry.path().filename().string().rfind("~KTH", 0), 0u) << entry.path();
    }
}

// A setup split over several disk files runs from the machine's drive D:, which shows
// the setup's folder read-only; a silent run whose medium lacks a disk file aborts.
TEST(Vornsetup, RunsASplitSetupFromTheMediumDrive) {
    plandra::test::TempFolder folder;
    const std::filesystem::path medium = folder.Folder() / "cd";
    const std::filesystem::path partial = folder.Folder() / "partial";
    std::filesystem::create_directories(partial);
    // The second file starts on a later disk than the first.
    const std::vector<std::uint8_t> big = archive_test::Noise(1500, 3);
    const auto packed =
        vorn::PackPayload(std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
                              {"one.bin", big}, {"two.bin", big}})
            .Payload;
    vorn::ArchiveExtras extras;
    extras.BytesPerDisk = 1024;
    const std::filesystem::path archive = medium / "SETUP.VRN";
    std::filesystem::create_directories(medium);
    ASSERT_EQ(
        vorn::WriteSetupArchive(archive,
                                vorn::FileInstallScript(*packed, {{"one.bin", "C:\\APP\\ONE.BIN"},
                                                                  {"two.bin", "C:\\APP\\TWO.BIN"}}),
                                *packed, extras),
        "");
    ASSERT_TRUE(std::filesystem::exists(medium / "SETUP.W03"));
    const auto entries = [&] {
        return std::distance(std::filesystem::directory_iterator(medium),
                             std::filesystem::directory_iterator());
    };
    const auto parts = entries();
    std::filesystem::copy(archive, partial / "SETUP.VRN");

    for (const auto& [from, installs] : {std::pair{medium, true}, std::pair{partial, false}}) {
        const std::filesystem::path machine =
            folder.Folder() / ("machine-" + from.filename().string());
        ASSERT_TRUE(
            platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT).Machine);
        const auto ran = RunProgram(VORNSETUP_PROGRAM " --machine " + machine.string() +
                                    " --medium " + from.string() +
                                    " --silent --engine " VORN0132_LIBRARY " " + archive.string());
        EXPECT_EQ(ran.Status, installs ? 0 : 1) << ran.Output;
        const std::filesystem::path app = machine / "drive_c" / "APP";
        EXPECT_EQ(std::filesystem::exists(app / "TWO.BIN"), installs) << from;
        if (!installs) {
            EXPECT_NE(ran.Output.find("Installation aborted"), std::string::npos) << ran.Output;
            continue;
        }
        EXPECT_EQ(ReadFileText(app / "TWO.BIN"), std::string(big.begin(), big.end()));
        EXPECT_NE(ReadFileText(app / "INSTALL.LOG").find("Source: D:\\SETUP.EXE\r\n"),
                  std::string::npos);
        // Every later opening of the machine sees the medium; the run wrote nothing there.
        auto opened = platform::SandboxMachine::Open(machine);
        ASSERT_TRUE(opened.Machine);
        platform::SandboxFiles files(*opened.Machine);
        EXPECT_NE(files.GetFileAttributesA("D:\\SETUP.W02"), platform::file::InvalidAttributes);
        EXPECT_EQ(entries(), parts);
    }
}

} // namespace
