// REGEDIT4 text: the readable form of registry keys and values that REGEDIT exports
// and imports, read from and written to files a person may edit.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct RegeditValue {
    /// Empty for the key's default value ("@").
    std::string Name;
    /// reg::Sz, reg::Dword, ...: any type number is kept.
    std::uint32_t Type = 0;
    /// The bytes as stored; a string's terminating zero is part of them.
    std::string Data;

    friend bool operator==(const RegeditValue&, const RegeditValue&) = default;
};

struct RegeditKey {
    /// The key's full path from its root, as "HKEY_LOCAL_MACHINE\SOFTWARE\Vendor".
    std::string Path;
    std::vector<RegeditValue> Values;

    friend bool operator==(const RegeditKey&, const RegeditKey&) = default;
};

/// Key names are at most this long, and paths at most this deep below their root.
inline constexpr std::size_t MaxKeyNameLength = 255;
inline constexpr std::size_t MaxKeyDepth = 512;

/// Whether a key or value name can stand in a REGEDIT4 file: one without a line break
/// or a zero character.
bool IsRegeditName(std::string_view name);

/// Reads a REGEDIT4 file: the line "REGEDIT4", then for each key a line "[path]"
/// followed by its values, one a line: "name" or @ (the default value), "=", then
/// "text" (REG_SZ; \\ and \" are its escapes), dword:0000000a, hex:01,02 (REG_BINARY)
/// or hex(N):... (type N in hexadecimal). A line ending in a backslash goes on in the
/// next one. Blank lines and lines starting with ";" are skipped. Paths start with one
/// of the five root names and hold no empty names. On malformed text returns false
/// with an error naming the line ("line 7: ...").
bool ParseRegedit(std::string_view text, std::vector<RegeditKey>& keys, std::string& error);

/// The keys as a REGEDIT4 file with CR LF line ends, in the order given: a string that
/// ends in its only zero and holds no line break as "text", a four-byte REG_DWORD as
/// dword:, any other value as hex bytes, broken into lines of about 80 characters.
std::string RegeditText(std::span<const RegeditKey> keys);

/// The root named at the start of a REGEDIT path ("HKEY_LOCAL_MACHINE"), ignoring
/// case; -1 when there is none. The numbers are those of RegistryRoot.
int RegeditRootIndex(std::string_view rootName);
/// The names of the five roots, numbered as RegistryRoot numbers them.
inline constexpr const char* RegeditRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
                                                   "HKEY_CURRENT_CONFIG"};

} // namespace platform
