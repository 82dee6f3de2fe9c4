// Edits of INI files as the script makes them.
#include "ini_actions.h"

#include "engine.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"
#include "registry_actions.h"

#include <array>
#include <optional>
#include <vector>

namespace vorn {

namespace {

constexpr std::size_t OldValueSize = 512;
/// Room for a section's key names when looking for a key whose value is empty.
constexpr std::size_t KeyListSize = 32768;

struct IniLine {
    std::string_view Key;
    std::string_view Value;
};

// The contents' lines "key=value", separated by carriage returns; a line feed right
// after one belongs to the line end. A line without "=" names a key with an empty value.
std::vector<IniLine> ContentLines(std::string_view contents) {
    std::vector<IniLine> lines;
    while (!contents.empty()) {
        if (contents.front() == '\n') {
            contents.remove_prefix(1);
        }
        const std::size_t end = contents.find('\r');
        std::string_view line = contents.substr(0, end);
        contents.remove_prefix(end == std::string_view::npos ? contents.size() : end + 1);
        const std::size_t equals = line.find('=');
        IniLine entry{line.substr(0, equals), {}};
        if (equals != std::string_view::npos) {
            entry.Value = line.substr(equals + 1);
        }
        if (!entry.Key.empty()) {
            lines.push_back(entry);
        }
    }
    return lines;
}

bool FileExists(platform::FileService& files, const std::string& path) {
    return files.GetFileAttributesA(path) != platform::file::InvalidAttributes;
}

// The key's value before the change; none when the key does not exist.
std::optional<std::string> OldValue(platform::ProfileService& profile, const std::string& file,
                                    const std::string& section, const std::string& key) {
    std::array<char, OldValueSize> value{};
    const std::uint32_t length =
        profile.GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, file);
    if (length > 0) {
        return std::string(value.data(), length);
    }
    // An empty text is either an empty value or no key: the section's key names tell.
    std::vector<char> names(KeyListSize);
    const std::uint32_t listLength =
        profile.GetPrivateProfileStringA(section.c_str(), nullptr, "", names, file);
    std::string_view list(names.data(), listLength);
    while (!list.empty()) {
        const std::size_t end = list.find('\0');
        if (platform::EqualsIgnoringCase(list.substr(0, end), key)) {
            return std::string();
        }
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    }
    return std::nullopt;
}

} // namespace

std::string RestorableIniValue(std::string_view value) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    if (!value.empty() && (blank(value.front()) || blank(value.back()) || quoted)) {
        return "\"" + std::string(value) + "\"";
    }
    return std::string(value);
}

int EditIniAction(Engine& engine, ActionRecord& record) {
    if (engine.Services.Machine == nullptr || engine.Mode == RunMode::Test) {
        return 0;
    }
    platform::MachineServices& machine = *engine.Services.Machine;
    platform::ProfileService& profile = machine.Profile();
    engine.Variables.SetVariable("INSTALL_RESULT", "");
    engine.SettingsChanged = true;
    std::string_view name = record.Once(0);
    const std::string file = engine.Variables.Expand(
        name.starts_with('%') ? std::string(name) : "%WIN%\\" + std::string(name), PathSize);
    const std::string section(record.Once(1));
    const std::string contents = engine.Variables.Expand(record.Once(2), LongTextSize);
    if (contents.empty()) {
        if (!profile.WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file)) {
            engine.Variables.SetVariable("INSTALL_RESULT", "E");
        }
        return 0;
    }
    bool existed = FileExists(machine.Files(), file);
    for (const IniLine& line : ContentLines(contents)) {
        const std::string key(line.Key);
        const std::string value(line.Value);
        const std::optional<std::string> old = OldValue(profile, file, section, key);
        if (!profile.WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                                value.empty() ? nullptr : value.c_str(), file)) {
            engine.Variables.SetVariable("INSTALL_RESULT", "E");
            continue;
        }
        if (value.empty() && !old) {
            continue; // a key that was not there was not removed either
        }
        std::string entry;
        if (!existed && FileExists(machine.Files(), file)) {
            entry = "INI New: Created INI\r\n";
            existed = true;
        }
        entry += "INI File: " + LogLineText(file) + "\r\nINI Sect: " + LogLineText(section) +
                 "\r\nINI Item: " + LogLineText(key) + "\r\nINI Val: " + LogLineText(value);
        if (old) {
            entry += "\r\nINI Old: " + LogLineText(RestorableIniValue(*old));
        }
        engine.Services.Log.AddText(entry + "\r\n");
    }
    return 0;
}

} // namespace vorn
