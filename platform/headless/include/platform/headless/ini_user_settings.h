// Per-user settings kept in readable INI files, one per application, under a folder.
#pragma once

#include "platform/user_settings.h"

#include <cstdint>
#include <filesystem>

namespace platform {

/// The user's configuration folder: XDG_CONFIG_HOME when it holds an absolute path, else
/// ".config" in HOME; empty when neither is known. Either argument may be null.
std::filesystem::path UserConfigFolder(const char* xdgConfigHome, const char* home);

/// Each application's settings are "<folder>/<appname>/settings.ini" (the name in lower
/// case), a section per section and "key=value" lines. A file larger than
/// MaxSettingsFileSize, or one that cannot be read, reads as empty and is not overwritten.
/// A value is kept on one line, blanks around it trimmed: a setting with a line end or a
/// zero is refused.
class IniUserSettings final : public UserSettingsService {
public:
    static constexpr std::uintmax_t MaxSettingsFileSize = 1 << 20;

    /// An empty folder keeps nothing: every read gives the default, every write fails.
    explicit IniUserSettings(std::filesystem::path folder) : Folder(std::move(folder)) {}

    std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                           std::string_view defaultValue) override;
    bool SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                     std::string_view setting) override;

    /// Where `appName`'s settings are kept; empty for a name that is no file name.
    std::filesystem::path SettingsFile(std::string_view appName) const;

private:
    std::filesystem::path Folder;
};

} // namespace platform
