// The progress window's, the wait dialog's and the message box's procedures as the
// engine library exports them (Windows).
#include "platform/calling_convention.h"
#include "platform/win32/win32_install_display.h"

#include <cstdint>

extern "C" std::intptr_t PLATFORM_WINAPI CopyDlg(std::uintptr_t window, unsigned message,
                                                 std::uintptr_t wParam, std::intptr_t lParam) {
    return platform::Win32InstallDisplay::ProgressProcedure(window, message, wParam, lParam);
}

extern "C" std::intptr_t PLATFORM_WINAPI SearchDlg(std::uintptr_t window, unsigned message,
                                                   std::uintptr_t wParam, std::intptr_t lParam) {
    return platform::Win32InstallDisplay::WaitProcedure(window, message, wParam, lParam);
}

extern "C" std::intptr_t PLATFORM_WINAPI MessageBoxDlg(std::uintptr_t window, unsigned message,
                                                       std::uintptr_t wParam,
                                                       std::intptr_t lParam) {
    return platform::Win32InstallDisplay::BoxProcedure(window, message, wParam, lParam);
}
