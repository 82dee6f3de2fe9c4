// A registry key for Windows tests.
#include "registry_test_key.h"

#include "win32_api.h"

namespace plandra::test {
namespace {

constexpr const char* TestsKey = "Software\\PlandraTests";

void SetValue(const std::string& keyPath, const std::string& valueName, DWORD type,
              const void* data, DWORD size) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        ::RegSetValueExA(key, valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size);
        ::RegCloseKey(key);
    }
}

} // namespace

RegistryTestKey::RegistryTestKey(const std::string& name)
    : KeyPath(std::string(TestsKey) + "\\" + name) {
    HKEY key = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) == ERROR_SUCCESS) {
        ::RegCloseKey(key);
    }
}

RegistryTestKey::~RegistryTestKey() {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, KeyPath.c_str());
    // Refused while another test's key is still in it.
    ::RegDeleteKeyA(HKEY_CURRENT_USER, TestsKey);
}

void RegistryTestKey::SetString(const std::string& valueName, const std::string& value) const {
    SetValue(KeyPath, valueName, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void RegistryTestKey::SetDword(const std::string& valueName, std::uint32_t value) const {
    const DWORD number = value;
    SetValue(KeyPath, valueName, REG_DWORD, &number, sizeof number);
}

} // namespace plandra::test
