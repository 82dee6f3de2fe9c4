// The file and profile calls on Windows: pass-throughs to KERNEL32.
#pragma once

#include "platform/files.h"
#include "platform/profile.h"

namespace platform {

class Win32Files final : public FileService {
public:
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
    std::uint32_t GetLastError() override;
    void SetLastError(std::uint32_t error) override;
    bool SetCurrentDirectoryA(std::string_view pathName) override;
};

class Win32Profile final : public ProfileService {
public:
    std::uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName,
                                           const char* defaultValue, std::span<char> returnedString,
                                           std::string_view fileName) override;
    std::uint32_t GetPrivateProfileIntA(std::string_view appName, std::string_view keyName,
                                        std::int32_t defaultValue,
                                        std::string_view fileName) override;
    std::uint32_t GetPrivateProfileSectionA(std::string_view appName,
                                            std::span<char> returnedString,
                                            std::string_view fileName) override;
    bool WritePrivateProfileStringA(const char* appName, const char* keyName, const char* string,
                                    std::string_view fileName) override;
    bool WritePrivateProfileSectionA(std::string_view appName, const char* string,
                                     std::string_view fileName) override;
    std::uint32_t GetProfileStringA(const char* appName, const char* keyName,
                                    const char* defaultValue,
                                    std::span<char> returnedString) override;
    std::uint32_t GetProfileIntA(std::string_view appName, std::string_view keyName,
                                 std::int32_t defaultValue) override;
    bool WriteProfileStringA(const char* appName, const char* keyName, const char* string) override;
    std::uint32_t GetLastError() override;
};

} // namespace platform
