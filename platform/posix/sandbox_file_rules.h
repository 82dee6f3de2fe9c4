// What the sandbox's file calls share: time stamps, stored attributes, and Linux errors
// as Win32 errors.
#pragma once

#include "platform/files.h"
#include "platform/posix/sandbox_machine.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace platform::sandbox {

// FILETIME ticks from 1601 to the Unix epoch.
inline constexpr std::uint64_t UnixEpochTicks = 116444736000000000ull;
inline constexpr std::uint64_t TicksPerSecond = 10000000ull;
inline constexpr std::uint32_t ErrorDirectory = 267;

inline std::uint32_t ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return winerror::FileNotFound;
    case ENOTDIR:
        return winerror::PathNotFound;
    case ENOSPC:
    case EDQUOT:
        return winerror::DiskFull;
    case EEXIST:
        return winerror::FileExists;
    case ENOTEMPTY:
        return winerror::DirNotEmpty;
    case ENAMETOOLONG:
        return winerror::FilenameExcedRange;
    default:
        return winerror::AccessDenied;
    }
}

inline FileTime ToFileTime(const timespec& time) {
    const auto seconds = static_cast<std::int64_t>(time.tv_sec);
    const std::int64_t ticks = seconds * static_cast<std::int64_t>(TicksPerSecond) +
                               time.tv_nsec / 100 + static_cast<std::int64_t>(UnixEpochTicks);
    return FileTime::FromTicks(static_cast<std::uint64_t>(std::max<std::int64_t>(ticks, 0)));
}

/// What GetFileAttributesA reports: the stored attributes, archive for a file with none.
/// `folder` as for ReadEntryInfo.
inline std::uint32_t StoredAttributes(const std::filesystem::path& native, bool directory,
                                      std::optional<sandbox::FolderId> folder = std::nullopt) {
    const std::uint32_t stored = ReadEntryInfo(native, folder).Attributes;
    if (directory) {
        return (stored & ~file::AttributeNormal) | file::AttributeDirectory;
    }
    return stored == 0 ? file::AttributeArchive : stored;
}

/// The folder's own list of attributes and 8.3 names, which no search shows.
inline bool IsEntryList(const std::string& nativeName) {
    return nativeName.find(':') != std::string::npos;
}

} // namespace platform::sandbox
