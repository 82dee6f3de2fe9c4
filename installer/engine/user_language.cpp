// The user's language name.
#include "user_language.h"

#include "platform/profile.h"
#include "platform/registry.h"

#include <array>

namespace vorn {

std::string UserLanguage(platform::ProfileService& profile, platform::RegistryService& registry,
                         bool windowsNt) {
    if (!windowsNt) {
        std::array<char, 64> buffer{};
        std::uint32_t length = profile.GetProfileStringA("Intl", "sLanguage", "", buffer);
        return std::string(buffer.data(), std::min<std::size_t>(length, buffer.size() - 1));
    }
    platform::HKEY key = nullptr;
    if (registry.RegOpenKeyExA(platform::HKEY_CURRENT_USER, "Control Panel\\International", 0,
                               platform::reg::KeyRead, key) != platform::reg::Success) {
        return {};
    }
    platform::UniqueRegistryKey owned(key, platform::RegistryKeyTraits{&registry});
    unsigned long type = 0;
    unsigned long size = 64;
    std::string value;
    if (registry.RegQueryValueExA(key, "sLanguage", type, value, size) != platform::reg::Success) {
        return {};
    }
    return value.substr(0, value.find('\0'));
}

} // namespace vorn
