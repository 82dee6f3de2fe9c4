// Per-user settings kept in the registry, where Windows programs keep them.
#pragma once

#include "platform/registry.h"
#include "platform/user_settings.h"

namespace platform {

/// The key under HKEY_CURRENT_USER that holds every application's settings, one subkey
/// per application title and one below it per section: the key Visual Basic's
/// GetSetting and SaveSetting use, where the hosts of such controls keep theirs.
inline constexpr std::string_view UserSettingsRegistryKey = "Software\\VB and VBA Program Settings";

/// Values are strings (REG_SZ) of at most MaxUserSettingSize bytes; a longer or
/// non-string value reads as missing.
class RegistryUserSettings final : public UserSettingsService {
public:
    static constexpr unsigned long MaxUserSettingSize = 32768;

    explicit RegistryUserSettings(RegistryService& registry) : Registry(registry) {}

    std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                           std::string_view defaultValue) override;
    bool SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                     std::string_view setting) override;

private:
    RegistryService& Registry;
};

} // namespace platform
