// Per-user settings that fail on purpose, for tests of what a lost setting does.
#pragma once

#include "platform/headless/fault_injection.h"
#include "platform/user_settings.h"

namespace platform {

enum class UserSettingsCall { GetSetting, SaveSetting };

/// Passes every call to `inner` unless the plan fails it: a failed read gives the
/// default, a failed write returns false and stores nothing. The plan's error numbers
/// are not used, since these calls report none.
class FaultInjectingUserSettings final : public UserSettingsService {
public:
    explicit FaultInjectingUserSettings(UserSettingsService& inner) : Inner(inner) {}

    std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                           std::string_view defaultValue) override;
    bool SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                     std::string_view setting) override;

    FaultPlan<UserSettingsCall> Plan;

private:
    UserSettingsService& Inner;
};

} // namespace platform
