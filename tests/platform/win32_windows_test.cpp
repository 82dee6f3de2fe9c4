// Child windows and modal forms on a real (virtual) desktop: placement, docking and
// visibility of a child window, and a form shown, clicked and closed from a second
// thread as a user would.
#include "platform/win32/win32_child_window.h"
#include "platform/win32/win32_dialogs.h"
#include "support/desktop_user.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace platform {
namespace {

using plandra::test::DesktopUser;
using plandra::test::WindowText;

// A hidden borderless window of a known client size, with one hidden child.
struct ParentAndChild {
    ParentAndChild() {
        Parent = ::CreateWindowExA(0, "STATIC", "parent", WS_POPUP, 0, 0, 300, 200, nullptr,
                                   nullptr, nullptr, nullptr);
        Child = ::CreateWindowExA(0, "STATIC", "child", WS_CHILD, 10, 20, 50, 40, Parent, nullptr,
                                  nullptr, nullptr);
    }
    ~ParentAndChild() { ::DestroyWindow(Parent); }

    ::HWND Parent;
    ::HWND Child;
};

std::vector<int> PlacementOf(const ChildWindow& window) {
    return {window.Left(), window.Top(), window.Width(), window.Height()};
}

TEST(Win32ChildWindow, MovesShowsAndDocksAtTheTop) {
    ParentAndChild windows;
    ASSERT_NE(windows.Child, nullptr);
    Win32ChildWindow child(reinterpret_cast<HWND>(windows.Child));
    EXPECT_EQ(PlacementOf(child), (std::vector<int>{10, 20, 50, 40}));
    child.Move(5, 6, 70, 80);
    EXPECT_EQ(PlacementOf(child), (std::vector<int>{5, 6, 70, 80}));

    // Its own flag, though the parent stays hidden.
    child.SetVisible(true);
    EXPECT_TRUE(child.Visible());
    child.SetVisible(false);
    EXPECT_FALSE(child.Visible());

    child.SetAlign(align::Top);
    EXPECT_EQ(child.Align(), align::Top);
    EXPECT_EQ(PlacementOf(child), (std::vector<int>{0, 0, 300, 80}));
    child.Move(40, 50, 10, 30);
    EXPECT_EQ(PlacementOf(child), (std::vector<int>{0, 0, 300, 30}));
    ::MoveWindow(windows.Parent, 0, 0, 400, 200, FALSE);
    child.Move(0, 0, 300, 120);
    EXPECT_EQ(PlacementOf(child), (std::vector<int>{0, 0, 400, 120}));

    child.SetAlign(align::None);
    child.Move(1, 2, 3, 4);
    EXPECT_EQ(PlacementOf(child), (std::vector<int>{1, 2, 3, 4}));
}

// A form that counts its clicks in a label and remembers what was done to it.
class CountingForm final : public ModalForm {
public:
    explicit CountingForm(std::string caption, bool unloadOnLoad = false)
        : Title(std::move(caption)), UnloadOnLoad(unloadOnLoad) {}

    std::string_view Name() const override { return "frmCount"; }
    std::string_view Caption() const override { return Title; }
    void Load() override {
        Events.push_back("Load");
        IsUnloaded = UnloadOnLoad;
    }
    std::vector<std::pair<std::string, std::string>> Labels() const override {
        return {{"lblTitle", "Counter"}, {"lblCount", "Clicked " + std::to_string(Clicks)}};
    }
    std::vector<std::pair<std::string, std::string>> Buttons() const override {
        return {{"cmdOK", "OK"}, {"cmdCount", "&Count"}};
    }
    void Click(std::string_view button) override {
        Events.push_back("Click " + std::string(button));
        if (button == "cmdCount") {
            ++Clicks;
        } else if (button == "cmdOK") {
            IsUnloaded = true;
        }
    }
    bool Unloaded() const override { return IsUnloaded; }
    void Close() override {
        Events.push_back("Close");
        IsUnloaded = true;
    }

    std::vector<std::string> Events;

private:
    std::string Title;
    bool UnloadOnLoad;
    int Clicks = 0;
    bool IsUnloaded = false;
};

// Takes a quit message left for this thread, if any, and returns its exit code.
int TakenQuit() {
    MSG message{};
    return ::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE
               ? static_cast<int>(message.wParam)
               : -1;
}

TEST(Win32Dialogs, AFormThatUnloadsInLoadShowsNoWindow) {
    Win32Dialogs dialogs;
    CountingForm form("Unloaded at once", true);
    dialogs.ShowModal(form);
    EXPECT_EQ(form.Events, std::vector<std::string>{"Load"});
    EXPECT_EQ(::FindWindowA(nullptr, "Unloaded at once"), nullptr);
}

TEST(Win32Dialogs, AFormIsCentredClickedAndClosedLikeAWindow) {
    Win32Dialogs dialogs;
    CountingForm form("Counter test");
    std::vector<std::string> shown;
    std::string afterClick;
    bool centred = false;
    {
        DesktopUser user("Counter test", [&](::HWND window) {
            RECT rect{};
            ::GetWindowRect(window, &rect);
            const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
            const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
            centred = std::abs(rect.left + rect.right - screenWidth) <= 1 &&
                      std::abs(rect.top + rect.bottom - screenHeight) <= 1;
            for (::HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
                 child = ::GetWindow(child, GW_HWNDNEXT)) {
                shown.push_back(WindowText(child));
            }
            const ::HWND count = ::FindWindowExA(window, nullptr, "BUTTON", "&Count");
            ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(count), BN_CLICKED),
                           reinterpret_cast<LPARAM>(count));
            afterClick = WindowText(::FindWindowExA(window, nullptr, "STATIC", "Clicked 1"));
            ::PostMessageA(window, WM_CLOSE, 0, 0);
        });
        dialogs.ShowModal(form);
        ASSERT_FALSE(user.Missed());
    }
    EXPECT_TRUE(centred);
    std::ranges::sort(shown);
    EXPECT_EQ(shown, (std::vector<std::string>{"&Count", "Clicked 0", "Counter", "OK"}));
    EXPECT_EQ(afterClick, "Clicked 1");
    EXPECT_EQ(form.Events, (std::vector<std::string>{"Load", "Click cmdCount", "Close"}));
    EXPECT_EQ(::FindWindowA(nullptr, "Counter test"), nullptr);
}

TEST(Win32Dialogs, TheKeyboardsCommandsAndAQuitMessageEndTheForm) {
    const DWORD thread = ::GetCurrentThreadId();
    const struct {
        UINT Message;
        WPARAM Command;
        std::vector<std::string> Events;
        int Quit; ///< the quit message's code passed on, or -1
    } cases[] = {
        {WM_COMMAND, IDOK, {"Load", "Click cmdOK"}, -1},
        {WM_COMMAND, IDCANCEL, {"Load", "Close"}, -1},
        {WM_QUIT, 7, {"Load", "Close"}, 7},
    };
    for (const auto& c : cases) {
        Win32Dialogs dialogs;
        CountingForm form("Keyboard test");
        {
            DesktopUser user("Keyboard test", [&](::HWND window) {
                c.Message == WM_QUIT ? ::PostThreadMessageA(thread, WM_QUIT, c.Command, 0)
                                     : ::PostMessageA(window, c.Message, c.Command, 0);
            });
            dialogs.ShowModal(form);
        }
        EXPECT_EQ(TakenQuit(), c.Quit);
        EXPECT_EQ(form.Events, c.Events);
    }
}

} // namespace
} // namespace platform
