// A user at the Windows desktop, for tests of modal windows.
#include "desktop_user.h"

#include <chrono>

namespace plandra::test {

DesktopUser::DesktopUser(std::string caption, std::function<void(HWND)> act) {
    const DWORD testThread = ::GetCurrentThreadId();
    Thread = std::thread([this, testThread, caption = std::move(caption), act = std::move(act)] {
        for (int i = 0; i < 200; ++i) {
            // Shown only once its labels and buttons are in place.
            const HWND window = ::FindWindowA(nullptr, caption.c_str());
            if (window != nullptr && ::IsWindowVisible(window)) {
                act(window);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        HasMissed = true;
        ::PostThreadMessageA(testThread, WM_QUIT, 0, 0);
    });
}

DesktopUser::~DesktopUser() {
    Thread.join();
}

std::string WindowText(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace plandra::test
