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

} // namespace

long Win32Registry::RegOpenKeyExA(HKEY key, std::string_view subKey, unsigned long options,
                                  unsigned long access, HKEY& result) {
    const std::string subKeyZ(subKey);
    ::HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(Native(key), subKeyZ.c_str(), options, access, &opened);
    result = reinterpret_cast<HKEY>(opened);
    return status;
}

long Win32Registry::RegQueryValueExA(HKEY key, std::string_view name, unsigned long& type,
                                     std::string& data, unsigned long& dataSize) {
    const std::string nameZ(name);
    std::string buffer(dataSize, '\0');
    DWORD valueType = 0;
    DWORD size = dataSize;
    const LONG status = ::RegQueryValueExA(Native(key), nameZ.c_str(), nullptr, &valueType,
                                           reinterpret_cast<BYTE*>(buffer.data()), &size);
    type = valueType;
    dataSize = size;
    if (status == ERROR_SUCCESS) {
        buffer.resize(size);
        data = std::move(buffer);
    } else {
        data.clear();
    }
    return status;
}

long Win32Registry::RegCloseKey(HKEY key) {
    return ::RegCloseKey(Native(key));
}

} // namespace platform
