// The user's language name, which picks the default language of a multi-language script.
#pragma once

#include <string>

namespace platform {
class ProfileService;
class RegistryService;
} // namespace platform

namespace vorn {

/// On Windows NT the value "sLanguage" of the current user's key "Control Panel\International";
/// elsewhere "sLanguage" of section "Intl" in WIN.INI. Empty when there is none.
std::string UserLanguage(platform::ProfileService& profile, platform::RegistryService& registry,
                         bool windowsNt);

} // namespace vorn
