// Services that fail on purpose: any call at its Nth use, with a chosen Win32 error,
// so that tests reach the failure paths (a full disk, a file in use, access denied).
#pragma once

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace platform {

enum class FaultRepeat { Once, FromThenOn };

/// Which calls fail: counts every use of each call and says when one must fail.
template <typename Call> class FaultPlan {
public:
    /// The `use`th call (counting from 1, from the plan's start) fails with `error`;
    /// with FaultRepeat::FromThenOn every later one fails too (a disk that stays full).
    void FailAt(Call call, int use, std::uint32_t error, FaultRepeat repeat = FaultRepeat::Once) {
        Faults.push_back({call, use, error, repeat});
    }
    /// Counts one use of `call`; the error when this use fails.
    std::optional<std::uint32_t> Use(Call call) {
        const int use = ++Counts[call];
        for (const Fault& fault : Faults) {
            if (fault.Which == call &&
                (use == fault.At || (fault.Repeat == FaultRepeat::FromThenOn && use > fault.At))) {
                return fault.Error;
            }
        }
        return std::nullopt;
    }
    int Uses(Call call) const {
        auto it = Counts.find(call);
        return it == Counts.end() ? 0 : it->second;
    }

private:
    struct Fault {
        Call Which;
        int At;
        std::uint32_t Error;
        FaultRepeat Repeat;
    };
    std::vector<Fault> Faults;
    std::map<Call, int> Counts;
};

enum class FileCall {
    CreateFileA,
    ReadFile,
    WriteFile,
    SetFilePointer,
    GetFileSize,
    GetFileTime,
    SetFileTime,
    CloseHandle,
    CopyFileA,
    MoveFileA,
    MoveFileExA,
    DeleteFileA,
    GetFileAttributesA,
    SetFileAttributesA,
    FindFirstFileA,
    FindNextFileA,
    FindClose,
    GetTempFileNameA,
    GetShortPathNameA,
    CreateDirectoryA,
    RemoveDirectoryA,
    GetDriveTypeA,
    GetDiskFreeSpaceA,
};

/// Passes every call to `inner` unless the plan fails it: then the call does nothing,
/// returns its failure value and GetLastError reports the planned error.
class FaultInjectingFiles final : public FileService {
public:
    explicit FaultInjectingFiles(FileService& inner) : Inner(inner) {}

    FaultPlan<FileCall> Plan;

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
    bool SetCurrentDirectoryA(std::string_view pathName) override {
        return Inner.SetCurrentDirectoryA(pathName);
    }
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

private:
    /// Counts the use; true when it is to fail (and the error is set).
    bool Fails(FileCall call);

    FileService& Inner;
    std::optional<std::uint32_t> Injected;
};

enum class ProfileCall {
    GetPrivateProfileStringA,
    GetPrivateProfileIntA,
    GetPrivateProfileSectionA,
    WritePrivateProfileStringA,
    GetProfileStringA,
    GetProfileIntA,
    WriteProfileStringA,
    WritePrivateProfileSectionA,
};

/// As FaultInjectingFiles for the profile calls. A failed read gives an empty text (or
/// the default number), as Windows does for a file it cannot read.
class FaultInjectingProfile final : public ProfileService {
public:
    explicit FaultInjectingProfile(ProfileService& inner) : Inner(inner) {}

    FaultPlan<ProfileCall> Plan;

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

private:
    bool Fails(ProfileCall call);
    /// The empty text a failed read leaves.
    static std::uint32_t Empty(std::span<char> buffer);

    ProfileService& Inner;
    std::optional<std::uint32_t> Injected;
};

enum class RegistryCall {
    RegOpenKeyExA,
    RegCreateKeyExA,
    RegSetValueExA,
    RegQueryValueExA,
    RegDeleteValueA,
    RegDeleteKeyA,
    RegEnumKeyExA,
    RegEnumValueA,
    RegCloseKey,
};

/// As FaultInjectingFiles for the registry calls, which return the planned error
/// themselves; a failed open or create gives a null key, and a failed RegCloseKey leaves
/// the key open in `inner`.
class FaultInjectingRegistry final : public RegistryService {
public:
    explicit FaultInjectingRegistry(RegistryService& inner) : Inner(inner) {}

    FaultPlan<RegistryCall> Plan;

    using RegistryService::RegQueryValueExA;
    long RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                       std::uint32_t access, HKEY& result) override;
    long RegCreateKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                         std::uint32_t access, HKEY& result, std::uint32_t* disposition) override;
    long RegSetValueExA(HKEY key, std::string_view valueName, std::uint32_t type,
                        std::span<const char> data) override;
    long RegQueryValueExA(HKEY key, std::string_view valueName, std::uint32_t* type, char* data,
                          std::uint32_t* dataSize) override;
    long RegDeleteValueA(HKEY key, std::string_view valueName) override;
    long RegDeleteKeyA(HKEY key, std::string_view subKey) override;
    long RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                       std::uint32_t& nameLength) override;
    long RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                       std::uint32_t& valueNameLength, std::uint32_t* type, char* data,
                       std::uint32_t* dataSize) override;
    long RegCloseKey(HKEY key) override;

private:
    /// Counts the use; the planned error, or 0 when the call goes through.
    long Fault(RegistryCall call) { return static_cast<long>(Plan.Use(call).value_or(0)); }

    RegistryService& Inner;
};

} // namespace platform
