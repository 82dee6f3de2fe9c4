// Per-user application settings: a text value by application title, section and key,
// with the names of the GetSetting and SaveSetting calls the control makes.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

/// Names of applications, sections and keys are compared ignoring case. A name that is
/// empty or holds characters the store cannot keep is refused: nothing is read or written.
class UserSettingsService {
public:
    virtual ~UserSettingsService() = default;

    /// The stored value, or `defaultValue` when there is none or it cannot be read.
    virtual std::string GetSetting(std::string_view appName, std::string_view section,
                                   std::string_view key, std::string_view defaultValue) = 0;
    /// Stores `setting`, creating what is missing; false when it could not be written.
    virtual bool SaveSetting(std::string_view appName, std::string_view section,
                             std::string_view key, std::string_view setting) = 0;
};

/// The settings of the user running the program: the registry under HKEY_CURRENT_USER
/// on Windows, an INI file under the user's configuration folder on Linux.
std::unique_ptr<UserSettingsService> CurrentUserSettings();

} // namespace platform
