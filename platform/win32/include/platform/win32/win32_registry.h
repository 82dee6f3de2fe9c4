// The registry on Windows: a pass-through to ADVAPI32.
#pragma once

#include "platform/registry.h"

namespace platform {

/// Keys are real HKEYs; the predefined roots are the Win32 ones.
class Win32Registry final : public RegistryService {
public:
    using RegistryService::RegQueryValueExA;
    long RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                       std::uint32_t access, HKEY& result) override;
    long RegCreateKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                         std::uint32_t access, HKEY& result, std::uint32_t* disposition) override;
    long RegSetValueExA(HKEY key, std::string_view valueName, std::uint32_t type,
                        std::span<const char> data) override;
    long RegQueryValueExA(HKEY key, std::string_view valueName, std::uint32_t* type, char* data,
                          std::uint32_t* dataSize) override;
    long RegDeleteValueA(HKEY key, std::string_view valueName) override;
    long RegDeleteKeyA(HKEY key, std::string_view subKey) override;
    long RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                       std::uint32_t& nameLength) override;
    long RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                       std::uint32_t& valueNameLength, std::uint32_t* type, char* data,
                       std::uint32_t* dataSize) override;
    long RegCloseKey(HKEY key) override;
};

} // namespace platform
