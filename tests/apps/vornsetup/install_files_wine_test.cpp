// The file-installation sample run by SETUP.EXE and VORN0132.DLL on Windows itself: every
// date rule, a shared file installed twice, a newer version over an older one with its
// backup, and a file this test holds open replaced when Windows starts again.
#include "file_install_sample.h"
#include "platform/machine_services.h"
#include "support/temp_file.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using plandra::test::ReadFileText;

constexpr const char* SharedDlls = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

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
    plandra::test::TempFolder folder;
    const std::string archive = (folder.Folder() / "SETUP.VRN").string();
    const FileInstallSample sample = WriteFileInstallSample(archive, ver1, ver2);
    ASSERT_FALSE(sample.Changes.empty());
    std::filesystem::create_directories(app);
    for (const auto& existing : sample.Before) {
        plandra::test::WriteFileText(app / existing.Name, existing.Content);
        ASSERT_TRUE(WriteDosStamp(files, "C:\\APP\\" + existing.Name, existing.Stamp));
    }
    {
        // This test holds BUSY.TXT open, unshared, while SETUP.EXE runs.
        platform::UniqueFile busy(
            files.CreateFileA("C:\\APP\\BUSY.TXT", platform::file::GenericRead, 0,
                              platform::file::OpenExisting, platform::file::AttributeNormal),
            platform::FileCloser{&files});
        ASSERT_TRUE(busy);
        EXPECT_EQ(std::system(("SETUP.EXE --silent " + archive).c_str()), 0);
    }
    EXPECT_EQ(LogChanges(app / "INSTALL.LOG"), sample.Changes);
    for (const auto& [name, content] : sample.After) {
        EXPECT_EQ(ReadFileText(app / name), content) << name;
    }
    EXPECT_EQ(ReadFileText("C:\\BACKUP\\LIB.DLL"), ver1);
    EXPECT_EQ(SharedCount(opened.Services->Registry(), true), 2);

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
