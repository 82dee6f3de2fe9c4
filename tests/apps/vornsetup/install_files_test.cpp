// A sample installation of files run by the setup program on a sandbox machine: every
// date rule, a shared file installed twice, a newer version over an older one with its
// backup, and a file in use replaced when the machine starts again.
#include "file_install_sample.h"
#include "installer/engine/install_context.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_machine.h"
#include "support/run_program.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace {

using plandra::test::ReadFileText;
using plandra::test::RunProgram;
using namespace vorn::install_flags;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(Vornsetup, InstallsFilesByTheirRulesAndReplacesAFileInUseAtRestart) {
    plandra::test::TempFolder folder;
    const std::filesystem::path machine = folder.Folder() / "machine";
    const std::filesystem::path app = machine / "drive_c" / "APP";
    const std::string fixtures = std::string(PLANDRA_SOURCE_DIR) + "/tests/machine/fixtures/";
    const std::string ver1 = ReadFileText(fixtures + "VER1.DLL");
    const std::string ver2 = ReadFileText(fixtures + "VER2.DLL");
    const vorn::DosStamp older{0x5821, 0x6000}, record{0x5A21, 0x6000}, newer{0x5C21, 0x6000};
    {
        auto made = platform::SandboxMachine::Create(machine, platform::WindowsFamily::WindowsNT);
        ASSERT_TRUE(made.Machine);
        platform::SandboxFiles files(*made.Machine);
        std::filesystem::create_directories(app);
        for (const auto& [name, content, stamp] :
             std::vector<std::tuple<std::string, std::string, vorn::DosStamp>>{
                 {"OLD.TXT", "old", older},
                 {"SAME.TXT", "same", record},
                 {"KEEP.TXT", "keep", newer},
                 {"NEVER.TXT", "never", older},
                 {"BUSY.TXT", "busy", older},
                 {"LIB.DLL", ver1, older}}) {
            plandra::test::WriteFileText(app / name, content);
            ASSERT_TRUE(vorn::WriteDosStamp(files, "C:\\APP\\" + name, stamp));
        }
    }
    // Another program holds BUSY.TXT open while the installation runs.
    plandra::test::WriteFileText(machine / "held_open.txt", "C:\\APP\\BUSY.TXT\r\n");

    const auto packed =
        vorn::PackPayload(std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
                              {"new.txt", Bytes("new content")}, {"lib.dll", Bytes(ver2)}})
            .Payload;
    const std::vector<vorn::FileToInstall> files{
        {"new.txt", "C:\\APP\\NEW.TXT"},
        {"new.txt", "C:\\APP\\OLD.TXT", Rule2},
        {"new.txt", "C:\\APP\\SAME.TXT", Rule1},
        {"new.txt", "C:\\APP\\KEEP.TXT", Rule2},
        {"new.txt", "C:\\APP\\NEVER.TXT", Rule3},
        {"new.txt", "C:\\APP\\SHARED.TXT", Shared},
        {"new.txt", "C:\\APP\\SHARED.TXT", Shared},
        {"new.txt", "C:\\APP\\BUSY.TXT"},
        {"lib.dll", "C:\\APP\\LIB.DLL", Versions},
    };
    vorn::ArchiveExtras extras;
    extras.OptionFlags = vorn::context_option::ReplaceInUseAtRestart;
    const std::string archive = (folder.Folder() / "SETUP.VRN").string();
    ASSERT_EQ(vorn::WriteSetupArchive(archive, vorn::FileInstallScript(*packed, files, 8), *packed,
                                      extras),
              "");

    const auto ran = RunProgram(VORNSETUP_PROGRAM " --machine " + machine.string() +
                                " --silent --engine " VORN0132_LIBRARY " " + archive);
    EXPECT_EQ(ran.Status, 0) << ran.Output;
    EXPECT_EQ(vorn::LogChanges(app / "INSTALL.LOG"), (std::vector<std::string>{
                                                         "File Copy: C:\\APP\\NEW.TXT",
                                                         "File Overwrite: C:\\APP\\OLD.TXT",
                                                         "File Overwrite: C:\\APP\\SAME.TXT",
                                                         "Date/Time: Following file not copied.",
                                                         " File Copy: C:\\APP\\KEEP.TXT",
                                                         "File Copy: C:\\APP\\SHARED.TXT",
                                                         "File Overwrite: C:\\APP\\SHARED.TXT",
                                                         "File Overwrite: C:\\APP\\BUSY.TXT",
                                                         "Made Dir: C:\\BACKUP",
                                                         "File Overwrite: C:\\APP\\LIB.DLL",
                                                         "Backup Copy: C:\\BACKUP\\LIB.DLL",
                                                     }));
    for (const char* name : {"NEW.TXT", "OLD.TXT", "SAME.TXT", "SHARED.TXT"}) {
        EXPECT_EQ(ReadFileText(app / name), "new content") << name;
    }
    EXPECT_EQ(ReadFileText(app / "KEEP.TXT"), "keep");
    EXPECT_EQ(ReadFileText(app / "NEVER.TXT"), "never");
    EXPECT_EQ(ReadFileText(app / "LIB.DLL"), ver2);
    EXPECT_EQ(ReadFileText(machine / "drive_c" / "BACKUP" / "LIB.DLL"), ver1);
    EXPECT_NE(
        ReadFileText(machine / "registry.reg").find(R"("C:\\APP\\SHARED.TXT"=dword:00000002)"),
        std::string::npos);
    EXPECT_EQ(ReadFileText(app / "BUSY.TXT"), "busy");

    std::filesystem::remove(machine / "held_open.txt");
    const auto restarted = RunProgram(VORNSETUP_PROGRAM " --restart " + machine.string());
    EXPECT_EQ(restarted.Status, 0) << restarted.Output;
    EXPECT_EQ(ReadFileText(app / "BUSY.TXT"), "new content");
    for (const auto& entry : std::filesystem::directory_iterator(app)) {
        EXPECT_NE(entry.path().filename().string().rfind("~KTH", 0), 0u) << entry.path();
    }
}

} // namespace
