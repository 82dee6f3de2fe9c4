// The uninstaller's item lists as built from logs: merging and the paths it refuses.
#include "installer/uninstaller/log_model.h"

#include <gtest/gtest.h>

namespace {

class EverythingThere final : public rescind::MachineFacts {
public:
    bool FileExists(std::string_view) override { return true; }
    bool OnRemovableFloppy(std::string_view path) override { return path.starts_with("A:"); }
    bool IsCountedSharedFile(std::string_view) override { return false; }
    bool IniHasValue(std::string_view, std::string_view, std::string_view) override { return true; }
    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    std::string SystemDirectory() override { return "C:\\WINDOWS\\SYSTEM"; }
};

rescind::ModelResult Model(std::string_view records) {
    const std::string text =
        "***  Installation Started 01/02/03 4:05  ***\r\nTitle: T\r\n" + std::string(records);
    const vorn::LogReadResult read = vorn::ParseInstallLog(text);
    EverythingThere facts;
    return rescind::BuildItemLists(read.Log, "C:\\APP\\SUB\\INSTALL.LOG", facts);
}

TEST(LogModel, OnlyFullPathsOnADriveWithoutClimbingOrDeviceNamesAreSafe) {
    const std::pair<const char*, bool> cases[] = {
        {"C:\\APP\\A.EXE", true},        {"c:\\", true},
        {"C:\\APP\\..\\WIN.INI", false}, {"C:\\APP\\.\\A.EXE", false},
        {"C:\\APP\\NUL", false},         {"C:\\APP\\com1.txt", false},
        {"C:\\APP\\CONSOLE.EXE", true},  {"\\\\SERVER\\SHARE\\A.EXE", false},
        {"APP\\A.EXE", false},           {"C:APP", false},
        {"C:\\APP/..\\X", false},        {"C:\\APP\\A:STREAM", false},
    };
    for (const auto& [path, safe] : cases) {
        EXPECT_EQ(rescind::IsSafeMachinePath(path), safe) << path;
    }
}

TEST(LogModel, EachChangeIsListedOnceWithTheInstallationsThatMadeIt) {
    const rescind::ModelResult model =
        Model("Made Dir: C:\\APP\\SUB\\DEEP\r\nMade Dir: C:\\APP\r\nFile Copy: C:\\APP\\A.EXE\r\n"
              "File Overwrite: C:\\WINDOWS\\SYSTEM\\B.DLL\r\nFile Copy: A:\\SETUP.EXE\r\n"
              "***  Installation Started 01/02/03 4:06  ***\r\nTitle: T\r\n"
              "File Copy: c:\\app\\a.exe\r\nFile Overwrite: C:\\APP\\C.EXE\r\n"
              "Backup Copy: C:\\APP\\BAK\\C.EXE\r\nSelf-Register: C:\\APP\\A.EXE\r\n");
    ASSERT_FALSE(model.RefusedPath);
    const rescind::ItemLists& lists = model.Lists;
    ASSERT_EQ(lists.PrivateFiles.size(), 2u);
    EXPECT_EQ(lists.PrivateFiles[0].CopyInstallation, 2);
    EXPECT_EQ(lists.PrivateFiles[0].RegisterInstallation, 2);
    EXPECT_TRUE(lists.PrivateFiles[0].Created);
    EXPECT_FALSE(lists.PrivateFiles[1].Created);
    EXPECT_EQ(lists.PrivateFiles[1].BackupInstallation, 2);
    EXPECT_TRUE(lists.SystemFiles.empty());
    EXPECT_TRUE(lists.HasBackups);
    ASSERT_EQ(lists.Directories.size(), 1u);
    EXPECT_EQ(lists.Directories[0].Path, "C:\\APP\\");
    EXPECT_EQ(lists.ApplicationDirectory, "C:\\APP\\");
}

} // namespace
