// Per-user settings kept in the registry under HKEY_CURRENT_USER.
#include "platform/headless/registry_user_settings.h"

#include <optional>

namespace platform {
namespace {

// A backslash would reach into another key; an empty name would stand for the
// application's or section's own key.
std::optional<std::string> SectionKey(std::string_view appName, std::string_view section) {
    for (std::string_view name : {appName, section}) {
        if (name.empty() || name.find_first_of(std::string_view("\\\0", 2)) != name.npos) {
            return std::nullopt;
        }
    }
    return std::string(UserSettingsRegistryKey) + "\\" + std::string(appName) + "\\" +
           std::string(section);
}

bool ValidValueName(std::string_view key) {
    return !key.empty() && key.find('\0') == key.npos;
}

} // namespace

std::string RegistryUserSettings::GetSetting(std::string_view appName, std::string_view section,
                                             std::string_view key, std::string_view defaultValue) {
    const std::optional<std::string> keyName = SectionKey(appName, section);
    HKEY opened = nullptr;
    if (!keyName || !ValidValueName(key) ||
        Registry.RegOpenKeyExA(HKEY_CURRENT_USER, *keyName, 0, reg::KeyQueryValue, opened) !=
            reg::Success) {
        return std::string(defaultValue);
    }
    UniqueRegistryKey owner(opened, RegistryKeyTraits{&Registry});
    unsigned long type = 0;
    unsigned long size = MaxUserSettingSize;
    std::string data;
    if (Registry.RegQueryValueExA(owner.Get(), key, type, data, size) != reg::Success ||
        (type != reg::Sz && type != reg::ExpandSz)) {
        return std::string(defaultValue);
    }
    return data.substr(0, data.find('\0'));
}

bool RegistryUserSettings::SaveSetting(std::string_view appName, std::string_view section,
                                       std::string_view key, std::string_view setting) {
    const std::optional<std::string> keyName = SectionKey(appName, section);
    if (!keyName || !ValidValueName(key) || setting.find('\0') != setting.npos ||
        setting.size() >= MaxUserSettingSize) {
        return false;
    }
    HKEY created = nullptr;
    if (Registry.RegCreateKeyExA(HKEY_CURRENT_USER, *keyName, reg::OptionNonVolatile,
                                 reg::KeySetValue, created, nullptr) != reg::Success) {
        return false;
    }
    UniqueRegistryKey owner(created, RegistryKeyTraits{&Registry});
    std::string data(setting);
    data.push_back('\0');
    return Registry.RegSetValueExA(owner.Get(), key, reg::Sz, data) == reg::Success;
}

} // namespace platform
