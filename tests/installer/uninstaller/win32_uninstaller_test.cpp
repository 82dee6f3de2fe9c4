// The uninstaller over the real Win32 calls: an installation written into a temporary
// folder and the current user's registry is removed by an automatic run.
#include "installer/uninstaller/uninstaller_run.h"
#include "platform/headless/headless_message_box.h"
#include "platform/registry.h"
#include "platform/win32/win32_registry.h"
#include "support/temp_file.h"
#include "win32_services.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <process.h>

namespace {

namespace fs = std::filesystem;

TEST(Win32Uninstaller, AutomaticRunRemovesFilesFoldersAndRegistryValues) {
    const fs::path folder = fs::temp_directory_path() / ("rescind-" + std::to_string(::_getpid()));
    fs::create_directories(folder / "DATA");
    plandra::test::WriteFileText(folder / "A.EXE", "program");
    plandra::test::WriteFileText(folder / "NOTES.TXT", "the user's");
    const std::string app = folder.string();
    const std::string subKey = "Software\\PlandraRescindTest\\Sub";
    platform::Win32Registry registry;
    platform::HKEY key = nullptr;
    ASSERT_EQ(registry.RegCreateKeyExA(platform::HKEY_CURRENT_USER, subKey, 0,
                                       platform::reg::KeyAllAccess, key, nullptr),
              platform::reg::Success);
    registry.RegSetValueExA(key, "Path", platform::reg::Sz, std::string_view("x", 2));
    registry.RegCloseKey(key);
    const std::string log = app + "\\INSTALL.LOG";
    plandra::test::WriteFileText(
        log, "***  Installation Started 01/02/03 4:05  ***\r\nTitle: Test\r\nSource: S\r\n"
             "Made Dir: " +
                 app + "\r\nMade Dir: " + app + "\\DATA\r\nFile Copy: " + app +
                 "\\A.EXE\r\nRegDB Key: " + subKey +
                 "\r\nRegDB Val: x\r\nRegDB Name: Path\r\n"
                 "RegDB Root: 1\r\n");

    platform::HeadlessMessageBox boxes;
    rescind::Win32Services machine(boxes);
    const rescind::UninstallServices& services = machine.Bundle;
    rescind::QuietRemovalUi ui;
    const rescind::RunOutcome outcome =
        rescind::RunUninstaller(rescind::ParseCommandLine({"/S", log}), {}, services, ui);

    EXPECT_EQ(outcome.ExitCode, 3);
    EXPECT_FALSE(fs::exists(folder / "A.EXE"));
    EXPECT_FALSE(fs::exists(folder / "DATA"));
    EXPECT_FALSE(fs::exists(log));
    EXPECT_TRUE(fs::exists(folder / "NOTES.TXT"));
    EXPECT_NE(registry.RegOpenKeyExA(platform::HKEY_CURRENT_USER, "Software\\PlandraRescindTest", 0,
                                     platform::reg::KeyRead, key),
              platform::reg::Success);
    fs::remove_all(folder);
}

} // namespace
