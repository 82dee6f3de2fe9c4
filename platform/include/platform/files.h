// The file calls the engine, the installation log and the scratch files make, with the
// Win32 names, arguments, results and error codes of their ANSI forms.
#pragma once

#include "platform/unique_handle.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

/// An open file (the HANDLE of CreateFileA); InvalidFileHandle on failure.
enum class FileHandle : std::intptr_t {};
inline constexpr FileHandle InvalidFileHandle = FileHandle{-1};

/// A directory search (the HANDLE of FindFirstFileA); InvalidFindHandle on failure.
enum class FindHandle : std::intptr_t {};
inline constexpr FindHandle InvalidFindHandle = FindHandle{-1};

/// Win32 error codes, as GetLastError reports them.
namespace winerror {
inline constexpr std::uint32_t Success = 0;
inline constexpr std::uint32_t InvalidFunction = 1;
inline constexpr std::uint32_t FileNotFound = 2;
inline constexpr std::uint32_t PathNotFound = 3;
inline constexpr std::uint32_t AccessDenied = 5;
inline constexpr std::uint32_t InvalidHandle = 6;
inline constexpr std::uint32_t InvalidDrive = 15;
inline constexpr std::uint32_t NotSameDevice = 17;
inline constexpr std::uint32_t NoMoreFiles = 18;
inline constexpr std::uint32_t SharingViolation = 32;
inline constexpr std::uint32_t BadNetPath = 53;
inline constexpr std::uint32_t FileExists = 80;
inline constexpr std::uint32_t InvalidParameter = 87;
inline constexpr std::uint32_t DiskFull = 112;
inline constexpr std::uint32_t InsufficientBuffer = 122;
inline constexpr std::uint32_t InvalidName = 123;
inline constexpr std::uint32_t DirNotEmpty = 145;
inline constexpr std::uint32_t AlreadyExists = 183;
inline constexpr std::uint32_t FilenameExcedRange = 206;
} // namespace winerror

/// Flags and values of the file calls, with their Win32 values.
namespace file {
inline constexpr std::uint32_t GenericRead = 0x80000000u;
inline constexpr std::uint32_t GenericWrite = 0x40000000u;
inline constexpr std::uint32_t ShareRead = 0x1;
inline constexpr std::uint32_t ShareWrite = 0x2;
inline constexpr std::uint32_t ShareDelete = 0x4;

inline constexpr std::uint32_t CreateNew = 1;
inline constexpr std::uint32_t CreateAlways = 2;
inline constexpr std::uint32_t OpenExisting = 3;
inline constexpr std::uint32_t OpenAlways = 4;
inline constexpr std::uint32_t TruncateExisting = 5;

inline constexpr std::uint32_t AttributeReadOnly = 0x1;
inline constexpr std::uint32_t AttributeHidden = 0x2;
inline constexpr std::uint32_t AttributeSystem = 0x4;
inline constexpr std::uint32_t AttributeDirectory = 0x10;
inline constexpr std::uint32_t AttributeArchive = 0x20;
inline constexpr std::uint32_t AttributeNormal = 0x80;
inline constexpr std::uint32_t AttributeTemporary = 0x100;
inline constexpr std::uint32_t InvalidAttributes = 0xFFFFFFFFu;

inline constexpr std::uint32_t Begin = 0; ///< FILE_BEGIN
inline constexpr std::uint32_t Current = 1;
inline constexpr std::uint32_t End = 2;
inline constexpr std::uint32_t InvalidSetFilePointer = 0xFFFFFFFFu;
inline constexpr std::uint32_t InvalidFileSize = 0xFFFFFFFFu;

inline constexpr std::uint32_t MoveReplaceExisting = 0x1; ///< MOVEFILE_REPLACE_EXISTING
inline constexpr std::uint32_t MoveCopyAllowed = 0x2;
inline constexpr std::uint32_t MoveDelayUntilReboot = 0x4;

inline constexpr std::uint32_t DriveUnknown = 0; ///< DRIVE_UNKNOWN
inline constexpr std::uint32_t DriveNoRootDir = 1;
inline constexpr std::uint32_t DriveRemovable = 2;
inline constexpr std::uint32_t DriveFixed = 3;
inline constexpr std::uint32_t DriveRemote = 4;
inline constexpr std::uint32_t DriveCdrom = 5;
inline constexpr std::uint32_t DriveRamdisk = 6;
} // namespace file

/// FILETIME: 100-nanosecond intervals since 1 January 1601, in two 32-bit halves.
struct FileTime {
    std::uint32_t LowDateTime = 0;
    std::uint32_t HighDateTime = 0;

    std::uint64_t Ticks() const { return (std::uint64_t{HighDateTime} << 32) | LowDateTime; }
    static FileTime FromTicks(std::uint64_t ticks) {
        return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    }
    friend bool operator==(const FileTime&, const FileTime&) = default;
};

/// WIN32_FIND_DATAA, with the names as strings.
struct FindData {
    std::uint32_t FileAttributes = 0;
    FileTime CreationTime;
    FileTime LastAccessTime;
    FileTime LastWriteTime;
    std::uint32_t FileSizeHigh = 0;
    std::uint32_t FileSizeLow = 0;
    std::string FileName;
    /// The 8.3 name; empty when the name is an 8.3 name already.
    std::string AlternateFileName;
};

/// Every call sets the last error on failure, as its Win32 namesake does; where Win32
/// passes a null pointer for "none", the argument is a pointer here too.
class FileService {
public:
    virtual ~FileService() = default;

    virtual FileHandle CreateFileA(std::string_view fileName, std::uint32_t desiredAccess,
                                   std::uint32_t shareMode, std::uint32_t creationDisposition,
                                   std::uint32_t flagsAndAttributes) = 0;
    virtual bool ReadFile(FileHandle file, std::span<char> buffer, std::uint32_t& bytesRead) = 0;
    virtual bool WriteFile(FileHandle file, std::span<const char> data,
                           std::uint32_t& bytesWritten) = 0;
    /// Returns the new position's low half, file::InvalidSetFilePointer on failure.
    virtual std::uint32_t SetFilePointer(FileHandle file, std::int32_t distance,
                                         std::int32_t* distanceHigh, std::uint32_t moveMethod) = 0;
    virtual std::uint32_t GetFileSize(FileHandle file, std::uint32_t* fileSizeHigh) = 0;
    virtual bool GetFileTime(FileHandle file, FileTime* creation, FileTime* lastAccess,
                             FileTime* lastWrite) = 0;
    virtual bool SetFileTime(FileHandle file, const FileTime* creation, const FileTime* lastAccess,
                             const FileTime* lastWrite) = 0;
    virtual bool CloseHandle(FileHandle file) = 0;

    virtual bool CopyFileA(std::string_view existingFileName, std::string_view newFileName,
                           bool failIfExists) = 0;
    virtual bool MoveFileA(std::string_view existingFileName, std::string_view newFileName) = 0;
    /// With file::MoveDelayUntilReboot the move is only recorded, for the next start of
    /// the machine; a null `newFileName` then deletes the file at that start.
    virtual bool MoveFileExA(std::string_view existingFileName, const char* newFileName,
                             std::uint32_t flags) = 0;
    virtual bool DeleteFileA(std::string_view fileName) = 0;
    virtual std::uint32_t GetFileAttributesA(std::string_view fileName) = 0;
    virtual bool SetFileAttributesA(std::string_view fileName, std::uint32_t attributes) = 0;

    virtual FindHandle FindFirstFileA(std::string_view fileName, FindData& findData) = 0;
    virtual bool FindNextFileA(FindHandle search, FindData& findData) = 0;
    virtual bool FindClose(FindHandle search) = 0;

    /// Names "PPPUUUU.TMP" in `pathName` (three prefix characters, the unique number in
    /// hexadecimal). With `unique` 0 the file is created and the number used returned;
    /// otherwise only the name is made. Returns 0 on failure.
    virtual std::uint32_t GetTempFileNameA(std::string_view pathName, std::string_view prefix,
                                           std::uint32_t unique, std::string& tempFileName) = 0;
    /// Writes the 8.3 form of an existing path into `shortPath` and returns its length;
    /// when the buffer is too small, returns the size needed (terminating zero included).
    virtual std::uint32_t GetShortPathNameA(std::string_view longPath,
                                            std::span<char> shortPath) = 0;
    virtual bool CreateDirectoryA(std::string_view pathName) = 0;
    virtual bool RemoveDirectoryA(std::string_view pathName) = 0;

    /// A null root is the current directory's drive.
    virtual std::uint32_t GetDriveTypeA(const char* rootPathName) = 0;
    virtual bool GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t& sectorsPerCluster,
                                   std::uint32_t& bytesPerSector,
                                   std::uint32_t& numberOfFreeClusters,
                                   std::uint32_t& totalNumberOfClusters) = 0;

    /// DOS dates and times (the stamps of installed files) as the file system's FILETIME,
    /// both without any time-zone shift.
    virtual bool FileTimeToDosDateTime(const FileTime& fileTime, std::uint16_t& fatDate,
                                       std::uint16_t& fatTime) = 0;
    virtual bool DosDateTimeToFileTime(std::uint16_t fatDate, std::uint16_t fatTime,
                                       FileTime& fileTime) = 0;

    /// A file time (UTC) as the machine's local time and back, shifted by the time zone's
    /// present distance from UTC; a DOS stamp is local time, so an installed file's stamp
    /// goes through these on its way to and from the file system.
    virtual bool FileTimeToLocalFileTime(const FileTime& fileTime, FileTime& localFileTime) = 0;
    virtual bool LocalFileTimeToFileTime(const FileTime& localFileTime, FileTime& fileTime) = 0;

    virtual std::uint32_t GetLastError() = 0;
    virtual void SetLastError(std::uint32_t error) = 0;

    /// Makes `pathName` the directory relative paths start from; "\\" is the root of the
    /// current drive. A directory that is current cannot be removed. Services without a
    /// current directory refuse.
    virtual bool SetCurrentDirectoryA(std::string_view /*pathName*/) {
        SetLastError(winerror::InvalidFunction);
        return false;
    }
};

/// Closes an open file through the service that opened it.
struct FileCloser {
    using Handle = FileHandle;
    static constexpr Handle Null = InvalidFileHandle;
    FileService* Files = nullptr;
    void Release(Handle file) { Files->CloseHandle(file); }
};
using UniqueFile = UniqueHandle<FileCloser>;

/// Ends a directory search through the service that started it.
struct FindCloser {
    using Handle = FindHandle;
    static constexpr Handle Null = InvalidFindHandle;
    FileService* Files = nullptr;
    void Release(Handle search) { Files->FindClose(search); }
};
using UniqueFind = UniqueHandle<FindCloser>;

} // namespace platform
