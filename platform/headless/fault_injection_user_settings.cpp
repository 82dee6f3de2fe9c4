// Per-user settings that fail on purpose.
#include "platform/headless/fault_injection_user_settings.h"

namespace platform {

std::string FaultInjectingUserSettings::GetSetting(std::string_view appName,
                                                   std::string_view section, std::string_view key,
                                                   std::string_view defaultValue) {
    if (Plan.Use(UserSettingsCall::GetSetting)) {
        return std::string(defaultValue);
    }
    return Inner.GetSetting(appName, section, key, defaultValue);
}

bool FaultInjectingUserSettings::SaveSetting(std::string_view appName, std::string_view section,
                                             std::string_view key, std::string_view setting) {
    if (Plan.Use(UserSettingsCall::SaveSetting)) {
        return false;
    }
    return Inner.SaveSetting(appName, section, key, setting);
}

} // namespace platform
