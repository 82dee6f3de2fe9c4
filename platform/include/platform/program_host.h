// What a program asks of the system about itself and its desktop: its own file, the
// local time, a pause, another program's window, and the settings-changed broadcast.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

/// The running program's full path (GetModuleFileNameA); empty when it cannot be had.
std::string OwnProgramPath();

/// The local date and time as "MM/DD/YY H:MM" (GetLocalTime): month, day, year modulo
/// 100, hour without a leading zero, minute.
std::string LocalDateTimeText();

/// Lets `milliseconds` pass (Sleep).
void PauseProgram(std::uint32_t milliseconds);

/// Whether a top-level window of the class exists (FindWindowA).
bool TopLevelWindowOfClassExists(std::string_view windowClass);

/// Tells every top-level window that system settings changed (WM_SETTINGCHANGE with
/// both parameters 0, posted).
void BroadcastSettingChange();

} // namespace platform
