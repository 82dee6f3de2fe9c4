// The user's settings on Windows: the registry under HKEY_CURRENT_USER.
#include "platform/headless/registry_user_settings.h"
#include "platform/win32/win32_registry.h"

namespace platform {
namespace {

// The store together with the registry it reads, so the caller owns one object.
class Win32UserSettings final : public UserSettingsService {
public:
    std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                           std::string_view defaultValue) override {
        return Settings.GetSetting(appName, section, key, defaultValue);
    }
    bool SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                     std::string_view setting) override {
        return Settings.SaveSetting(appName, section, key, setting);
    }

private:
    Win32Registry Registry;
    RegistryUserSettings Settings{Registry};
};

} // namespace

std::unique_ptr<UserSettingsService> CurrentUserSettings() {
    return std::make_unique<Win32UserSettings>();
}

} // namespace platform
