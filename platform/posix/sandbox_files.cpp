// The file calls on the sandbox machine.
#include "platform/posix/sandbox_files.h"

#include "platform/ansi_text.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

// FILETIME ticks from 1601 to the Unix epoch.
constexpr std::uint64_t UnixEpochTicks = 116444736000000000ull;
constexpr std::uint64_t TicksPerSecond = 10000000ull;
constexpr std::uint32_t SettableAttributes = file::AttributeReadOnly | file::AttributeHidden |
                                             file::AttributeSystem | file::AttributeArchive |
                                             file::AttributeTemporary | 0x2000u;
// CreateDirectoryA leaves room for an 8.3 name in MAX_PATH.
constexpr std::size_t MaxDirectoryPath = 248;
constexpr std::uint32_t ErrorDirectory = 267;
constexpr std::uint32_t ErrorNegativeSeek = 131;
constexpr std::uint32_t ErrorCallNotImplemented = 120;

std::uint32_t ErrorFromErrno(int error) {
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

FileTime ToFileTime(const timespec& time) {
    const auto seconds = static_cast<std::int64_t>(time.tv_sec);
    const std::int64_t ticks = seconds * static_cast<std::int64_t>(TicksPerSecond) +
                               time.tv_nsec / 100 + static_cast<std::int64_t>(UnixEpochTicks);
    return FileTime::FromTicks(static_cast<std::uint64_t>(std::max<std::int64_t>(ticks, 0)));
}

timespec ToTimespec(const FileTime& time) {
    const auto ticks =
        static_cast<std::int64_t>(time.Ticks()) - static_cast<std::int64_t>(UnixEpochTicks);
    const auto perSecond = static_cast<std::int64_t>(TicksPerSecond);
    std::int64_t seconds = ticks / perSecond;
    std::int64_t rest = ticks % perSecond;
    if (rest < 0) {
        rest += perSecond;
        --seconds;
    }
    return timespec{static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

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

std::uint32_t StoredAttributes(const fs::path& native, bool directory) {
    const std::uint32_t stored = ReadEntryInfo(native).Attributes;
    if (directory) {
        return (stored & ~file::AttributeNormal) | file::AttributeDirectory;
    }
    return stored == 0 ? file::AttributeArchive : stored;
}

bool IsEntryList(const std::string& nativeName) {
    return nativeName.find(':') != std::string::npos;
}

} // namespace

SandboxFiles::~SandboxFiles() {
    for (auto& [handle, open] : Files) {
        ::close(open.Descriptor);
    }
}

SandboxFiles::OpenFile* SandboxFiles::Find(FileHandle file) {
    auto it = Files.find(static_cast<std::intptr_t>(file));
    if (it == Files.end()) {
        LastError = winerror::InvalidHandle;
        return nullptr;
    }
    return &it->second;
}

bool SandboxFiles::InUse(const fs::path& native, std::uint32_t access, std::uint32_t share) const {
    for (const auto& [handle, open] : Files) {
        if (open.Native != native) {
            continue;
        }
        const bool reads = (access & file::GenericRead) != 0;
        const bool writes = (access & file::GenericWrite) != 0;
        const bool removes = access == 0 && share == 0;
        if ((reads && !(open.Share & file::ShareRead)) ||
            (writes && !(open.Share & file::ShareWrite)) ||
            (removes && !(open.Share & file::ShareDelete)) ||
            (!removes && (open.Access & file::GenericRead) && !(share & file::ShareRead)) ||
            (!removes && (open.Access & file::GenericWrite) && !(share & file::ShareWrite))) {
            return true;
        }
    }
    return false;
}

FileHandle SandboxFiles::CreateFileA(std::string_view fileName, std::uint32_t desiredAccess,
                                     std::uint32_t shareMode, std::uint32_t creationDisposition,
                                     std::uint32_t flagsAndAttributes) {
    const SandboxPath path = Machine.Resolve(fileName);
    if (path.Error != 0) {
        Fail(path.Error);
        return InvalidFileHandle;
    }
    if (creationDisposition < file::CreateNew || creationDisposition > file::TruncateExisting) {
        Fail(winerror::InvalidParameter);
        return InvalidFileHandle;
    }
    if (!path.ParentExists) {
        Fail(winerror::PathNotFound);
        return InvalidFileHandle;
    }
    std::error_code error;
    if (path.Names.empty() || (path.Exists && fs::is_directory(path.Native, error))) {
        Fail(winerror::AccessDenied);
        return InvalidFileHandle;
    }
    const bool exists = path.Exists;
    if (exists && creationDisposition == file::CreateNew) {
        Fail(winerror::FileExists);
        return InvalidFileHandle;
    }
    if (!exists && (creationDisposition == file::OpenExisting ||
                    creationDisposition == file::TruncateExisting)) {
        Fail(winerror::FileNotFound);
        return InvalidFileHandle;
    }
    const bool truncates =
        creationDisposition == file::CreateAlways || creationDisposition == file::TruncateExisting;
    if (exists) {
        const std::uint32_t attributes = StoredAttributes(path.Native, false);
        if ((attributes & file::AttributeReadOnly) &&
            ((desiredAccess & file::GenericWrite) || truncates)) {
            Fail(winerror::AccessDenied);
            return InvalidFileHandle;
        }
        if (InUse(path.Native, desiredAccess, shareMode)) {
            Fail(winerror::SharingViolation);
            return InvalidFileHandle;
        }
    }
    int flags = O_CLOEXEC | O_CREAT;
    const bool reads = (desiredAccess & file::GenericRead) != 0;
    const bool writes = (desiredAccess & file::GenericWrite) != 0;
    flags |= reads && writes ? O_RDWR : (writes ? O_WRONLY : O_RDONLY);
    flags |= truncates && exists ? O_TRUNC : 0;
    const int descriptor = ::open(path.Native.c_str(), flags, 0644);
    if (descriptor < 0) {
        Fail(ErrorFromErrno(errno));
        return InvalidFileHandle;
    }
    const std::uint32_t given = flagsAndAttributes & SettableAttributes;
    if (!exists || truncates) {
        EntryInfo info = ReadEntryInfo(path.Native);
        info.Attributes = given == 0 ? 0 : given | file::AttributeArchive;
        WriteEntryInfo(path.Native, info);
    }
    if (!exists) {
        ShortNameOf(path.Native);
    }
    const std::intptr_t handle = NextHandle;
    NextHandle += 4;
    Files[handle] = OpenFile{descriptor, path.Native, desiredAccess, shareMode};
    // Opening a file that was there already says so, as Windows does.
    LastError = exists && (creationDisposition == file::CreateAlways ||
                           creationDisposition == file::OpenAlways)
                    ? winerror::AlreadyExists
                    : winerror::Success;
    return static_cast<FileHandle>(handle);
}

bool SandboxFiles::ReadFile(FileHandle file, std::span<char> buffer, std::uint32_t& bytesRead) {
    bytesRead = 0;
    OpenFile* open = Find(file);
    if (open == nullptr) {
        return false;
    }
    if (!(open->Access & file::GenericRead)) {
        return Fail(winerror::AccessDenied);
    }
    while (bytesRead < buffer.size()) {
        const ssize_t count =
            ::read(open->Descriptor, buffer.data() + bytesRead, buffer.size() - bytesRead);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return Fail(ErrorFromErrno(errno));
        }
        if (count == 0) {
            break;
        }
        bytesRead += static_cast<std::uint32_t>(count);
    }
    return true;
}

bool SandboxFiles::WriteFile(FileHandle file, std::span<const char> data,
                             std::uint32_t& bytesWritten) {
    bytesWritten = 0;
    OpenFile* open = Find(file);
    if (open == nullptr) {
        return false;
    }
    if (!(open->Access & file::GenericWrite)) {
        return Fail(winerror::AccessDenied);
    }
    while (bytesWritten < data.size()) {
        const ssize_t count =
            ::write(open->Descriptor, data.data() + bytesWritten, data.size() - bytesWritten);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return Fail(count < 0 ? ErrorFromErrno(errno) : winerror::DiskFull);
        }
        bytesWritten += static_cast<std::uint32_t>(count);
    }
    return true;
}

std::uint32_t SandboxFiles::SetFilePointer(FileHandle file, std::int32_t distance,
                                           std::int32_t* distanceHigh, std::uint32_t moveMethod) {
    OpenFile* open = Find(file);
    if (open == nullptr) {
        return file::InvalidSetFilePointer;
    }
    const std::int64_t move =
        distanceHigh != nullptr
            ? static_cast<std::int64_t>(
                  (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceHigh)) << 32) |
                  static_cast<std::uint32_t>(distance))
            : distance;
    std::int64_t base = 0;
    if (moveMethod == file::Current) {
        base = ::lseek(open->Descriptor, 0, SEEK_CUR);
    } else if (moveMethod == file::End) {
        base = ::lseek(open->Descriptor, 0, SEEK_END);
    } else if (moveMethod != file::Begin) {
        Fail(winerror::InvalidParameter);
        return file::InvalidSetFilePointer;
    }
    if (base < 0 || base + move < 0) {
        Fail(ErrorNegativeSeek);
        return file::InvalidSetFilePointer;
    }
    const std::int64_t position = ::lseek(open->Descriptor, base + move, SEEK_SET);
    if (position < 0) {
        Fail(ErrorFromErrno(errno));
        return file::InvalidSetFilePointer;
    }
    if (distanceHigh != nullptr) {
        *distanceHigh = static_cast<std::int32_t>(static_cast<std::uint64_t>(position) >> 32);
    }
    LastError = winerror::Success;
    return static_cast<std::uint32_t>(position);
}

std::uint32_t SandboxFiles::GetFileSize(FileHandle file, std::uint32_t* fileSizeHigh) {
    OpenFile* open = Find(file);
    struct stat status {};
    if (open == nullptr || ::fstat(open->Descriptor, &status) != 0) {
        return file::InvalidFileSize;
    }
    const auto size = static_cast<std::uint64_t>(status.st_size);
    if (fileSizeHigh != nullptr) {
        *fileSizeHigh = static_cast<std::uint32_t>(size >> 32);
    }
    LastError = winerror::Success;
    return static_cast<std::uint32_t>(size);
}

bool SandboxFiles::GetFileTime(FileHandle file, FileTime* creation, FileTime* lastAccess,
                               FileTime* lastWrite) {
    OpenFile* open = Find(file);
    struct stat status {};
    if (open == nullptr) {
        return false;
    }
    if (::fstat(open->Descriptor, &status) != 0) {
        return Fail(ErrorFromErrno(errno));
    }
    // Linux keeps no creation time everywhere; the last write stands in for it.
    for (FileTime* time : {creation, lastWrite}) {
        if (time != nullptr) {
            *time = ToFileTime(status.st_mtim);
        }
    }
    if (lastAccess != nullptr) {
        *lastAccess = ToFileTime(status.st_atim);
    }
    return true;
}

bool SandboxFiles::SetFileTime(FileHandle file, const FileTime* /*creation*/,
                               const FileTime* lastAccess, const FileTime* lastWrite) {
    OpenFile* open = Find(file);
    if (open == nullptr) {
        return false;
    }
    if (!(open->Access & file::GenericWrite)) {
        return Fail(winerror::AccessDenied);
    }
    timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (lastAccess != nullptr) {
        times[0] = ToTimespec(*lastAccess);
    }
    if (lastWrite != nullptr) {
        times[1] = ToTimespec(*lastWrite);
    }
    if (::futimens(open->Descriptor, times) != 0) {
        return Fail(ErrorFromErrno(errno));
    }
    return true;
}

bool SandboxFiles::CloseHandle(FileHandle file) {
    OpenFile* open = Find(file);
    if (open == nullptr) {
        return false;
    }
    ::close(open->Descriptor);
    Files.erase(static_cast<std::intptr_t>(file));
    return true;
}

bool SandboxFiles::CopyFileA(std::string_view existingFileName, std::string_view newFileName,
                             bool failIfExists) {
    const SandboxPath source = Machine.Resolve(existingFileName);
    const SandboxPath target = Machine.Resolve(newFileName);
    std::error_code error;
    if (source.Error != 0 || target.Error != 0) {
        return Fail(source.Error != 0 ? source.Error : target.Error);
    }
    if (!source.Exists) {
        return FailMissing(source);
    }
    if (!target.ParentExists) {
        return Fail(winerror::PathNotFound);
    }
    if (fs::is_directory(source.Native, error) || target.Names.empty() ||
        (target.Exists && fs::is_directory(target.Native, error))) {
        return Fail(winerror::AccessDenied);
    }
    if (target.Exists && failIfExists) {
        return Fail(winerror::FileExists);
    }
    if (target.Exists && (StoredAttributes(target.Native, false) & file::AttributeReadOnly)) {
        return Fail(winerror::AccessDenied);
    }
    if (InUse(source.Native, file::GenericRead, file::ShareRead) ||
        (target.Exists && InUse(target.Native, file::GenericWrite, 0))) {
        return Fail(winerror::SharingViolation);
    }
    if (target.Native == source.Native) {
        return Fail(winerror::SharingViolation);
    }
    fs::copy_file(source.Native, target.Native, fs::copy_options::overwrite_existing, error);
    if (error) {
        return Fail(ErrorFromErrno(error.value()));
    }
    fs::last_write_time(target.Native, fs::last_write_time(source.Native, error), error);
    // The copy keeps the source's attributes and is marked for backup.
    EntryInfo info = ReadEntryInfo(target.Native);
    const std::uint32_t attributes = ReadEntryInfo(source.Native).Attributes;
    info.Attributes =
        attributes == 0 ? 0 : (attributes & ~file::AttributeNormal) | file::AttributeArchive;
    WriteEntryInfo(target.Native, info);
    ShortNameOf(target.Native);
    return true;
}

bool SandboxFiles::MoveFileA(std::string_view existingFileName, std::string_view newFileName) {
    return MoveFile(existingFileName, newFileName, file::MoveCopyAllowed);
}

bool SandboxFiles::MoveFileExA(std::string_view existingFileName, const char* newFileName,
                               std::uint32_t flags) {
    if (Machine.Description().Family == WindowsFamily::Windows95) {
        return Fail(ErrorCallNotImplemented);
    }
    if (!(flags & file::MoveDelayUntilReboot)) {
        if (newFileName == nullptr) {
            return DeleteFileA(existingFileName);
        }
        return MoveFile(existingFileName, newFileName, flags);
    }
    // The machine's next start carries the move out, so only the names are checked now:
    // the source need not exist yet.
    const SandboxPath source = Machine.Resolve(existingFileName);
    if (source.Error != 0) {
        return Fail(source.Error);
    }
    PendingRename rename{source.Windows(), {}, (flags & file::MoveReplaceExisting) != 0};
    if (newFileName != nullptr) {
        const SandboxPath target = Machine.Resolve(newFileName);
        if (target.Error != 0) {
            return Fail(target.Error);
        }
        rename.Target = target.Windows();
    }
    // Windows keeps the list under HKEY_LOCAL_MACHINE, which only administrators write.
    if (!Machine.Description().Admin) {
        return Fail(winerror::AccessDenied);
    }
    return Machine.AddPendingRename(rename) || Fail(winerror::AccessDenied);
}

bool SandboxFiles::MoveFile(std::string_view existingFileName, std::string_view newFileName,
                            std::uint32_t flags) {
    const SandboxPath source = Machine.Resolve(existingFileName);
    const SandboxPath target = Machine.Resolve(newFileName);
    std::error_code error;
    if (source.Error != 0 || target.Error != 0) {
        return Fail(source.Error != 0 ? source.Error : target.Error);
    }
    if (!source.Exists) {
        return FailMissing(source);
    }
    if (!target.ParentExists) {
        return Fail(winerror::PathNotFound);
    }
    if (source.Names.empty() || target.Names.empty()) {
        return Fail(winerror::AccessDenied);
    }
    const bool directory = fs::is_directory(source.Native, error);
    const bool sameEntry = target.Exists && target.Native == source.Native;
    if (target.Exists && !sameEntry) {
        if (!(flags & file::MoveReplaceExisting)) {
            return Fail(winerror::AlreadyExists);
        }
        if (directory || fs::is_directory(target.Native, error) ||
            (StoredAttributes(target.Native, false) & file::AttributeReadOnly)) {
            return Fail(winerror::AccessDenied);
        }
        if (InUse(target.Native, 0, 0)) {
            return Fail(winerror::SharingViolation);
        }
    }
    if (InUse(source.Native, 0, 0)) {
        return Fail(winerror::SharingViolation);
    }
    if (source.Drive != target.Drive && (directory || !(flags & file::MoveCopyAllowed))) {
        return Fail(winerror::NotSameDevice);
    }
    // A new spelling of the same name renames in place ("a.txt" to "A.TXT").
    const fs::path destination =
        sameEntry ? target.Native.parent_path() / AnsiToUtf8(target.Names.back()) : target.Native;
    if (target.Exists && !sameEntry) {
        ForgetEntryInfo(target.Native);
        fs::remove(target.Native, error);
    }
    if (source.Drive != target.Drive) {
        if (!CopyFileA(existingFileName, newFileName, false)) {
            return false;
        }
        ForgetEntryInfo(source.Native);
        fs::remove(source.Native, error);
        return true;
    }
    if (!MoveEntry(source.Native, destination)) {
        return Fail(winerror::AccessDenied);
    }
    ShortNameOf(destination);
    return true;
}

bool SandboxFiles::DeleteFileA(std::string_view fileName) {
    const SandboxPath path = Machine.Resolve(fileName);
    std::error_code error;
    if (path.Error != 0) {
        return Fail(path.Error);
    }
    if (!path.Exists) {
        return FailMissing(path);
    }
    if (path.Names.empty() || fs::is_directory(path.Native, error) ||
        (StoredAttributes(path.Native, false) & file::AttributeReadOnly)) {
        return Fail(winerror::AccessDenied);
    }
    if (InUse(path.Native, 0, 0)) {
        return Fail(winerror::SharingViolation);
    }
    if (!fs::remove(path.Native, error)) {
        return Fail(ErrorFromErrno(error.value()));
    }
    ForgetEntryInfo(path.Native);
    return true;
}

std::uint32_t SandboxFiles::GetFileAttributesA(std::string_view fileName) {
    const SandboxPath path = Machine.Resolve(fileName);
    if (path.Error != 0) {
        Fail(path.Error);
        return file::InvalidAttributes;
    }
    if (!path.Exists) {
        FailMissing(path);
        return file::InvalidAttributes;
    }
    if (path.Names.empty()) {
        return file::AttributeDirectory;
    }
    std::error_code error;
    return StoredAttributes(path.Native, fs::is_directory(path.Native, error));
}

bool SandboxFiles::SetFileAttributesA(std::string_view fileName, std::uint32_t attributes) {
    const SandboxPath path = Machine.Resolve(fileName);
    if (path.Error != 0) {
        return Fail(path.Error);
    }
    if (!path.Exists) {
        return FailMissing(path);
    }
    if (path.Names.empty()) {
        return true;
    }
    EntryInfo info = ReadEntryInfo(path.Native);
    const std::uint32_t kept = attributes & SettableAttributes;
    info.Attributes = kept == 0 ? file::AttributeNormal : kept;
    WriteEntryInfo(path.Native, info);
    return true;
}

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
    fs::path native = Machine.DriveFolder(path.Drive);
    for (const std::string& name : path.Names) {
        // The 8.3 name, else the name as the folder spells it, as FindFirstFileA gives them.
        native = FindEntryIgnoringCase(native, name);
        result += "\\" + ShortNameOf(native);
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
    if (path.Names.empty()) {
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

bool SandboxFiles::RemoveDirectoryA(std::string_view pathName) {
    const SandboxPath path = Machine.Resolve(pathName);
    std::error_code error;
    if (path.Error != 0) {
        return Fail(path.Error);
    }
    if (!path.Exists) {
        return FailMissing(path);
    }
    if (path.Names.empty()) {
        return Fail(winerror::AccessDenied);
    }
    if (!fs::is_directory(path.Native, error)) {
        return Fail(ErrorDirectory);
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

} // namespace platform
