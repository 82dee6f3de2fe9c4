// The file-installation sample run by SETUP.EXE and VORN0132.DLL on Windows itself: every
// date rule, a shared file installed twice, a newer version over an older one with its
// backup, and a file this test holds open replaced when Windows starts again.
#include "file_install_sample.h"
#include "installer/engine/install_context.h"
#include "platform/machine_services.h"
#include "support/temp_file.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using namespace install_flags;
using plandra::test::ReadFileText;

constexpr const char* SharedDlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// The shared-file counter of C:\APP\SHARED.TXT; -1 when there is none. `forget` deletes it.
long SharedCount(platform::RegistryService& registry, bool forget = false) {
    platform::HKEY key = nullptr;
    if (registry.RegOpenKeyExA(platform::HKEY_LOCAL_MACHINE, SharedDlls, 0,
                               platform::reg::KeyAllAccess, key) != 0) {
        return -1;
    }
    std::uint32_t count = 0;
    std::uint32_t size = sizeof count;
    const long status = registry.RegQueryValueExA(key, "C:\\APP\\SHARED.TXT", nullptr,
                                                  reinterpret_cast<char*>(&count), &size);
    if (forget) {
        registry.RegDeleteValueA(key, "C:\\APP\\SHARED.TXT");
    }
    registry.RegCloseKey(key);
    return status == 0 ? static_cast<long>(count) : -1;
}

TEST(SetupExe, InstallsFilesByTheirRulesAndReplacesAFileInUseAtRestart) {
    const std::filesystem::path app = "C:\\APP";
    std::filesystem::remove_all(app);
    std::filesystem::remove_all("C:\\BACKUP");
    platform::OpenedMachine opened = platform::OpenMachineServices({});
    ASSERT_TRUE(opened.Services);
    platform::FileService& files = opened.Services->Files();
    SharedCount(opened.Services->Registry(), true);
    const std::string fixtures = std::string(PLANDRA_SOURCE_DIR) + "/tests/machine/fixtures/";
    const std::string ver1 = ReadFileText(fixtures + "VER1.DLL");
    const std::string ver2 = ReadFileText(fixtures + "VER2.DLL");
    const DosStamp older{0x5821, 0x6000}, record{0x5A21, 0x6000}, newer{0x5C21, 0x6000};
    std::filesystem::create_directories(app);
    for (const auto& [name, content, stamp] :
         std::vector<std::tuple<std::string, std::string, DosStamp>>{{"OLD.TXT", "old", older},
                                                                     {"SAME.TXT", "same", record},
                                                                     {"KEEP.TXT", "keep", newer},
                                                                     {"NEVER.TXT", "never", older},
                                                                     {"BUSY.TXT", "busy", older},
                                                                     {"LIB.DLL", ver1, older}}) {
        plandra::test::WriteFileText(app / name, content);
        ASSERT_TRUE(WriteDosStamp(files, "C:\\APP\\" + name, stamp));
    }

    plandra::test::TempFolder folder;
    const auto packed =
        PackPayload(std::vector<std::pair<std::string, std::vector<std::uint8_t>>>{
                        {"new.txt", Bytes("new content")}, {"lib.dll", Bytes(ver2)}})
            .Payload;
    const std::vector<FileToInstall> installed{
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
    ArchiveExtras extras;
    extras.OptionFlags = context_option::ReplaceInUseAtRestart;
    const std::string archive = (folder.Folder() / "SETUP.VRN").string();
    ASSERT_EQ(WriteSetupArchive(archive, FileInstallScript(*packed, installed, 8), *packed, extras),
              "");

    {
        // This test holds BUSY.TXT open, unshared, while SETUP.EXE runs.
        platform::UniqueFile busy(
            files.CreateFileA("C:\\APP\\BUSY.TXT", platform::file::GenericRead, 0,
                              platform::file::OpenExisting, platform::file::AttributeNormal),
            platform::FileCloser{&files});
        ASSERT_TRUE(busy);
        EXPECT_EQ(std::system(("SETUP.EXE --silent " + archive).c_str()), 0);
    }
    EXPECT_EQ(LogChanges(app / "INSTALL.LOG"), (std::vector<std::string>{
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
    EXPECT_EQ(ReadFileText("C:\\BACKUP\\LIB.DLL"), ver1);
    EXPECT_EQ(SharedCount(opened.Services->Registry(), true), 2);
    EXPECT_EQ(ReadFileText(app / "BUSY.TXT"), "busy");

    // Wine's own restart carries out the moves scheduled for the next start.
    EXPECT_EQ(std::system("wineboot -r"), 0);
    EXPECT_EQ(ReadFileText(app / "BUSY.TXT"), "new content");
    for (const auto& entry : std::filesystem::directory_iterator(app)) {
        EXPECT_NE(entry.path().filename().string().rfind("~KTH", 0), 0u) << entry.path();
    }
    std::filesystem::remove_all(app);
    std::filesystem::remove_all("C:\\BACKUP");
}

} // namespace
} // namespace vorn
