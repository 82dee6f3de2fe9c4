// The registry calls the control, the install engine and the uninstaller make, with the
// Win32 names, arguments, results and error codes of their ANSI forms.
#pragma once

#include "platform/unique_handle.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct RegistryKey;
using HKEY = RegistryKey*;

/// A predefined root key from its Win32 value. Windows defines them as 32-bit LONGs, so
/// a 64-bit build sees them sign-extended.
inline HKEY PredefinedKey(std::uint32_t value) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)));
}

/// The predefined root keys. Windows' header makes the same names macros: a file that
/// needs both includes this header first.
inline const HKEY HKEY_CLASSES_ROOT = PredefinedKey(0x80000000u);
inline const HKEY HKEY_CURRENT_USER = PredefinedKey(0x80000001u);
inline const HKEY HKEY_LOCAL_MACHINE = PredefinedKey(0x80000002u);
inline const HKEY HKEY_USERS = PredefinedKey(0x80000003u);
inline const HKEY HKEY_CURRENT_CONFIG = PredefinedKey(0x80000005u);

/// The roots as the install engine and the uninstaller number them: 0 HKEY_CLASSES_ROOT,
/// 1 HKEY_CURRENT_USER, 2 HKEY_LOCAL_MACHINE, 3 HKEY_USERS, 4 HKEY_CURRENT_CONFIG; null
/// for any other number.
inline HKEY RegistryRoot(int index) {
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                          HKEY_CURRENT_CONFIG};
    return index >= 0 && index < 5 ? roots[index] : nullptr;
}

namespace reg {
inline constexpr long Success = 0;             ///< ERROR_SUCCESS
inline constexpr long FileNotFound = 2;        ///< ERROR_FILE_NOT_FOUND
inline constexpr long AccessDenied = 5;        ///< ERROR_ACCESS_DENIED
inline constexpr long InvalidHandle = 6;       ///< ERROR_INVALID_HANDLE
inline constexpr long InvalidParameter = 87;   ///< ERROR_INVALID_PARAMETER
inline constexpr long BadPathname = 161;       ///< ERROR_BAD_PATHNAME
inline constexpr long MoreData = 234;          ///< ERROR_MORE_DATA
inline constexpr long NoMoreItems = 259;       ///< ERROR_NO_MORE_ITEMS
inline constexpr long RegistryIoFailed = 1016; ///< ERROR_REGISTRY_IO_FAILED
inline constexpr long KeyDeleted = 1018;       ///< ERROR_KEY_DELETED

inline constexpr std::uint32_t None = 0;     ///< REG_NONE
inline constexpr std::uint32_t Sz = 1;       ///< REG_SZ
inline constexpr std::uint32_t ExpandSz = 2; ///< REG_EXPAND_SZ
inline constexpr std::uint32_t Binary = 3;   ///< REG_BINARY
inline constexpr std::uint32_t Dword = 4;    ///< REG_DWORD
inline constexpr std::uint32_t MultiSz = 7;  ///< REG_MULTI_SZ

inline constexpr std::uint32_t KeyQueryValue = 0x1;       ///< KEY_QUERY_VALUE
inline constexpr std::uint32_t KeySetValue = 0x2;         ///< KEY_SET_VALUE
inline constexpr std::uint32_t KeyCreateSubKey = 0x4;     ///< KEY_CREATE_SUB_KEY
inline constexpr std::uint32_t KeyEnumerateSubKeys = 0x8; ///< KEY_ENUMERATE_SUB_KEYS
inline constexpr std::uint32_t KeyRead = 0x20019;         ///< KEY_READ
inline constexpr std::uint32_t KeyWrite = 0x20006;        ///< KEY_WRITE
inline constexpr std::uint32_t KeyAllAccess = 0xF003F;    ///< KEY_ALL_ACCESS

inline constexpr std::uint32_t OptionNonVolatile = 0; ///< REG_OPTION_NON_VOLATILE
inline constexpr std::uint32_t CreatedNewKey = 1;     ///< REG_CREATED_NEW_KEY
inline constexpr std::uint32_t OpenedExistingKey = 2; ///< REG_OPENED_EXISTING_KEY
} // namespace reg

/// Every call returns ERROR_SUCCESS or the Win32 error code. Names of keys and values
/// are compared ignoring case and keep the spelling they were first written with; an
/// empty value name is the key's default value. The reserved arguments, key classes,
/// security attributes and last write times, which nothing here uses, are left out.
class RegistryService {
public:
    virtual ~RegistryService() = default;

    /// Opens `subKey` of `key` (an empty `subKey` opens `key` itself); the handle in
    /// `result`, null on failure.
    virtual long RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                               std::uint32_t access, HKEY& result) = 0;
    /// Opens `subKey` of `key`, creating it and the keys above it that are missing;
    /// `disposition`, when given, receives reg::CreatedNewKey or reg::OpenedExistingKey.
    virtual long RegCreateKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                                 std::uint32_t access, HKEY& result,
                                 std::uint32_t* disposition) = 0;
    /// Stores `data` as the value's bytes (a string with its terminating zero, as the
    /// caller gives it), replacing the value of that name.
    virtual long RegSetValueExA(HKEY key, std::string_view valueName, std::uint32_t type,
                                std::span<const char> data) = 0;
    /// The value's type and data; each pointer may be null when that part is not wanted,
    /// but `data` needs `dataSize`, the buffer's size on entry and the data's on return.
    /// A buffer too small gives reg::MoreData with the full size; a null `data` asks for
    /// the size only.
    virtual long RegQueryValueExA(HKEY key, std::string_view valueName, std::uint32_t* type,
                                  char* data, std::uint32_t* dataSize) = 0;
    virtual long RegDeleteValueA(HKEY key, std::string_view valueName) = 0;
    /// Deletes `subKey` of `key`. Windows NT refuses (reg::AccessDenied) a key that has
    /// subkeys; Windows 95 deletes them with it.
    virtual long RegDeleteKeyA(HKEY key, std::string_view subKey) = 0;
    /// The name of subkey number `index` (from 0) into `name`, a buffer of `nameLength`
    /// characters; `nameLength` then holds the name's length without its terminating
    /// zero. A name that does not fit gives reg::MoreData, the end reg::NoMoreItems.
    virtual long RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                               std::uint32_t& nameLength) = 0;
    /// Value number `index` (from 0): its name as RegEnumKeyExA gives a key's, its type
    /// and data as RegQueryValueExA does.
    virtual long RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                               std::uint32_t& valueNameLength, std::uint32_t* type, char* data,
                               std::uint32_t* dataSize) = 0;
    virtual long RegCloseKey(HKEY key) = 0;

    /// RegQueryValueExA into a string: at most `dataSize` bytes, the size read (or, with
    /// reg::MoreData, needed) in `dataSize`; `data` is empty unless the call succeeds.
    long RegQueryValueExA(HKEY key, std::string_view valueName, unsigned long& type,
                          std::string& data, unsigned long& dataSize) {
        std::string buffer(dataSize, '\0');
        std::uint32_t valueType = 0;
        auto size = static_cast<std::uint32_t>(dataSize);
        const long status = RegQueryValueExA(key, valueName, &valueType, buffer.data(), &size);
        data.clear();
        if (status == reg::Success || status == reg::MoreData) {
            type = valueType;
            dataSize = size;
        }
        if (status == reg::Success) {
            buffer.resize(size);
            data = std::move(buffer);
        }
        return status;
    }
};

/// Closes an opened key through the service that opened it.
struct RegistryKeyTraits {
    using Handle = HKEY;
    static constexpr Handle Null = nullptr;
    RegistryService* Registry = nullptr;
    void Release(Handle key) { Registry->RegCloseKey(key); }
};

/// Owns a key from RegOpenKeyExA or RegCreateKeyExA (never a predefined root key).
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

} // namespace platform
