// The DOS date and time stamps of installed files and the date rules that compare them.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vorn {

struct DosStamp {
    std::uint16_t Date = 0;
    std::uint16_t Time = 0;
};

/// Date rules of an install-file record (flags A bits 3-4).
namespace date_rule {
inline constexpr int Always = 0;
inline constexpr int OlderOrSame = 1;
inline constexpr int Older = 2;
inline constexpr int Never = 3;
} // namespace date_rule

/// The file's last-write time as a local DOS stamp; nullopt when it cannot be read.
std::optional<DosStamp> ReadDosStamp(platform::FileService& files, std::string_view path);

/// Sets the file's last-write time to the local DOS stamp.
bool WriteDosStamp(platform::FileService& files, std::string_view path, DosStamp stamp);
/// The same on a file the caller holds open for writing.
bool WriteDosStamp(platform::FileService& files, platform::FileHandle file, DosStamp stamp);

/// Whether a file stamped `added` replaces one stamped `existing` (nullopt: there is none)
/// under date rule 1 or 2: only a newer file does, or with rule 1 one of the same stamp.
bool DateAllowsReplace(int rule, DosStamp added, const std::optional<DosStamp>& existing);

} // namespace vorn
