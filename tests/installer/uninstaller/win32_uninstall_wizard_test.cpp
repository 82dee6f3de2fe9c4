// The wizard of Rescind32.exe's templates on a virtual desktop: a user on a second thread
// picks a custom uninstall page by page with posted clicks, and the machine keeps
// exactly what was left unticked.
#include "installer/uninstaller/uninstall_wizard.h"
#include "installer/uninstaller/uninstaller_run.h"
#include "platform/headless/headless_message_box.h"
#include "platform/registry.h"
#include "platform/win32/win32_uninstall_dialogs.h"
#include "support/desktop_user.h"
#include "support/temp_file.h"
#include "win32_services.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <process.h>

namespace {

namespace fs = std::filesystem;
namespace w = rescind::wizard;

// Waits until the wizard shows the heading, then posts the click of a button.
bool OnPage(HWND dialog, const std::string& heading) {
    for (int tries = 0; tries < 200; ++tries) {
        if (plandra::test::WindowText(::GetDlgItem(dialog, w::Heading)) == heading) {
            return true;
        }
        ::Sleep(50);
    }
    ADD_FAILURE() << "the wizard never showed " << heading;
    return false;
}

void Click(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// Whether the key stands under HKEY_CURRENT_USER.
bool KeyExists(const std::string& key) {
    ::HKEY handle = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(handle);
    return true;
}

TEST(Win32UninstallWizard, CustomUninstallKeepsWhatTheUserLeftUnticked) {
    const fs::path folder = fs::temp_directory_path() / ("wizard-" + std::to_string(::_getpid()));
    fs::create_directories(folder);
    const std::string app = folder.string();
    plandra::test::WriteFileText(folder / "A.EXE", "program");
    plandra::test::WriteFileText(folder / "B.EXE", "program");
    const std::string base = "Software\\PlandraWizardTest\\";
    for (const char* name : {"Gone", "Kept"}) {
        ASSERT_EQ(
            ::RegSetKeyValueA(HKEY_CURRENT_USER, (base + name).c_str(), "Path", REG_SZ, "x", 2),
            ERROR_SUCCESS);
    }
    const std::string log = app + "\\INSTALL.LOG";
    std::string text =
        "***  Installation Started 01/02/03 4:05  ***\r\nTitle: Test\r\nSource: S\r\n"
        "Made Dir: " +
        app + "\r\nFile Copy: " + app + "\\A.EXE\r\nFile Copy: " + app + "\\B.EXE\r\n";
    for (const char* name : {"Gone", "Kept"}) {
        text += "RegDB Key: " + base + name +
                "\r\nRegDB Val: x\r\nRegDB Name: Path\r\nRegDB Root: 1\r\n";
    }
    plandra::test::WriteFileText(log, text);

    platform::HeadlessMessageBox boxes;
    rescind::Win32Services machine(boxes);
    const rescind::UninstallServices& services = machine.Bundle;
    platform::Win32UninstallDialogs dialogs;
    rescind::QuietRemovalUi questions;
    rescind::UninstallWizard wizard(dialogs, {}, questions);
    rescind::ProgramContext program;
    program.Wizard = &wizard;
    rescind::RunOutcome outcome;
    {
        plandra::test::DesktopUser user("Uninstall Test", [](HWND dialog) {
            if (!OnPage(dialog, "Select Uninstall Method")) {
                return;
            }
            ::PostMessageA(::GetDlgItem(dialog, w::SecondRadio), BM_CLICK, 0, 0);
            Click(dialog, w::Next);
            // On the two list pages the second item stays.
            for (const char* page :
                 {"Select Private Files to Remove", "Select Directories to Remove",
                  "Select Registry Keys to Remove", "Perform Uninstall"}) {
                if (!OnPage(dialog, page)) {
                    return;
                }
                ::SendDlgItemMessageA(dialog, w::Items, LB_SETSEL, FALSE, 1);
                Click(dialog, w::Next);
            }
        });
        outcome =
            rescind::RunUninstaller(rescind::ParseCommandLine({log}), program, services, wizard);
        EXPECT_FALSE(user.Missed());
    }

    EXPECT_EQ(outcome.ExitCode, 0);
    EXPECT_FALSE(fs::exists(folder / "A.EXE"));
    EXPECT_TRUE(fs::exists(folder / "B.EXE"));
    EXPECT_EQ(plandra::test::ReadFileText(log), text);
    EXPECT_FALSE(KeyExists(base + "Gone"));
    EXPECT_TRUE(KeyExists(base + "Kept"));
    fs::remove_all(folder);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PlandraWizardTest");
}

} // namespace
