// A program's questions about its desktop, answered by Win32.
#include "platform/program_host.h"
#include "win32_api.h"

#include <string>

namespace platform {

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
