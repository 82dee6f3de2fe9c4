// The registry on Windows: a pass-through to ADVAPI32.
#include "platform/win32/win32_registry.h"

// After our headers: it makes macros of names they use (HKEY_LOCAL_MACHINE).
#include "win32_api.h"

#include <string>

namespace platform {

namespace {

::HKEY Native(HKEY key) {
    return reinterpret_cast<::HKEY>(key);
}

BYTE* Bytes(char* data) {
    return reinterpret_cast<BYTE*>(data);
}

// A DWORD the call may write, standing in for the caller's number (or its absence) and
// copied back to it when the call is over.
class DwordArgument {
public:
    explicit DwordArgument(std::uint32_t* value)
        : Caller(value), Value(value != nullptr ? *value : 0) {}
    DwordArgument(const DwordArgument&) = delete;
    DwordArgument& operator=(const DwordArgument&) = delete;
    ~DwordArgument() {
        if (Caller != nullptr) {
            *Caller = Value;
        }
    }
    DWORD* Get() { return Caller != nullptr ? &Value : nullptr; }

private:
    std::uint32_t* Caller;
    DWORD Value;
};

} // namespace

long Win32Registry::RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                                  std::uint32_t access, HKEY& result) {
    const std::string subKeyZ(subKey);
    ::HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(Native(key), subKeyZ.c_str(), options, access, &opened);
    result = reinterpret_cast<HKEY>(opened);
    return status;
}

long Win32Registry::RegCreateKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                                    std::uint32_t access, HKEY& result,
                                    std::uint32_t* disposition) {
    const std::string subKeyZ(subKey);
    ::HKEY opened = nullptr;
    DwordArgument outcome(disposition);
    const LONG status = ::RegCreateKeyExA(Native(key), subKeyZ.c_str(), 0, nullptr, options, access,
                                          nullptr, &opened, outcome.Get());
    result = reinterpret_cast<HKEY>(opened);
    return status;
}

long Win32Registry::RegSetValueExA(HKEY key, std::string_view valueName, std::uint32_t type,
                                   std::span<const char> data) {
    const std::string nameZ(valueName);
    return ::RegSetValueExA(Native(key), nameZ.c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size()));
}

long Win32Registry::RegQueryValueExA(HKEY key, std::string_view valueName, std::uint32_t* type,
                                     char* data, std::uint32_t* dataSize) {
    const std::string nameZ(valueName);
    DwordArgument valueType(type);
    DwordArgument size(dataSize);
    return ::RegQueryValueExA(Native(key), nameZ.c_str(), nullptr, valueType.Get(), Bytes(data),
                              size.Get());
}

long Win32Registry::RegDeleteValueA(HKEY key, std::string_view valueName) {
    const std::string nameZ(valueName);
    return ::RegDeleteValueA(Native(key), nameZ.c_str());
}

long Win32Registry::RegDeleteKeyA(HKEY key, std::string_view subKey) {
    const std::string subKeyZ(subKey);
    return ::RegDeleteKeyA(Native(key), subKeyZ.c_str());
}

long Win32Registry::RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                                  std::uint32_t& nameLength) {
    DwordArgument length(&nameLength);
    return ::RegEnumKeyExA(Native(key), index, name, length.Get(), nullptr, nullptr, nullptr,
                           nullptr);
}

long Win32Registry::RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                                  std::uint32_t& valueNameLength, std::uint32_t* type, char* data,
                                  std::uint32_t* dataSize) {
    DwordArgument length(&valueNameLength);
    DwordArgument valueType(type);
    DwordArgument size(dataSize);
    return ::RegEnumValueA(Native(key), index, valueName, length.Get(), nullptr, valueType.Get(),
                           Bytes(data), size.Get());
}

long Win32Registry::RegCloseKey(HKEY key) {
    return ::RegCloseKey(Native(key));
}

} // namespace platform
