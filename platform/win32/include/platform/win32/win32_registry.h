// The registry on Windows: a pass-through to ADVAPI32.
#pragma once

#include "platform/registry.h"

namespace platform {

/// Keys are real HKEYs; the predefined roots are the Win32 ones.
class Win32Registry final : public RegistryService {
public:
    long RegOpenKeyExA(HKEY key, std::string_view subKey, unsigned long options,
                       unsigned long access, HKEY& result) override;
    long RegQueryValueExA(HKEY key, std::string_view name, unsigned long& type, std::string& data,
                          unsigned long& dataSize) override;
    long RegCloseKey(HKEY key) override;
};

} // namespace platform
