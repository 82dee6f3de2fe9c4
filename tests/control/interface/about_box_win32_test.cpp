// The about box on the real Windows services: the control shows it as a modal window
// with its version, and OK closes it.
#include "control/interface/about_box.h"
#include "control_fixture.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "support/desktop_user.h"

#include <gtest/gtest.h>

namespace plandra::test {
namespace {

TEST(AboutBoxOnWindows, TheControlShowsItAsAWindowThatOkCloses) {
    HeadlessHost host;
    platform::Win32Dialogs dialogs;
    platform::Win32MessageBox messageBox;
    platform::Win32Registry registry;
    platform::Win32Shell shell;
    DXF dxf(host.Surfaces(), {host.Container, nullptr, dialogs, messageBox, registry, shell});

    const ControlVersion version = PlandraVersion();
    const std::string expected = "Version " + std::to_string(version.Major) + "." +
                                 std::to_string(version.Minor) + "." +
                                 std::to_string(version.Revision);
    std::string versionShown;
    {
        DesktopUser user("About Plandra", [&](HWND window) {
            versionShown = WindowText(::FindWindowExA(window, nullptr, "STATIC", expected.c_str()));
            const HWND ok = ::FindWindowExA(window, nullptr, "BUTTON", "OK");
            ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(ok), BN_CLICKED),
                           reinterpret_cast<LPARAM>(ok));
        });
        dxf.About();
        ASSERT_FALSE(user.Missed());
    }
    EXPECT_EQ(versionShown, expected);
    EXPECT_EQ(::FindWindowA(nullptr, "About Plandra"), nullptr);
}

} // namespace
} // namespace plandra::test
