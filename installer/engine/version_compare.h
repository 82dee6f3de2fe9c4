// The version facts the file installer decides by: a file's version resource and its
// 32-bit image mark, and whether one file is newer than another.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {
class FileService;
class VersionService;
} // namespace platform

namespace vorn {

struct VersionRecord {
    std::uint32_t VersionMs = 0;
    std::uint32_t VersionLs = 0;
    std::uint32_t Os = 0;
    std::uint32_t Type = 0;
    std::uint32_t Subtype = 0;
    /// Language (low half) and code page (high half) of the first translation; 0 if none.
    std::uint32_t Translation = 0;
    /// The file starts with "MZ" and the header its offset 60 names starts with "PE".
    bool Image32 = false;
};

/// The file starts with "MZ" and the header its offset 60 names starts with "PE": a
/// 32-bit Windows image. False for a file that cannot be read.
bool IsImage32(platform::FileService& files, std::string_view path);

/// The file's version record; nullopt when it has no version resource (or no file).
std::optional<VersionRecord> ReadVersionRecord(platform::VersionService& versions,
                                               platform::FileService& files, std::string_view path);

/// True when `added` may replace `existing`: the existing file has no version, or the
/// added version is strictly higher with the same operating system, type and subtype
/// (and, with `compareImageMarks`, the same 32-bit image mark).
bool IsNewerVersion(const VersionRecord& added, const std::optional<VersionRecord>& existing,
                    bool compareImageMarks);

} // namespace vorn
