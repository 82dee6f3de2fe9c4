// Services that fail on purpose at a chosen use of a chosen call.
#include "platform/headless/fault_injection.h"

namespace platform {

bool FaultInjectingFiles::Fails(FileCall call) {
    Injected = Plan.Use(call);
    return Injected.has_value();
}

FileHandle FaultInjectingFiles::CreateFileA(std::string_view fileName, std::uint32_t desiredAccess,
                                            std::uint32_t shareMode,
                                            std::uint32_t creationDisposition,
                                            std::uint32_t flagsAndAttributes) {
    if (Fails(FileCall::CreateFileA)) {
        return InvalidFileHandle;
    }
    return Inner.CreateFileA(fileName, desiredAccess, shareMode, creationDisposition,
                             flagsAndAttributes);
}

bool FaultInjectingFiles::ReadFile(FileHandle file, std::span<char> buffer,
                                   std::uint32_t& bytesRead) {
    if (Fails(FileCall::ReadFile)) {
        bytesRead = 0;
        return false;
    }
    return Inner.ReadFile(file, buffer, bytesRead);
}

bool FaultInjectingFiles::WriteFile(FileHandle file, std::span<const char> data,
                                    std::uint32_t& bytesWritten) {
    if (Fails(FileCall::WriteFile)) {
        bytesWritten = 0;
        return false;
    }
    return Inner.WriteFile(file, data, bytesWritten);
}

std::uint32_t FaultInjectingFiles::SetFilePointer(FileHandle file, std::int32_t distance,
                                                  std::int32_t* distanceHigh,
                                                  std::uint32_t moveMethod) {
    if (Fails(FileCall::SetFilePointer)) {
        return file::InvalidSetFilePointer;
    }
    return Inner.SetFilePointer(file, distance, distanceHigh, moveMethod);
}

std::uint32_t FaultInjectingFiles::GetFileSize(FileHandle file, std::uint32_t* fileSizeHigh) {
    if (Fails(FileCall::GetFileSize)) {
        return file::InvalidFileSize;
    }
    return Inner.GetFileSize(file, fileSizeHigh);
}

bool FaultInjectingFiles::GetFileTime(FileHandle file, FileTime* creation, FileTime* lastAccess,
                                      FileTime* lastWrite) {
    if (Fails(FileCall::GetFileTime)) {
        return false;
    }
    return Inner.GetFileTime(file, creation, lastAccess, lastWrite);
}

bool FaultInjectingFiles::SetFileTime(FileHandle file, const FileTime* creation,
                                      const FileTime* lastAccess, const FileTime* lastWrite) {
    if (Fails(FileCall::SetFileTime)) {
        return false;
    }
    return Inner.SetFileTime(file, creation, lastAccess, lastWrite);
}

bool FaultInjectingFiles::CloseHandle(FileHandle file) {
    if (Fails(FileCall::CloseHandle)) {
        return false;
    }
    return Inner.CloseHandle(file);
}

bool FaultInjectingFiles::CopyFileA(std::string_view existingFileName, std::string_view newFileName,
                                    bool failIfExists) {
    if (Fails(FileCall::CopyFileA)) {
        return false;
    }
    return Inner.CopyFileA(existingFileName, newFileName, failIfExists);
}

bool FaultInjectingFiles::MoveFileA(std::string_view existingFileName,
                                    std::string_view newFileName) {
    if (Fails(FileCall::MoveFileA)) {
        return false;
    }
    return Inner.MoveFileA(existingFileName, newFileName);
}

bool FaultInjectingFiles::MoveFileExA(std::string_view existingFileName, const char* newFileName,
                                      std::uint32_t flags) {
    if (Fails(FileCall::MoveFileExA)) {
        return false;
    }
    return Inner.MoveFileExA(existingFileName, newFileName, flags);
}

bool FaultInjectingFiles::DeleteFileA(std::string_view fileName) {
    if (Fails(FileCall::DeleteFileA)) {
        return false;
    }
    return Inner.DeleteFileA(fileName);
}

std::uint32_t FaultInjectingFiles::GetFileAttributesA(std::string_view fileName) {
    if (Fails(FileCall::GetFileAttributesA)) {
        return file::InvalidAttributes;
    }
    return Inner.GetFileAttributesA(fileName);
}

bool FaultInjectingFiles::SetFileAttributesA(std::string_view fileName, std::uint32_t attributes) {
    if (Fails(FileCall::SetFileAttributesA)) {
        return false;
    }
    return Inner.SetFileAttributesA(fileName, attributes);
}

FindHandle FaultInjectingFiles::FindFirstFileA(std::string_view fileName, FindData& findData) {
    if (Fails(FileCall::FindFirstFileA)) {
        return InvalidFindHandle;
    }
    return Inner.FindFirstFileA(fileName, findData);
}

bool FaultInjectingFiles::FindNextFileA(FindHandle search, FindData& findData) {
    if (Fails(FileCall::FindNextFileA)) {
        return false;
    }
    return Inner.FindNextFileA(search, findData);
}

bool FaultInjectingFiles::FindClose(FindHandle search) {
    if (Fails(FileCall::FindClose)) {
        return false;
    }
    return Inner.FindClose(search);
}

std::uint32_t FaultInjectingFiles::GetTempFileNameA(std::string_view pathName,
                                                    std::string_view prefix, std::uint32_t unique,
                                                    std::string& tempFileName) {
    if (Fails(FileCall::GetTempFileNameA)) {
        return 0;
    }
    return Inner.GetTempFileNameA(pathName, prefix, unique, tempFileName);
}

std::uint32_t FaultInjectingFiles::GetShortPathNameA(std::string_view longPath,
                                                     std::span<char> shortPath) {
    if (Fails(FileCall::GetShortPathNameA)) {
        return 0;
    }
    return Inner.GetShortPathNameA(longPath, shortPath);
}

bool FaultInjectingFiles::CreateDirectoryA(std::string_view pathName) {
    if (Fails(FileCall::CreateDirectoryA)) {
        return false;
    }
    return Inner.CreateDirectoryA(pathName);
}

bool FaultInjectingFiles::RemoveDirectoryA(std::string_view pathName) {
    if (Fails(FileCall::RemoveDirectoryA)) {
        return false;
    }
    return Inner.RemoveDirectoryA(pathName);
}

std::uint32_t FaultInjectingFiles::GetDriveTypeA(const char* rootPathName) {
    if (Fails(FileCall::GetDriveTypeA)) {
        return file::DriveUnknown;
    }
    return Inner.GetDriveTypeA(rootPathName);
}

bool FaultInjectingFiles::GetDiskFreeSpaceA(const char* rootPathName,
                                            std::uint32_t& sectorsPerCluster,
                                            std::uint32_t& bytesPerSector,
                                            std::uint32_t& numberOfFreeClusters,
                                            std::uint32_t& totalNumberOfClusters) {
    if (Fails(FileCall::GetDiskFreeSpaceA)) {
        return false;
    }
    return Inner.GetDiskFreeSpaceA(rootPathName, sectorsPerCluster, bytesPerSector,
                                   numberOfFreeClusters, totalNumberOfClusters);
}

bool FaultInjectingFiles::FileTimeToDosDateTime(const FileTime& fileTime, std::uint16_t& fatDate,
                                                std::uint16_t& fatTime) {
    Injected.reset();
    return Inner.FileTimeToDosDateTime(fileTime, fatDate, fatTime);
}

bool FaultInjectingFiles::DosDateTimeToFileTime(std::uint16_t fatDate, std::uint16_t fatTime,
                                                FileTime& fileTime) {
    Injected.reset();
    return Inner.DosDateTimeToFileTime(fatDate, fatTime, fileTime);
}

bool FaultInjectingFiles::FileTimeToLocalFileTime(const FileTime& fileTime,
                                                  FileTime& localFileTime) {
    Injected.reset();
    return Inner.FileTimeToLocalFileTime(fileTime, localFileTime);
}

bool FaultInjectingFiles::LocalFileTimeToFileTime(const FileTime& localFileTime,
                                                  FileTime& fileTime) {
    Injected.reset();
    return Inner.LocalFileTimeToFileTime(localFileTime, fileTime);
}

std::uint32_t FaultInjectingFiles::GetLastError() {
    return Injected ? *Injected : Inner.GetLastError();
}

void FaultInjectingFiles::SetLastError(std::uint32_t error) {
    Injected.reset();
    Inner.SetLastError(error);
}

bool FaultInjectingProfile::Fails(ProfileCall call) {
    Injected = Plan.Use(call);
    return Injected.has_value();
}

std::uint32_t FaultInjectingProfile::Empty(std::span<char> buffer) {
    for (std::size_t i = 0; i < buffer.size() && i < 2; ++i) {
        buffer[i] = '\0';
    }
    return 0;
}

std::uint32_t FaultInjectingProfile::GetPrivateProfileStringA(const char* appName,
                                                              const char* keyName,
                                                              const char* defaultValue,
                                                              std::span<char> returnedString,
                                                              std::string_view fileName) {
    if (Fails(ProfileCall::GetPrivateProfileStringA)) {
        return Empty(returnedString);
    }
    return Inner.GetPrivateProfileStringA(appName, keyName, defaultValue, returnedString, fileName);
}

std::uint32_t FaultInjectingProfile::GetPrivateProfileIntA(std::string_view appName,
                                                           std::string_view keyName,
                                                           std::int32_t defaultValue,
                                                           std::string_view fileName) {
    if (Fails(ProfileCall::GetPrivateProfileIntA)) {
        return static_cast<std::uint32_t>(defaultValue);
    }
    return Inner.GetPrivateProfileIntA(appName, keyName, defaultValue, fileName);
}

std::uint32_t FaultInjectingProfile::GetPrivateProfileSectionA(std::string_view appName,
                                                               std::span<char> returnedString,
                                                               std::string_view fileName) {
    if (Fails(ProfileCall::GetPrivateProfileSectionA)) {
        return Empty(returnedString);
    }
    return Inner.GetPrivateProfileSectionA(appName, returnedString, fileName);
}

bool FaultInjectingProfile::WritePrivateProfileStringA(const char* appName, const char* keyName,
                                                       const char* string,
                                                       std::string_view fileName) {
    if (Fails(ProfileCall::WritePrivateProfileStringA)) {
        return false;
    }
    return Inner.WritePrivateProfileStringA(appName, keyName, string, fileName);
}

bool FaultInjectingProfile::WritePrivateProfileSectionA(std::string_view appName,
                                                        const char* string,
                                                        std::string_view fileName) {
    if (Fails(ProfileCall::WritePrivateProfileSectionA)) {
        return false;
    }
    return Inner.WritePrivateProfileSectionA(appName, string, fileName);
}

std::uint32_t FaultInjectingProfile::GetProfileStringA(const char* appName, const char* keyName,
                                                       const char* defaultValue,
                                                       std::span<char> returnedString) {
    if (Fails(ProfileCall::GetProfileStringA)) {
        return Empty(returnedString);
    }
    return Inner.GetProfileStringA(appName, keyName, defaultValue, returnedString);
}

std::uint32_t FaultInjectingProfile::GetProfileIntA(std::string_view appName,
                                                    std::string_view keyName,
                                                    std::int32_t defaultValue) {
    if (Fails(ProfileCall::GetProfileIntA)) {
        return static_cast<std::uint32_t>(defaultValue);
    }
    return Inner.GetProfileIntA(appName, keyName, defaultValue);
}

bool FaultInjectingProfile::WriteProfileStringA(const char* appName, const char* keyName,
                                                const char* string) {
    if (Fails(ProfileCall::WriteProfileStringA)) {
        return false;
    }
    return Inner.WriteProfileStringA(appName, keyName, string);
}

std::uint32_t FaultInjectingProfile::GetLastError() {
    return Injected ? *Injected : Inner.GetLastError();
}

long FaultInjectingRegistry::RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                                           std::uint32_t access, HKEY& result) {
    if (const long error = Fault(RegistryCall::RegOpenKeyExA)) {
        result = nullptr;
        return error;
    }
    return Inner.RegOpenKeyExA(key, subKey, options, access, result);
}

long FaultInjectingRegistry::RegCreateKeyExA(HKEY key, std::string_view subKey,
                                             std::uint32_t options, std::uint32_t access,
                                             HKEY& result, std::uint32_t* disposition) {
    if (const long error = Fault(RegistryCall::RegCreateKeyExA)) {
        result = nullptr;
        return error;
    }
    return Inner.RegCreateKeyExA(key, subKey, options, access, result, disposition);
}

long FaultInjectingRegistry::RegSetValueExA(HKEY key, std::string_view valueName,
                                            std::uint32_t type, std::span<const char> data) {
    if (const long error = Fault(RegistryCall::RegSetValueExA)) {
        return error;
    }
    return Inner.RegSetValueExA(key, valueName, type, data);
}

long FaultInjectingRegistry::RegQueryValueExA(HKEY key, std::string_view valueName,
                                              std::uint32_t* type, char* data,
                                              std::uint32_t* dataSize) {
    if (const long error = Fault(RegistryCall::RegQueryValueExA)) {
        return error;
    }
    return Inner.RegQueryValueExA(key, valueName, type, data, dataSize);
}

long FaultInjectingRegistry::RegDeleteValueA(HKEY key, std::string_view valueName) {
    if (const long error = Fault(RegistryCall::RegDeleteValueA)) {
        return error;
    }
    return Inner.RegDeleteValueA(key, valueName);
}

long FaultInjectingRegistry::RegDeleteKeyA(HKEY key, std::string_view subKey) {
    if (const long error = Fault(RegistryCall::RegDeleteKeyA)) {
        return error;
    }
    return Inner.RegDeleteKeyA(key, subKey);
}

long FaultInjectingRegistry::RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                                           std::uint32_t& nameLength) {
    if (const long error = Fault(RegistryCall::RegEnumKeyExA)) {
        return error;
    }
    return Inner.RegEnumKeyExA(key, index, name, nameLength);
}

long FaultInjectingRegistry::RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                                           std::uint32_t& valueNameLength, std::uint32_t* type,
                                           char* data, std::uint32_t* dataSize) {
    if (const long error = Fault(RegistryCall::RegEnumValueA)) {
        return error;
    }
    return Inner.RegEnumValueA(key, index, valueName, valueNameLength, type, data, dataSize);
}

long FaultInjectingRegistry::RegCloseKey(HKEY key) {
    if (const long error = Fault(RegistryCall::RegCloseKey)) {
        return error;
    }
    return Inner.RegCloseKey(key);
}

} // namespace platform
