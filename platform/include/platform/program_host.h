// What a program asks of the system about its desktop: a pause, another program's
// window, and the settings-changed broadcast.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

/// Lets `milliseconds` pass (Sleep).
void PauseProgram(std::uint32_t milliseconds);

/// Whether a top-level window of the class exists (FindWindowA).
bool TopLevelWindowOfClassExists(std::string_view windowClass);

/// Tells every top-level window that system settings changed (WM_SETTINGCHANGE with
/// both parameters 0, posted).
void BroadcastSettingChange();

} // namespace platform
