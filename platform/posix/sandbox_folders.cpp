// The sandbox's calls on folders and names: searches, temporary and 8.3 names,
// directories, drives, and DOS time stamps.
#include "platform/ansi_text.h"
#include "platform/posix/sandbox_files.h"
#include "sandbox_file_rules.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace platform {

namespace fs = std::filesystem;
using namespace sandbox;

namespace {

// Moves a file time by `minutes`; false when it would leave FILETIME's range.
bool ShiftFileTime(const FileTime& from, int minutes, FileTime& to) {
    const std::uint64_t ticks = from.Ticks();
    const std::uint64_t shift =
        static_cast<std::uint64_t>(minutes < 0 ? -minutes : minutes) * 60 * TicksPerSecond;
    if ((minutes < 0 && ticks < shift) || (minutes > 0 && ticks > (1ull << 63) - shift)) {
        return false;
    }
    to = FileTime::FromTicks(minutes < 0 ? ticks - shift : ticks + shift);
    return true;
}

// CreateDirectoryA leaves room for an 8.3 name in MAX_PATH.
constexpr std::size_t MaxDirectoryPath = 248;

// Days since 1 January 1970 of a civil date, and back (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

// A name against a pattern of "*" and "?", ignoring case; "*.*" takes names without
// a dot too, as on Windows.
bool MatchesPattern(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || UpperAnsi(pattern[p]) == UpperAnsi(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '?')) {
        ++p;
    }
    if (p + 2 == pattern.size() && pattern.substr(p) == ".*") {
        return true;
    }
    return p == pattern.size() || (p + 1 == pattern.size() && pattern[p] == '.');
}

} // namespace

FindData SandboxFiles::Describe(const fs::path& native, const std::string& name) const {
    FindData data;
    struct stat status {};
    const bool dotEntry = name == "." || name == "..";
    if (::stat(native.c_str(), &status) == 0) {
        data.LastWriteTime = ToFileTime(status.st_mtim);
        data.CreationTime = data.LastWriteTime;
        data.LastAccessTime = ToFileTime(status.st_atim);
        if (!S_ISDIR(status.st_mode)) {
            const auto size = static_cast<std::uint64_t>(status.st_size);
            data.FileSizeHigh = static_cast<std::uint32_t>(size >> 32);
            data.FileSizeLow = static_cast<std::uint32_t>(size);
        }
        data.FileAttributes =
            dotEntry ? file::AttributeDirectory : StoredAttributes(native, S_ISDIR(status.st_mode));
    }
    data.FileName = name;
    if (!dotEntry && !IsShortName(name)) {
        data.AlternateFileName = ShortNameOf(native);
    }
    return data;
}

FindHandle SandboxFiles::FindFirstFileA(std::string_view fileName, FindData& findData) {
    const SandboxPath path = Machine.Resolve(fileName, true);
    if (path.Error != 0) {
        Fail(path.Error);
        return InvalidFindHandle;
    }
    if (!path.ParentExists || path.Names.empty()) {
        Fail(path.Names.empty() ? winerror::FileNotFound : winerror::PathNotFound);
        return InvalidFindHandle;
    }
    // A folder name with a separator after it names no entry to find.
    const std::string_view given = fileName.substr(0, fileName.find('\0'));
    if (!given.empty() && (given.back() == '\\' || given.back() == '/')) {
        Fail(winerror::FileNotFound);
        return InvalidFindHandle;
    }
    const std::string& pattern = path.Names.back();
    const fs::path folder = path.Native.parent_path();
    Search search;
    if (pattern.find_first_of("*?") == std::string::npos) {
        if (path.Exists) {
            std::string name;
            NativeNameToAnsi(path.Native.filename().string(), name);
            search.Entries.push_back(Describe(path.Native, name));
        }
    } else {
        if (path.Names.size() > 1) {
            for (const char* dot : {".", ".."}) {
                if (MatchesPattern(dot, pattern)) {
                    search.Entries.push_back(Describe(folder / dot, dot));
                }
            }
        }
        std::error_code error;
        std::vector<fs::path> entries;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            entries.push_back(it->path());
        }
        std::sort(entries.begin(), entries.end());
        std::string name;
        for (const fs::path& entry : entries) {
            const std::string native = entry.filename().string();
            if (IsEntryList(native) || !NativeNameToAnsi(native, name)) {
                continue;
            }
            // Windows matches the 8.3 name too: "*.HTM" finds "index.html".
            if (MatchesPattern(name, pattern) ||
                (!IsShortName(name) && MatchesPattern(ShortNameOf(entry), pattern))) {
                search.Entries.push_back(Describe(entry, name));
            }
        }
    }
    if (search.Entries.empty()) {
        Fail(winerror::FileNotFound);
        return InvalidFindHandle;
    }
    findData = search.Entries.front();
    search.Next = 1;
    const std::intptr_t handle = NextHandle;
    NextHandle += 4;
    Searches[handle] = std::move(search);
    return static_cast<FindHandle>(handle);
}

bool SandboxFiles::FindNextFileA(FindHandle search, FindData& findData) {
    auto it = Searches.find(static_cast<std::intptr_t>(search));
    if (it == Searches.end()) {
        return Fail(winerror::InvalidHandle);
    }
    if (it->second.Next >= it->second.Entries.size()) {
        return Fail(winerror::NoMoreFiles);
    }
    findData = it->second.Entries[it->second.Next++];
    return true;
}

bool SandboxFiles::FindClose(FindHandle search) {
    if (Searches.erase(static_cast<std::intptr_t>(search)) == 0) {
        return Fail(winerror::InvalidHandle);
    }
    return true;
}

std::uint32_t SandboxFiles::GetTempFileNameA(std::string_view pathName, std::string_view prefix,
                                             std::uint32_t unique, std::string& tempFileName) {
    std::string folder(pathName.substr(0, pathName.find('\0')));
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') {
        folder += '\\';
    }
    folder += prefix.substr(0, std::min<std::size_t>(3, prefix.find('\0')));
    const auto nameFor = [&](std::uint32_t number) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%X.tmp", number & 0xFFFFu);
        return folder + digits;
    };
    if (unique != 0) {
        tempFileName = nameFor(unique);
        return unique & 0xFFFFu;
    }
    // Like Windows, start from the clock and take the first number whose file is new.
    const auto start =
        static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (std::uint32_t attempt = 0; attempt < 0x10000u; ++attempt) {
        const std::uint32_t number = (start + attempt) & 0xFFFFu;
        if (number == 0) {
            continue;
        }
        const std::string name = nameFor(number);
        const FileHandle file = CreateFileA(name, file::GenericWrite, 0, file::CreateNew, 0);
        if (file != InvalidFileHandle) {
            CloseHandle(file);
            tempFileName = name;
            return number;
        }
        if (LastError != winerror::FileExists && LastError != winerror::AccessDenied) {
            LastError = LastError == winerror::PathNotFound ? ErrorDirectory : LastError;
            return 0;
        }
    }
    return 0;
}

std::uint32_t SandboxFiles::GetShortPathNameA(std::string_view longPath,
                                              std::span<char> shortPath) {
    const SandboxPath path = Machine.Resolve(longPath);
    if (path.Error != 0) {
        Fail(path.Error);
        return 0;
    }
    if (!path.Exists) {
        FailMissing(path);
        return 0;
    }
    const std::string given(longPath.substr(0, longPath.find('\0')));
    std::string result =
        given.size() >= 2 && given[1] == ':' ? given.substr(0, 2) : std::string{path.Drive, ':'};
    // The resolved path spells each level as its folder does; each level gives its 8.3
    // name, else that spelling, as FindFirstFileA gives them.
    std::vector<fs::path> levels;
    for (fs::path level = path.Native; levels.size() < path.Names.size();
         level = level.parent_path()) {
        levels.push_back(level);
    }
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        result += "\\" + ShortNameOf(*level);
    }
    if (path.Names.empty() || (!given.empty() && (given.back() == '\\' || given.back() == '/'))) {
        result += "\\";
    }
    if (result.size() >= shortPath.size()) {
        return static_cast<std::uint32_t>(result.size() + 1);
    }
    std::copy(result.begin(), result.end(), shortPath.begin());
    shortPath[result.size()] = '\0';
    return static_cast<std::uint32_t>(result.size());
}

bool SandboxFiles::CreateDirectoryA(std::string_view pathName) {
    const SandboxPath path = Machine.Resolve(pathName);
    if (path.Error != 0) {
        return Fail(path.Error);
    }
    if (path.Windows().size() >= MaxDirectoryPath) {
        return Fail(winerror::FilenameExcedRange);
    }
    if (path.Names.empty() || path.ReadOnly) {
        return Fail(winerror::AccessDenied);
    }
    if (path.Exists) {
        return Fail(winerror::AlreadyExists);
    }
    if (!path.ParentExists) {
        return Fail(winerror::PathNotFound);
    }
    std::error_code error;
    if (!fs::create_directory(path.Native, error)) {
        return Fail(ErrorFromErrno(error.value()));
    }
    ShortNameOf(path.Native);
    return true;
}

std::optional<SandboxPath> SandboxFiles::ExistingFolder(std::string_view pathName) {
    SandboxPath path = Machine.Resolve(pathName);
    if (path.Error != 0) {
        Fail(path.Error);
        return std::nullopt;
    }
    if (!path.Exists) {
        FailMissing(path);
        return std::nullopt;
    }
    if (!path.IsFolder) {
        Fail(ErrorDirectory);
        return std::nullopt;
    }
    return path;
}

bool SandboxFiles::RemoveDirectoryA(std::string_view pathName) {
    const std::optional<SandboxPath> found = ExistingFolder(pathName);
    if (!found) {
        return false;
    }
    const SandboxPath& path = *found;
    std::error_code error;
    if (path.Names.empty() || path.ReadOnly) {
        return Fail(winerror::AccessDenied);
    }
    // The program's current directory is held open as Windows holds it.
    if (EqualsIgnoringCase(path.Windows(), Machine.Resolve(Machine.CurrentDirectory()).Windows())) {
        return Fail(winerror::SharingViolation);
    }
    for (fs::directory_iterator it(path.Native, error), end; !error && it != end;
         it.increment(error)) {
        if (!IsEntryList(it->path().filename().string())) {
            return Fail(winerror::DirNotEmpty);
        }
    }
    fs::remove(path.Native / "sandbox:entries", error);
    if (!fs::remove(path.Native, error)) {
        return Fail(ErrorFromErrno(error.value()));
    }
    ForgetEntryInfo(path.Native);
    return true;
}

bool SandboxFiles::SetCurrentDirectoryA(std::string_view pathName) {
    const std::optional<SandboxPath> path = ExistingFolder(pathName);
    if (!path) {
        return false;
    }
    Machine.SetCurrentDirectory(path->Windows());
    return true;
}

std::uint32_t SandboxFiles::GetDriveTypeA(const char* rootPathName) {
    std::string root = rootPathName == nullptr ? Machine.CurrentDirectory().substr(0, 3)
                                               : std::string(rootPathName);
    if (root.size() == 2 && root[1] == ':') {
        root += '\\';
    }
    if (root.size() != 3 || root[1] != ':' || (root[2] != '\\' && root[2] != '/')) {
        return file::DriveNoRootDir;
    }
    const SandboxDrive* drive = Machine.FindDrive(root[0]);
    return drive == nullptr ? file::DriveNoRootDir : drive->Type;
}

bool SandboxFiles::GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t& sectorsPerCluster,
                                     std::uint32_t& bytesPerSector,
                                     std::uint32_t& numberOfFreeClusters,
                                     std::uint32_t& totalNumberOfClusters) {
    const std::string root = rootPathName == nullptr ? Machine.CurrentDirectory().substr(0, 3)
                                                     : std::string(rootPathName);
    const SandboxDrive* drive =
        root.size() >= 2 && root[1] == ':' ? Machine.FindDrive(root[0]) : nullptr;
    if (drive == nullptr || (root.size() > 2 && root.substr(2) != "\\" && root.substr(2) != "/")) {
        return Fail(drive == nullptr ? winerror::PathNotFound : winerror::InvalidName);
    }
    bytesPerSector = 512;
    if (Machine.Description().Family == WindowsFamily::Windows95) {
        // The Windows 95 call reports at most 2 GB, in 32 KB clusters.
        sectorsPerCluster = 64;
        const std::uint64_t cluster = 64 * 512;
        totalNumberOfClusters =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(drive->TotalBytes / cluster, 65535));
        numberOfFreeClusters =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(drive->FreeBytes / cluster, 65535));
    } else {
        sectorsPerCluster = 8;
        const std::uint64_t cluster = 8 * 512;
        totalNumberOfClusters = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(drive->TotalBytes / cluster, 0xFFFFFFFFu));
        numberOfFreeClusters = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(drive->FreeBytes / cluster, 0xFFFFFFFFu));
    }
    return true;
}

bool SandboxFiles::FileTimeToDosDateTime(const FileTime& fileTime, std::uint16_t& fatDate,
                                         std::uint16_t& fatTime) {
    const std::uint64_t seconds = fileTime.Ticks() / TicksPerSecond;
    const std::int64_t days =
        static_cast<std::int64_t>(seconds / 86400) + DaysFromCivil(1601, 1, 1);
    const std::uint64_t secondOfDay = seconds % 86400;
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, year, month, day);
    if (year < 1980 || year > 2107) {
        return Fail(winerror::InvalidParameter);
    }
    fatDate = static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day);
    fatTime = static_cast<std::uint16_t>(
        ((secondOfDay / 3600) << 11) | (((secondOfDay / 60) % 60) << 5) | ((secondOfDay % 60) / 2));
    return true;
}

bool SandboxFiles::DosDateTimeToFileTime(std::uint16_t fatDate, std::uint16_t fatTime,
                                         FileTime& fileTime) {
    const std::int64_t year = 1980 + (fatDate >> 9);
    const unsigned month = (fatDate >> 5) & 0xF;
    const unsigned day = fatDate & 0x1F;
    const unsigned hour = fatTime >> 11;
    const unsigned minute = (fatTime >> 5) & 0x3F;
    const unsigned second = (fatTime & 0x1F) * 2;
    std::int64_t checkYear = 0;
    unsigned checkMonth = 0;
    unsigned checkDay = 0;
    CivilFromDays(DaysFromCivil(year, month, day), checkYear, checkMonth, checkDay);
    if (month < 1 || month > 12 || day < 1 || checkMonth != month || checkDay != day || hour > 23 ||
        minute > 59 || second > 59) {
        return Fail(winerror::InvalidParameter);
    }
    const std::int64_t seconds =
        DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    fileTime =
        FileTime::FromTicks(static_cast<std::uint64_t>(seconds) * TicksPerSecond + UnixEpochTicks);
    return true;
}

bool SandboxFiles::FileTimeToLocalFileTime(const FileTime& fileTime, FileTime& localFileTime) {
    return ShiftFileTime(fileTime, Machine.Description().UtcOffsetMinutes, localFileTime) ||
           Fail(winerror::InvalidParameter);
}

bool SandboxFiles::LocalFileTimeToFileTime(const FileTime& localFileTime, FileTime& fileTime) {
    return ShiftFileTime(localFileTime, -Machine.Description().UtcOffsetMinutes, fileTime) ||
           Fail(winerror::InvalidParameter);
}

} // namespace platform
