// The install engine's window calls on Windows.
#include "platform/win32/win32_window_messages.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <string>

namespace platform {

namespace {

// How long a broadcast waits for each window before passing it over.
constexpr UINT BroadcastTimeoutMilliseconds = 5000;

// The module this code is linked into: the engine library's instance, not the program's.
HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

} // namespace

bool Win32WindowMessages::RegisterClassA(std::string_view className) {
    const std::string name(className);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ThisModule();
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = name.c_str();
    return ::RegisterClassA(&windowClass) != 0;
}

bool Win32WindowMessages::UnregisterClassA(std::string_view className) {
    const std::string name(className);
    return ::UnregisterClassA(name.c_str(), ThisModule()) != FALSE;
}

void Win32WindowMessages::BroadcastMessageA(std::uint32_t message, const char* text) {
    // Sent, not posted: a pointer parameter cannot be posted to other programs, and a
    // hung window must not hold the run up.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(HWND_BROADCAST, message, 0, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG | SMTO_NORMAL, BroadcastTimeoutMilliseconds, &ignored);
}

void Win32WindowMessages::PumpWaitingMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Left for the loop that ends the run.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

bool Win32WindowMessages::DestroyWindow(std::uintptr_t window) {
    return ::DestroyWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

std::intptr_t Win32WindowMessages::PumpUntilQuit() {
    MSG message;
    BOOL got;
    while ((got = ::GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            return 0;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<std::intptr_t>(message.wParam);
}

bool Win32WindowMessages::SetWindowPos(std::uintptr_t window, std::intptr_t insertAfter) {
    return ::SetWindowPos(reinterpret_cast<HWND>(window), reinterpret_cast<HWND>(insertAfter), 0, 0,
                          0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE) != FALSE;
}

} // namespace platform
