// The beep, window timers and the save-file dialog on Windows.
#include "platform/win32/win32_user_prompts.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <algorithm>
#include <array>
#include <commdlg.h>
#include <cstring>

namespace platform {

namespace {

HWND AsWindow(std::uintptr_t window) {
    return reinterpret_cast<HWND>(window);
}

} // namespace

void Win32UserPrompts::MessageBeep(std::uint32_t type) {
    ::MessageBeep(type);
}

bool Win32UserPrompts::SetTimer(std::uintptr_t window, std::uintptr_t id, unsigned milliseconds) {
    return ::SetTimer(AsWindow(window), id, milliseconds, nullptr) != 0;
}

void Win32UserPrompts::KillTimer(std::uintptr_t window, std::uintptr_t id) {
    ::KillTimer(AsWindow(window), id);
}

std::string Win32UserPrompts::GetSaveFileNameA(std::uintptr_t owner, std::string_view description,
                                               std::string_view pattern,
                                               std::string_view fileName) {
    // "Description\0pattern\0\0".
    std::string filter(description);
    filter += '\0';
    filter += pattern;
    filter += '\0';
    filter += '\0';
    std::array<char, MAX_PATH + 1> name{};
    std::memcpy(name.data(), fileName.data(), std::min(fileName.size(), name.size() - 1));
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = AsWindow(owner);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    return ::GetSaveFileNameA(&dialog) ? std::string(name.data()) : std::string();
}

} // namespace platform
