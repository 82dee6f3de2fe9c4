// The Windows clipboard through USER32.
#include "platform/win32/win32_clipboard.h"

#include "win32_api.h"

namespace {

// A hidden window that only takes messages; HWND_MESSAGE is spelt outside the
// platform namespace, whose own HWND would take its cast.
::HWND MakeMessageOnlyWindow() {
    return ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                             nullptr);
}

} // namespace

namespace platform {

Win32Clipboard::Win32Clipboard(HWND owner) : Owner(owner) {
    if (Owner == nullptr) {
        OwnWindow = reinterpret_cast<HWND>(MakeMessageOnlyWindow());
        Owner = OwnWindow;
    }
}

Win32Clipboard::~Win32Clipboard() {
    if (OwnWindow != nullptr) {
        ::DestroyWindow(reinterpret_cast<::HWND>(OwnWindow));
    }
}

bool Win32Clipboard::OpenClipboard() {
    return ::OpenClipboard(reinterpret_cast<::HWND>(Owner)) != FALSE;
}

bool Win32Clipboard::EmptyClipboard() {
    return ::EmptyClipboard() != FALSE;
}

bool Win32Clipboard::SetClipboardData(unsigned format, HENHMETAFILE metafile) {
    return ::SetClipboardData(format, reinterpret_cast<HANDLE>(metafile)) != nullptr;
}

bool Win32Clipboard::CloseClipboard() {
    return ::CloseClipboard() != FALSE;
}

} // namespace platform
