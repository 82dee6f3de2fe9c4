// A registry held in memory, filled by tests and tools.
#include "platform/headless/headless_registry.h"

#include <algorithm>
#include <cctype>

namespace platform {

std::string HeadlessRegistry::Folded(std::string_view text) {
    std::string folded(text);
    std::ranges::transform(folded, folded.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return folded;
}

void HeadlessRegistry::SetString(std::string_view keyPath, std::string_view name,
                                 std::string_view value) {
    Keys[Folded(keyPath)][Folded(name)] = {reg::Sz, std::string(value)};
}

void HeadlessRegistry::SetDword(std::string_view keyPath, std::string_view name,
                                std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    Keys[Folded(keyPath)][Folded(name)] = {reg::Dword, bytes};
}

long HeadlessRegistry::RegOpenKeyExA(HKEY key, std::string_view subKey, unsigned long,
                                     unsigned long, HKEY& result) {
    result = nullptr;
    if (key != HKEY_LOCAL_MACHINE || !Keys.contains(Folded(subKey))) {
        return reg::FileNotFound;
    }
    Open.push_back(std::make_unique<std::string>(Folded(subKey)));
    result = reinterpret_cast<HKEY>(Open.back().get());
    return reg::Success;
}

long HeadlessRegistry::RegQueryValueExA(HKEY key, std::string_view name, unsigned long& type,
                                        std::string& data, unsigned long& dataSize) {
    const auto* path = reinterpret_cast<const std::string*>(key);
    auto found = Keys.find(path == nullptr ? std::string() : *path);
    if (found == Keys.end()) {
        return reg::FileNotFound;
    }
    auto value = found->second.find(Folded(name));
    if (value == found->second.end()) {
        return reg::FileNotFound;
    }
    type = value->second.Type;
    // A string value is handed over with its terminating zero, as Windows does.
    std::string bytes = value->second.Data;
    if (type == reg::Sz) {
        bytes.push_back('\0');
    }
    const bool fits = bytes.size() <= dataSize;
    dataSize = static_cast<unsigned long>(bytes.size());
    if (!fits) {
        data.clear();
        return reg::MoreData;
    }
    data = std::move(bytes);
    return reg::Success;
}

long HeadlessRegistry::RegCloseKey(HKEY key) {
    auto open = std::ranges::find_if(
        Open, [key](const auto& path) { return reinterpret_cast<HKEY>(path.get()) == key; });
    if (open == Open.end()) {
        return 6; // ERROR_INVALID_HANDLE
    }
    Open.erase(open);
    return reg::Success;
}

} // namespace platform
