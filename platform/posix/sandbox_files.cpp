// The file calls on the sandbox machine.
#include "platform/posix/sandbox_files.h"

#include "platform/ansi_text.h"
#include "sandbox_file_rules.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;
using namespace sandbox;

namespace {

constexpr std::uint32_t SettableAttributes = file::AttributeReadOnly | file::AttributeHidden |
                                             file::AttributeSystem | file::AttributeArchive |
                                             file::AttributeTemporary | 0x2000u;
constexpr std::uint32_t ErrorNegativeSeek = 131;
constexpr std::uint32_t ErrorCallNotImplemented = 120;

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
    const bool reads = (access & file::GenericRead) != 0;
    const bool writes = (access & file::GenericWrite) != 0;
    // An open that neither reads nor writes (attributes, times) shares with everything.
    if (!reads && !writes) {
        return false;
    }
    if (Machine.HeldOpen(native)) {
        return true;
    }
    for (const auto& [handle, open] : Files) {
        if (open.Native == native &&
            ((reads && !(open.Share & file::ShareRead)) ||
             (writes && !(open.Share & file::ShareWrite)) ||
             ((open.Access & file::GenericRead) && !(share & file::ShareRead)) ||
             ((open.Access & file::GenericWrite) && !(share & file::ShareWrite)))) {
            return true;
        }
    }
    return false;
}

bool SandboxFiles::KeptFromRemoval(const fs::path& native) const {
    if (Machine.HeldOpen(native)) {
        return true;
    }
    for (const auto& [handle, open] : Files) {
        if (open.Native == native && !(open.Share & file::ShareDelete)) {
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
    if (path.Names.empty() || path.IsFolder) {
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
    if (path.ReadOnly && ((desiredAccess & file::GenericWrite) || truncates || !exists)) {
        Fail(winerror::AccessDenied);
        return InvalidFileHandle;
    }
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
    // Truncating a file that is empty already would change only its times, and on ext4 it
    // makes the close start the file's writeback at once, as for a file replaced by
    // truncation: a setup makes each temporary file, then opens it again to write it.
    std::error_code sizeError;
    const bool emptyAlready =
        exists && truncates && fs::file_size(path.Native, sizeError) == 0 && !sizeError;
    flags |= truncates && exists && !emptyAlready ? O_TRUNC : 0;
    const int descriptor = ::open(path.Native.c_str(), flags, 0644);
    if (descriptor < 0) {
        Fail(ErrorFromErrno(errno));
        return InvalidFileHandle;
    }
    if (emptyAlready) {
        ::futimens(descriptor, nullptr);
    }
    const std::uint32_t given = flagsAndAttributes & SettableAttributes;
    if (!exists || truncates) {
        EntryInfo info = ReadEntryInfo(path.Native, path.Folder);
        const std::uint32_t attributes = given == 0 ? 0 : given | file::AttributeArchive;
        if (info.Attributes != attributes) {
            info.Attributes = attributes;
            WriteEntryInfo(path.Native, info);
        }
    }
    if (!exists) {
        ShortNameOf(path.Native);
    }
    const std::intptr_t handle = NextHandle;
    NextHandle += 4;
    Files[handle] = OpenFile{descriptor, path.Native, desiredAccess, shareMode, path.Drive};
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
    struct stat status {};
    const off_t position = ::lseek(open->Descriptor, 0, SEEK_CUR);
    if (::fstat(open->Descriptor, &status) != 0 || position < 0) {
        return Fail(ErrorFromErrno(errno));
    }
    const std::int64_t growth = std::max<std::int64_t>(
        0, position + static_cast<std::int64_t>(data.size()) - status.st_size);
    if (!Machine.UseSpace(open->Drive, growth)) {
        return Fail(winerror::DiskFull);
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
    if (source.IsFolder || target.Names.empty() || target.IsFolder) {
        return Fail(winerror::AccessDenied);
    }
    if (target.ReadOnly) {
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
    const auto size = static_cast<std::int64_t>(fs::file_size(source.Native, error));
    const auto replaced =
        target.Exists ? static_cast<std::int64_t>(fs::file_size(target.Native, error)) : 0;
    if (!Machine.UseSpace(target.Drive, size - replaced)) {
        return Fail(winerror::DiskFull);
    }
    fs::copy_file(source.Native, target.Native, fs::copy_options::overwrite_existing, error);
    if (error) {
        Machine.UseSpace(target.Drive, replaced - size);
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
        if (target.ReadOnly) {
            return Fail(winerror::AccessDenied);
        }
    }
    if (source.ReadOnly) {
        return Fail(winerror::AccessDenied);
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
    if (source.Names.empty() || target.Names.empty() || source.ReadOnly || target.ReadOnly) {
        return Fail(winerror::AccessDenied);
    }
    const bool directory = source.IsFolder;
    const bool sameEntry = target.Exists && target.Native == source.Native;
    if (target.Exists && !sameEntry) {
        if (!(flags & file::MoveReplaceExisting)) {
            return Fail(winerror::AlreadyExists);
        }
        if (directory || target.IsFolder ||
            (StoredAttributes(target.Native, false) & file::AttributeReadOnly)) {
            return Fail(winerror::AccessDenied);
        }
        if (KeptFromRemoval(target.Native)) {
            return Fail(winerror::SharingViolation);
        }
    }
    if (KeptFromRemoval(source.Native)) {
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
    if (!MoveEntry(source.Native, destination, source.Folder)) {
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
    if (path.Names.empty() || path.ReadOnly || path.IsFolder ||
        (StoredAttributes(path.Native, false) & file::AttributeReadOnly)) {
        return Fail(winerror::AccessDenied);
    }
    if (KeptFromRemoval(path.Native)) {
        return Fail(winerror::SharingViolation);
    }
    const auto size = static_cast<std::int64_t>(fs::file_size(path.Native, error));
    if (!fs::remove(path.Native, error)) {
        return Fail(ErrorFromErrno(error.value()));
    }
    Machine.UseSpace(path.Drive, -size);
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
    return StoredAttributes(path.Native, path.IsFolder, path.Folder);
}

bool SandboxFiles::SetFileAttributesA(std::string_view fileName, std::uint32_t attributes) {
    const SandboxPath path = Machine.Resolve(fileName);
    if (path.Error != 0) {
        return Fail(path.Error);
    }
    if (!path.Exists) {
        return FailMissing(path);
    }
    if (path.ReadOnly) {
        return Fail(winerror::AccessDenied);
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

} // namespace platform
