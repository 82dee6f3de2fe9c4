// A program's questions about itself and its desktop, answered by Win32.
#include "platform/program_host.h"
#include "win32_api.h"

#include <array>
#include <cstdio>

namespace platform {

std::string OwnProgramPath() {
    std::array<char, MAX_PATH + 1> path{};
    const DWORD length = ::GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path.data(), length);
}

std::string LocalDateTimeText() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%02d/%02d/%02d %d:%02d", now.wMonth, now.wDay,
                  now.wYear % 100, now.wHour, now.wMinute);
    return text.data();
}

void PauseProgram(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

bool TopLevelWindowOfClassExists(std::string_view windowClass) {
    const std::string name(windowClass);
    return ::FindWindowA(name.c_str(), nullptr) != nullptr;
}

void BroadcastSettingChange() {
    ::PostMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, 0);
}

} // namespace platform
