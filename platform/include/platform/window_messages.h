// The window calls of the install engine's run that show nothing: its window class,
// the broadcast after settings changed, the message pump it runs while it works, and
// the end of the setup program's main window.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

namespace wm {
inline constexpr std::uint32_t WinIniChange = 26; ///< WM_WININICHANGE
inline constexpr std::intptr_t Topmost = -1;      ///< HWND_TOPMOST
inline constexpr std::intptr_t NoTopmost = -2;    ///< HWND_NOTOPMOST
} // namespace wm

class WindowMessageService {
public:
    virtual ~WindowMessageService() = default;

    /// RegisterClassA of a class of this library: button-face background, no icon,
    /// cursor or menu. False when the class cannot be registered.
    virtual bool RegisterClassA(std::string_view className) = 0;
    virtual bool UnregisterClassA(std::string_view className) = 0;

    /// Sends `message` with wParam 0 and `text` as lParam (0 when null) to every top-level
    /// window; a window that does not answer within a few seconds is passed over.
    virtual void BroadcastMessageA(std::uint32_t message, const char* text) = 0;

    /// Handles the messages that wait for this thread, DDE transactions of other programs
    /// included, and returns without waiting. A quit message stays queued.
    virtual void PumpWaitingMessages() = 0;

    /// DestroyWindow: false when there is no such window.
    virtual bool DestroyWindow(std::uintptr_t window) = 0;
    /// Handles messages until the quit message arrives; returns its parameter.
    virtual std::intptr_t PumpUntilQuit() = 0;

    /// SetWindowPos that moves `window` only in the Z order, to wm::Topmost or
    /// wm::NoTopmost, keeping its place, size and activation. False when there is no
    /// such window, as on a machine without windows.
    virtual bool SetWindowPos(std::uintptr_t /*window*/, std::intptr_t /*insertAfter*/) {
        return false;
    }
};

} // namespace platform
