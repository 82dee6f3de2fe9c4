// The file calls on the sandbox machine: Windows paths land in its machine folder and
// every call fails with the error Windows would give.
#pragma once

#include "platform/files.h"
#include "platform/posix/sandbox_machine.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

namespace platform {

/// Open files honour each other's share modes, so a test makes a file "in use" by
/// holding it open without sharing. Writes and copies take the drive's free space and
/// deletes give it back, so a drive declared nearly full fills up with ERROR_DISK_FULL. Moves with
/// delay-until-reboot are recorded in the machine (SandboxMachine::PendingRenames) and carried out
/// by its Restart; a Windows 95 family machine has no MoveFileExA, as on Windows.
class SandboxFiles final : public FileService {
public:
    explicit SandboxFiles(SandboxMachine& machine) : Machine(machine) {}
    SandboxFiles(const SandboxFiles&) = delete;
    SandboxFiles& operator=(const SandboxFiles&) = delete;
    ~SandboxFiles() override;

    FileHandle CreateFileA(std::string_view fileName, std::uint32_t desiredAccess,
                           std::uint32_t shareMode, std::uint32_t creationDisposition,
                           std::uint32_t flagsAndAttributes) override;
    bool ReadFile(FileHandle file, std::span<char> buffer, std::uint32_t& bytesRead) override;
    bool WriteFile(FileHandle file, std::span<const char> data,
                   std::uint32_t& bytesWritten) override;
    std::uint32_t SetFilePointer(FileHandle file, std::int32_t distance, std::int32_t* distanceHigh,
                                 std::uint32_t moveMethod) override;
    std::uint32_t GetFileSize(FileHandle file, std::uint32_t* fileSizeHigh) override;
    bool GetFileTime(FileHandle file, FileTime* creation, FileTime* lastAccess,
                     FileTime* lastWrite) override;
    bool SetFileTime(FileHandle file, const FileTime* creation, const FileTime* lastAccess,
                     const FileTime* lastWrite) override;
    bool CloseHandle(FileHandle file) override;

    bool CopyFileA(std::string_view existingFileName, std::string_view newFileName,
                   bool failIfExists) override;
    bool MoveFileA(std::string_view existingFileName, std::string_view newFileName) override;
    bool MoveFileExA(std::string_view existingFileName, const char* newFileName,
                     std::uint32_t flags) override;
    bool DeleteFileA(std::string_view fileName) override;
    std::uint32_t GetFileAttributesA(std::string_view fileName) override;
    bool SetFileAttributesA(std::string_view fileName, std::uint32_t attributes) override;

    FindHandle FindFirstFileA(std::string_view fileName, FindData& findData) override;
    bool FindNextFileA(FindHandle search, FindData& findData) override;
    bool FindClose(FindHandle search) override;

    std::uint32_t GetTempFileNameA(std::string_view pathName, std::string_view prefix,
                                   std::uint32_t unique, std::string& tempFileName) override;
    std::uint32_t GetShortPathNameA(std::string_view longPath, std::span<char> shortPath) override;
    bool CreateDirectoryA(std::string_view pathName) override;
    bool RemoveDirectoryA(std::string_view pathName) override;

    std::uint32_t GetDriveTypeA(const char* rootPathName) override;
    bool GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t& sectorsPerCluster,
                           std::uint32_t& bytesPerSector, std::uint32_t& numberOfFreeClusters,
                           std::uint32_t& totalNumberOfClusters) override;

    bool FileTimeToDosDateTime(const FileTime& fileTime, std::uint16_t& fatDate,
                               std::uint16_t& fatTime) override;
    bool DosDateTimeToFileTime(std::uint16_t fatDate, std::uint16_t fatTime,
                               FileTime& fileTime) override;

    bool FileTimeToLocalFileTime(const FileTime& fileTime, FileTime& localFileTime) override;
    bool LocalFileTimeToFileTime(const FileTime& localFileTime, FileTime& fileTime) override;
    std::uint32_t GetLastError() override { return LastError; }
    void SetLastError(std::uint32_t error) override { LastError = error; }
    bool SetCurrentDirectoryA(std::string_view pathName) override;

private:
    struct OpenFile {
        int Descriptor = -1;
        std::filesystem::path Native;
        std::uint32_t Access = 0;
        std::uint32_t Share = 0;
        char Drive = 'C';
    };
    struct Search {
        std::vector<FindData> Entries;
        std::size_t Next = 0;
    };

    bool Fail(std::uint32_t error) {
        LastError = error;
        return false;
    }
    /// The error for a path that is sound but names nothing: file or path not found.
    bool FailMissing(const SandboxPath& path) {
        return Fail(path.ParentExists ? winerror::FileNotFound : winerror::PathNotFound);
    }
    OpenFile* Find(FileHandle file);
    /// The path of an existing folder; nullopt, with the last error set, for anything
    /// else.
    std::optional<SandboxPath> ExistingFolder(std::string_view pathName);
    /// Whether an open handle keeps `native` from being opened this way.
    bool InUse(const std::filesystem::path& native, std::uint32_t access,
               std::uint32_t share) const;
    /// Whether an open handle that does not share deletion keeps `native` from being
    /// deleted, moved or replaced.
    bool KeptFromRemoval(const std::filesystem::path& native) const;
    bool MoveFile(std::string_view existingFileName, std::string_view newFileName,
                  std::uint32_t flags);
    FindData Describe(const std::filesystem::path& native, const std::string& name) const;

    SandboxMachine& Machine;
    std::map<std::intptr_t, OpenFile> Files;
    std::map<std::intptr_t, Search> Searches;
    std::intptr_t NextHandle = 0x100;
    std::uint32_t LastError = 0;
};

} // namespace platform
