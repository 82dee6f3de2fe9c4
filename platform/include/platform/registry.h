// The registry calls the control makes, with the Win32 names, values and results.
#pragma once

#include "platform/unique_handle.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

struct RegistryKey;
using HKEY = RegistryKey*;

/// The predefined root keys, with their Win32 values. Windows defines them as 32-bit
/// LONGs, so a 64-bit build sees them sign-extended. Its header makes the same names
/// macros: a file that needs both includes this header first.
inline const HKEY HKEY_CURRENT_USER =
    reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000001u)));
inline const HKEY HKEY_LOCAL_MACHINE =
    reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000002u)));

namespace reg {
inline constexpr long Success = 0;                  ///< ERROR_SUCCESS
inline constexpr long FileNotFound = 2;             ///< ERROR_FILE_NOT_FOUND
inline constexpr long MoreData = 234;               ///< ERROR_MORE_DATA
inline constexpr unsigned long Sz = 1;              ///< REG_SZ
inline constexpr unsigned long Dword = 4;           ///< REG_DWORD
inline constexpr unsigned long KeyQueryValue = 0x1; ///< KEY_QUERY_VALUE
} // namespace reg

class RegistryService {
public:
    virtual ~RegistryService() = default;
    /// Opens `subKey` of `key`; returns reg::Success and the handle in `result`.
    virtual long RegOpenKeyExA(HKEY key, std::string_view subKey, unsigned long options,
                               unsigned long access, HKEY& result) = 0;
    /// Reads the value `name` into `data` (at most `dataSize` bytes, which it sets to the
    /// size read) and its type into `type`. A value longer than `dataSize` gives
    /// reg::MoreData, its full size in `dataSize` and no data.
    virtual long RegQueryValueExA(HKEY key, std::string_view name, unsigned long& type,
                                  std::string& data, unsigned long& dataSize) = 0;
    virtual long RegCloseKey(HKEY key) = 0;
};

/// Closes an opened key through the service that opened it.
struct RegistryKeyTraits {
    using Handle = HKEY;
    static constexpr Handle Null = nullptr;
    RegistryService* Registry = nullptr;
    void Release(Handle key) { Registry->RegCloseKey(key); }
};

/// Owns a key from RegOpenKeyExA (never a predefined root key).
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

} // namespace platform
