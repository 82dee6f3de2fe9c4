// The registry as the script changes it.
#include "registry_actions.h"

#include "engine.h"
#include "engine_message_box.h"
#include "ini_actions.h"
#include "installer/log/registry_value_bytes.h"
#include "message_table.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <vector>

namespace vorn {

namespace {

using platform::HKEY;
using platform::RegistryService;
using platform::UniqueRegistryKey;

constexpr std::uint8_t EditRegistryOpcode = 10;
constexpr std::uint8_t EditIniOpcode = 5;
constexpr std::uint8_t RootMask = 0x3F;
// Bit 6: in a write the key's default value, in a deletion the named value only.
constexpr std::uint8_t ValueBit = 0x40;
constexpr std::uint8_t DeleteBit = 0x80;
constexpr std::size_t KeySize = 512;
constexpr std::size_t ValueNameSize = 256;
/// Registry keys nest at most 512 deep; a deeper walk is a loop or a broken registry.
constexpr int MaxKeyDepth = 512;

// A number's four bytes, lowest first.
std::uint32_t NumberOf(std::string_view bytes) {
    std::uint32_t number = 0;
    for (std::size_t i = std::min<std::size_t>(bytes.size(), 4); i-- > 0;) {
        number = number * 256 + static_cast<unsigned char>(bytes[i]);
    }
    return number;
}

UniqueRegistryKey OpenKey(RegistryService& registry, HKEY root, std::string_view key,
                          std::uint32_t access) {
    HKEY handle = nullptr;
    const long status = registry.RegOpenKeyExA(root, key, 0, access, handle);
    return UniqueRegistryKey(status == platform::reg::Success ? handle : nullptr, {&registry});
}

// Deletes `subKey` of `parent` after every key below it, deepest first.
bool DeleteKeyTree(RegistryService& registry, HKEY parent, const std::string& subKey, int depth) {
    if (depth > MaxKeyDepth) {
        return false;
    }
    {
        UniqueRegistryKey key = OpenKey(registry, parent, subKey, platform::reg::KeyAllAccess);
        if (!key) {
            return false;
        }
        std::vector<std::string> children;
        for (std::uint32_t index = 0;; ++index) {
            std::array<char, ValueNameSize> name{};
            std::uint32_t length = name.size();
            if (registry.RegEnumKeyExA(key.Get(), index, name.data(), length) !=
                platform::reg::Success) {
                break;
            }
            children.emplace_back(name.data(), length);
        }
        for (const std::string& child : children) {
            DeleteKeyTree(registry, key.Get(), child, depth + 1);
        }
    }
    return registry.RegDeleteKeyA(parent, subKey) == platform::reg::Success;
}

void DeleteFromRegistry(Engine& engine, std::uint8_t flags, const std::string& key,
                        const std::string& name) {
    RegistryService& registry = engine.Services.Machine->Registry();
    const HKEY root = platform::RegistryRoot(flags & RootMask);
    if (root == nullptr) {
        return;
    }
    if ((flags & ValueBit) != 0) {
        UniqueRegistryKey opened = OpenKey(registry, root, key, platform::reg::KeySetValue);
        if (opened) {
            registry.RegDeleteValueA(opened.Get(), name);
        }
        return;
    }
    // An empty key (a variable that expanded to nothing) would be the whole root.
    if (platform::SplitBackslashNames(key).empty()) {
        return;
    }
    DeleteKeyTree(registry, root, key, 0);
}

std::string Hex(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (char byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned char>(byte));
        text += pair;
    }
    return text;
}

void LogWrite(Engine& engine, std::uint8_t flags, std::string_view key, std::string_view text,
              std::string_view name, char oldType, const std::optional<std::string>& old) {
    std::string entry = "RegDB Key: " + LogLineText(key) + "\r\nRegDB Val: " + LogLineText(text);
    if (!name.empty()) {
        entry += "\r\nRegDB Name: " + LogLineText(name);
    }
    if (oldType != '0') {
        entry += std::string("\r\nRegDB Type: ") + oldType;
    }
    if (flags != 0) {
        entry += "\r\nRegDB Root: " + std::to_string(flags & RootMask);
    }
    entry += "\r\n";
    if (old) {
        if (oldType == '2') {
            // One line per string; an empty list still gets one line, so that the value
            // is put back empty instead of being removed.
            std::string_view rest = *old;
            do {
                const std::size_t end = rest.find('\0');
                entry += "RegDB Old: " + LogLineText(rest.substr(0, end)) + "\r\n";
                rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            } while (!rest.empty());
        } else {
            entry += "RegDB Old: " + LogLineText(*old) + "\r\n";
        }
    }
    engine.Services.Log.AddText(entry);
}

} // namespace

std::string LogLineText(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return line;
}

bool RegistryRead(Engine& engine, int root, std::string_view key, std::string& data,
                  std::string_view valueName, char& typeDigit, std::size_t size,
                  std::uint32_t* rawNumber) {
    const HKEY rootKey = platform::RegistryRoot(root);
    if (engine.Services.Machine == nullptr || rootKey == nullptr) {
        return false;
    }
    RegistryService& registry = engine.Services.Machine->Registry();
    UniqueRegistryKey opened = OpenKey(registry, rootKey, key, platform::reg::KeyQueryValue);
    if (!opened) {
        return false;
    }
    unsigned long type = 0;
    unsigned long length = static_cast<unsigned long>(size);
    std::string bytes;
    if (registry.RegQueryValueExA(opened.Get(), valueName, type, bytes, length) !=
        platform::reg::Success) {
        return false;
    }
    switch (type) {
    case platform::reg::Sz:
    case platform::reg::ExpandSz:
        data = bytes.substr(0, bytes.find('\0'));
        typeDigit = type == platform::reg::Sz ? '0' : '1';
        return true;
    case platform::reg::MultiSz: {
        // The strings up to the empty one that ends the list.
        std::string strings;
        std::string_view rest = bytes;
        while (!rest.empty() && rest.front() != '\0') {
            const std::size_t end = rest.find('\0');
            strings += rest.substr(0, end);
            strings += '\0';
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        }
        if (!strings.empty()) {
            strings.pop_back();
        }
        data = std::move(strings);
        typeDigit = '2';
        return true;
    }
    case platform::reg::Dword:
        if (bytes.size() >= 4) {
            std::uint32_t number = 0;
            for (int i = 3; i >= 0; --i) {
                number =
                    number * 256 + static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
            }
            data = std::to_string(number);
            typeDigit = '3';
            if (rawNumber != nullptr) {
                *rawNumber = number;
            }
            return true;
        }
        [[fallthrough]];
    default:
        data = Hex(bytes);
        typeDigit = '4';
        return true;
    }
}

std::string RegistryBytes(int typeIndex, std::string_view text) {
    std::vector<std::string> strings;
    if (typeIndex == reg_type::MultiString) {
        for (;;) {
            const std::size_t separator = text.find('\x7F');
            strings.emplace_back(text.substr(0, separator));
            if (separator == std::string_view::npos) {
                break;
            }
            text.remove_prefix(separator + 1);
        }
    } else {
        strings.emplace_back(text);
    }
    return RegistryValueBytes(typeIndex, strings);
}

bool RegistryWrite(Engine& engine, int root, std::string_view key, std::string_view valueName,
                   int typeIndex, std::span<const char> data, bool reportErrors) {
    const HKEY rootKey = platform::RegistryRoot(root);
    bool written = false;
    if (engine.Services.Machine != nullptr && rootKey != nullptr) {
        RegistryService& registry = engine.Services.Machine->Registry();
        HKEY handle = nullptr;
        const long status = registry.RegCreateKeyExA(rootKey, key, platform::reg::OptionNonVolatile,
                                                     platform::reg::KeyWrite, handle, nullptr);
        UniqueRegistryKey created(status == platform::reg::Success ? handle : nullptr, {&registry});
        written = created &&
                  registry.RegSetValueExA(created.Get(), valueName, RegistryValueType(typeIndex),
                                          data) == platform::reg::Success;
    }
    if (!written && reportErrors) {
        ReportError(engine, engine.Message(msg::RegistryWriteFailed, DefaultErrorText));
    }
    return written;
}

int EditRegistryAction(Engine& engine, ActionRecord& record) {
    if (engine.Services.Machine == nullptr || engine.Mode == RunMode::Test) {
        return 0;
    }
    const std::uint8_t flags = record.Flags();
    const int typeIndex = record.FixedByte(2);
    const int root = flags & RootMask;
    const std::string key = engine.Variables.Expand(record.Once(0), KeySize);
    std::string text = engine.Variables.Expand(record.Once(1), LongTextSize);
    std::string name = engine.Variables.Expand(record.Once(2), ValueNameSize);
    if ((flags & DeleteBit) != 0) {
        DeleteFromRegistry(engine, flags, key, name);
        return 0;
    }
    if ((flags & ValueBit) != 0) {
        name.clear();
    }
    std::string oldValue;
    char oldType = '0';
    std::optional<std::string> old;
    if (RegistryRead(engine, root, key, oldValue, name, oldType, LongTextSize)) {
        old = std::move(oldValue);
    } else {
        oldType = '0';
    }
    engine.SettingsChanged = true;
    const std::string bytes = RegistryBytes(typeIndex, text);
    if (!RegistryWrite(engine, root, key, name, typeIndex, bytes, true)) {
        return -2;
    }
    if (typeIndex == reg_type::Number) {
        text = std::to_string(NumberOf(bytes));
    }
    LogWrite(engine, flags, key, text, name, oldType, old);
    return 0;
}

void RegisterRegistryIniActions(Engine& engine) {
    engine.Actions[EditRegistryOpcode] = &EditRegistryAction;
    engine.Actions[EditIniOpcode] = &EditIniAction;
}

} // namespace vorn
