// A registry held in memory, filled by tests and tools.
#pragma once

#include "platform/registry.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

/// Keys are full paths under HKEY_LOCAL_MACHINE, compared without regard to case as
/// Windows does; values are REG_SZ text or REG_DWORD numbers.
class HeadlessRegistry final : public RegistryService {
public:
    void SetString(std::string_view keyPath, std::string_view name, std::string_view value);
    void SetDword(std::string_view keyPath, std::string_view name, std::uint32_t value);

    long RegOpenKeyExA(HKEY key, std::string_view subKey, unsigned long options,
                       unsigned long access, HKEY& result) override;
    long RegQueryValueExA(HKEY key, std::string_view name, unsigned long& type, std::string& data,
                          unsigned long& dataSize) override;
    long RegCloseKey(HKEY key) override;

    /// Handles opened and not yet closed.
    int OpenKeys() const { return static_cast<int>(Open.size()); }

private:
    struct Value {
        unsigned long Type;
        std::string Data;
    };
    using Key = std::map<std::string, Value>;
    static std::string Folded(std::string_view text);

    std::map<std::string, Key> Keys;
    std::vector<std::unique_ptr<std::string>> Open;
};

} // namespace platform
