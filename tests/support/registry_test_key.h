// A registry key for Windows tests, made with the real API under HKEY_CURRENT_USER
// and removed again, so that the pass-throughs can read what Windows stored.
#pragma once

#include <cstdint>
#include <string>

namespace plandra::test {

class RegistryTestKey {
public:
    /// Creates "Software\PlandraTests\<name>".
    explicit RegistryTestKey(const std::string& name);
    RegistryTestKey(const RegistryTestKey&) = delete;
    RegistryTestKey& operator=(const RegistryTestKey&) = delete;
    /// Removes the key and, when nothing else is left in it, "Software\PlandraTests".
    ~RegistryTestKey();

    /// The key's path under HKEY_CURRENT_USER.
    const std::string& Path() const { return KeyPath; }
    /// Stores a REG_SZ value with its terminating zero, as programs usually do.
    void SetString(const std::string& valueName, const std::string& value) const;
    void SetDword(const std::string& valueName, std::uint32_t value) const;

private:
    std::string KeyPath;
};

} // namespace plandra::test
