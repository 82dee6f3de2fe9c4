// Owners of the window handles the Win32 services take from the system.
#pragma once

#include "platform/unique_handle.h"
#include "win32_api.h"

namespace platform {

/// Destroys a window made with CreateWindowEx.
struct WindowTraits {
    using Handle = ::HWND;
    static constexpr Handle Null = nullptr;
    void Release(Handle window) { ::DestroyWindow(window); }
};
using UniqueWindow = UniqueHandle<WindowTraits>;

/// Gives a device context from GetDC back to its window (null: the screen).
struct WindowDcTraits {
    using Handle = ::HDC;
    static constexpr Handle Null = nullptr;
    ::HWND Window = nullptr;
    void Release(Handle dc) { ::ReleaseDC(Window, dc); }
};
using WindowDc = UniqueHandle<WindowDcTraits>;

/// The device context of `window`'s client area (null: the whole screen), released
/// when the owner goes.
inline WindowDc GetWindowDc(::HWND window) {
    return WindowDc(::GetDC(window), WindowDcTraits{window});
}

} // namespace platform
