// Per-user settings kept in readable INI files under the user's configuration folder.
#include "platform/headless/ini_user_settings.h"

#include "platform/ini_text.h"

#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

namespace platform {
namespace {

constexpr std::string_view LineBreaking("\r\n\0", 3);

// Characters that would end a section header or split a "key=value" line.
bool ValidName(std::string_view name, std::string_view forbidden) {
    return !name.empty() && name.find_first_of(LineBreaking) == name.npos &&
           name.find_first_of(forbidden) == name.npos && name.front() != ' ' && name.back() != ' ';
}

// The file's text; nothing when it exists but cannot be read whole or is too large.
std::optional<std::string> ReadSettingsFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        return error ? std::nullopt : std::optional<std::string>(std::string());
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > IniUserSettings::MaxSettingsFileSize) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
        return std::nullopt;
    }
    return std::move(text).str();
}

// Written beside the old file and renamed over it, so a failed write leaves the old
// settings whole.
bool WriteSettingsFile(const std::filesystem::path& file, std::string_view text) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    if (error) {
        return false;
    }
    std::filesystem::path partial = file;
    partial += ".new";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) {
            std::filesystem::remove(partial, error);
            return false;
        }
    }
    std::filesystem::rename(partial, file, error);
    if (error) {
        std::filesystem::remove(partial, error);
        return false;
    }
    return true;
}

// Linux files end their lines with a bare line feed.
std::string WithLineFeeds(std::string text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            result.push_back(text[i]);
        }
    }
    return result;
}

} // namespace

std::filesystem::path UserConfigFolder(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && std::filesystem::path(xdgConfigHome).is_absolute()) {
        return xdgConfigHome;
    }
    if (home != nullptr && *home != '\0') {
        return std::filesystem::path(home) / ".config";
    }
    return {};
}

std::filesystem::path IniUserSettings::SettingsFile(std::string_view appName) const {
    if (Folder.empty() || !ValidName(appName, "/\\") || appName == "." || appName == "..") {
        return {};
    }
    // Lower case, so that names differing only in case share one file as they share
    // one registry key on Windows.
    std::string folderName(appName);
    for (char& c : folderName) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return Folder / std::filesystem::path(folderName) / "settings.ini";
}

std::string IniUserSettings::GetSetting(std::string_view appName, std::string_view section,
                                        std::string_view key, std::string_view defaultValue) {
    const std::filesystem::path file = SettingsFile(appName);
    if (file.empty() || !ValidName(section, "[]") || !ValidName(key, "=[;")) {
        return std::string(defaultValue);
    }
    const std::optional<std::string> text = ReadSettingsFile(file);
    if (!text) {
        return std::string(defaultValue);
    }
    return IniText::Parse(*text).Value(section, key).value_or(std::string(defaultValue));
}

bool IniUserSettings::SaveSetting(std::string_view appName, std::string_view section,
                                  std::string_view key, std::string_view setting) {
    const std::filesystem::path file = SettingsFile(appName);
    if (file.empty() || !ValidName(section, "[]") || !ValidName(key, "=[;") ||
        setting.find_first_of(LineBreaking) != setting.npos) {
        return false;
    }
    const std::optional<std::string> text = ReadSettingsFile(file);
    if (!text) {
        return false;
    }
    IniText document = IniText::Parse(*text);
    document.SetValue(section, key, setting);
    return WriteSettingsFile(file, WithLineFeeds(document.Text()));
}

} // namespace platform
