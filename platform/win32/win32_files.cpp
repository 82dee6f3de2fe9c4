// The file and profile calls on Windows: pass-throughs to KERNEL32.
#include "platform/win32/win32_files.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <algorithm>
#include <string>

namespace platform {

namespace {

HANDLE Native(FileHandle file) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(file));
}

HANDLE Native(FindHandle search) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(search));
}

::FILETIME Native(const FileTime& time) {
    return {time.LowDateTime, time.HighDateTime};
}

FileTime FromNative(const ::FILETIME& time) {
    return {time.dwLowDateTime, time.dwHighDateTime};
}

FindData FromNative(const WIN32_FIND_DATAA& native) {
    FindData data;
    data.FileAttributes = native.dwFileAttributes;
    data.CreationTime = FromNative(native.ftCreationTime);
    data.LastAccessTime = FromNative(native.ftLastAccessTime);
    data.LastWriteTime = FromNative(native.ftLastWriteTime);
    data.FileSizeHigh = native.nFileSizeHigh;
    data.FileSizeLow = native.nFileSizeLow;
    data.FileName = native.cFileName;
    data.AlternateFileName = native.cAlternateFileName;
    return data;
}

DWORD BufferSize(std::span<char> buffer) {
    return static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 0x7FFFFFFF));
}

} // namespace

FileHandle Win32Files::CreateFileA(std::string_view fileName, std::uint32_t desiredAccess,
                                   std::uint32_t shareMode, std::uint32_t creationDisposition,
                                   std::uint32_t flagsAndAttributes) {
    const std::string name(fileName);
    HANDLE file = ::CreateFileA(name.c_str(), desiredAccess, shareMode, nullptr,
                                creationDisposition, flagsAndAttributes, nullptr);
    return static_cast<FileHandle>(reinterpret_cast<std::intptr_t>(file));
}

bool Win32Files::ReadFile(FileHandle file, std::span<char> buffer, std::uint32_t& bytesRead) {
    DWORD count = 0;
    const BOOL done = ::ReadFile(Native(file), buffer.data(), BufferSize(buffer), &count, nullptr);
    bytesRead = count;
    return done != FALSE;
}

bool Win32Files::WriteFile(FileHandle file, std::span<const char> data,
                           std::uint32_t& bytesWritten) {
    DWORD count = 0;
    const BOOL done =
        ::WriteFile(Native(file), data.data(), static_cast<DWORD>(data.size()), &count, nullptr);
    bytesWritten = count;
    return done != FALSE;
}

std::uint32_t Win32Files::SetFilePointer(FileHandle file, std::int32_t distance,
                                         std::int32_t* distanceHigh, std::uint32_t moveMethod) {
    LONG high = distanceHigh != nullptr ? *distanceHigh : 0;
    const DWORD low = ::SetFilePointer(Native(file), distance,
                                       distanceHigh != nullptr ? &high : nullptr, moveMethod);
    if (distanceHigh != nullptr) {
        *distanceHigh = high;
    }
    return low;
}

std::uint32_t Win32Files::GetFileSize(FileHandle file, std::uint32_t* fileSizeHigh) {
    DWORD high = 0;
    const DWORD low = ::GetFileSize(Native(file), &high);
    if (fileSizeHigh != nullptr) {
        *fileSizeHigh = high;
    }
    return low;
}

bool Win32Files::GetFileTime(FileHandle file, FileTime* creation, FileTime* lastAccess,
                             FileTime* lastWrite) {
    ::FILETIME times[3] = {};
    if (!::GetFileTime(Native(file), &times[0], &times[1], &times[2])) {
        return false;
    }
    FileTime* targets[3] = {creation, lastAccess, lastWrite};
    for (int i = 0; i < 3; ++i) {
        if (targets[i] != nullptr) {
            *targets[i] = FromNative(times[i]);
        }
    }
    return true;
}

bool Win32Files::SetFileTime(FileHandle file, const FileTime* creation, const FileTime* lastAccess,
                             const FileTime* lastWrite) {
    const FileTime* given[3] = {creation, lastAccess, lastWrite};
    ::FILETIME times[3] = {};
    const ::FILETIME* pointers[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (given[i] != nullptr) {
            times[i] = Native(*given[i]);
            pointers[i] = &times[i];
        }
    }
    return ::SetFileTime(Native(file), pointers[0], pointers[1], pointers[2]) != FALSE;
}

bool Win32Files::CloseHandle(FileHandle file) {
    return ::CloseHandle(Native(file)) != FALSE;
}

bool Win32Files::CopyFileA(std::string_view existingFileName, std::string_view newFileName,
                           bool failIfExists) {
    const std::string from(existingFileName);
    const std::string to(newFileName);
    return ::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

bool Win32Files::MoveFileA(std::string_view existingFileName, std::string_view newFileName) {
    const std::string from(existingFileName);
    const std::string to(newFileName);
    return ::MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32Files::MoveFileExA(std::string_view existingFileName, const char* newFileName,
                             std::uint32_t flags) {
    const std::string from(existingFileName);
    return ::MoveFileExA(from.c_str(), newFileName, flags) != FALSE;
}

bool Win32Files::DeleteFileA(std::string_view fileName) {
    const std::string name(fileName);
    return ::DeleteFileA(name.c_str()) != FALSE;
}

std::uint32_t Win32Files::GetFileAttributesA(std::string_view fileName) {
    const std::string name(fileName);
    return ::GetFileAttributesA(name.c_str());
}

bool Win32Files::SetFileAttributesA(std::string_view fileName, std::uint32_t attributes) {
    const std::string name(fileName);
    return ::SetFileAttributesA(name.c_str(), attributes) != FALSE;
}

FindHandle Win32Files::FindFirstFileA(std::string_view fileName, FindData& findData) {
    const std::string name(fileName);
    WIN32_FIND_DATAA native{};
    HANDLE search = ::FindFirstFileA(name.c_str(), &native);
    if (search != INVALID_HANDLE_VALUE) {
        findData = FromNative(native);
    }
    return static_cast<FindHandle>(reinterpret_cast<std::intptr_t>(search));
}

bool Win32Files::FindNextFileA(FindHandle search, FindData& findData) {
    WIN32_FIND_DATAA native{};
    if (!::FindNextFileA(Native(search), &native)) {
        return false;
    }
    findData = FromNative(native);
    return true;
}

bool Win32Files::FindClose(FindHandle search) {
    return ::FindClose(Native(search)) != FALSE;
}

std::uint32_t Win32Files::GetTempFileNameA(std::string_view pathName, std::string_view prefix,
                                           std::uint32_t unique, std::string& tempFileName) {
    const std::string path(pathName);
    const std::string prefixZ(prefix);
    char name[MAX_PATH] = {};
    const UINT result = ::GetTempFileNameA(path.c_str(), prefixZ.c_str(), unique, name);
    if (result != 0) {
        tempFileName = name;
    }
    return result;
}

std::uint32_t Win32Files::GetShortPathNameA(std::string_view longPath, std::span<char> shortPath) {
    const std::string path(longPath);
    return ::GetShortPathNameA(path.c_str(), shortPath.data(), BufferSize(shortPath));
}

bool Win32Files::CreateDirectoryA(std::string_view pathName) {
    const std::string path(pathName);
    return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32Files::RemoveDirectoryA(std::string_view pathName) {
    const std::string path(pathName);
    return ::RemoveDirectoryA(path.c_str()) != FALSE;
}

bool Win32Files::SetCurrentDirectoryA(std::string_view pathName) {
    const std::string path(pathName);
    return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

std::uint32_t Win32Files::GetDriveTypeA(const char* rootPathName) {
    return ::GetDriveTypeA(rootPathName);
}

bool Win32Files::GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t& sectorsPerCluster,
                                   std::uint32_t& bytesPerSector,
                                   std::uint32_t& numberOfFreeClusters,
                                   std::uint32_t& totalNumberOfClusters) {
    DWORD values[4] = {};
    const BOOL done =
        ::GetDiskFreeSpaceA(rootPathName, &values[0], &values[1], &values[2], &values[3]);
    sectorsPerCluster = values[0];
    bytesPerSector = values[1];
    numberOfFreeClusters = values[2];
    totalNumberOfClusters = values[3];
    return done != FALSE;
}

bool Win32Files::FileTimeToDosDateTime(const FileTime& fileTime, std::uint16_t& fatDate,
                                       std::uint16_t& fatTime) {
    const ::FILETIME native = Native(fileTime);
    WORD date = 0;
    WORD time = 0;
    const BOOL done = ::FileTimeToDosDateTime(&native, &date, &time);
    fatDate = date;
    fatTime = time;
    return done != FALSE;
}

bool Win32Files::DosDateTimeToFileTime(std::uint16_t fatDate, std::uint16_t fatTime,
                                       FileTime& fileTime) {
    ::FILETIME native{};
    if (!::DosDateTimeToFileTime(fatDate, fatTime, &native)) {
        return false;
    }
    fileTime = FromNative(native);
    return true;
}

bool Win32Files::FileTimeToLocalFileTime(const FileTime& fileTime, FileTime& localFileTime) {
    const ::FILETIME native = Native(fileTime);
    ::FILETIME local{};
    if (!::FileTimeToLocalFileTime(&native, &local)) {
        return false;
    }
    localFileTime = FromNative(local);
    return true;
}

bool Win32Files::LocalFileTimeToFileTime(const FileTime& localFileTime, FileTime& fileTime) {
    const ::FILETIME local = Native(localFileTime);
    ::FILETIME native{};
    if (!::LocalFileTimeToFileTime(&local, &native)) {
        return false;
    }
    fileTime = FromNative(native);
    return true;
}

std::uint32_t Win32Files::GetLastError() {
    return ::GetLastError();
}

void Win32Files::SetLastError(std::uint32_t error) {
    ::SetLastError(error);
}

std::uint32_t Win32Profile::GetPrivateProfileStringA(const char* appName, const char* keyName,
                                                     const char* defaultValue,
                                                     std::span<char> returnedString,
                                                     std::string_view fileName) {
    const std::string file(fileName);
    return ::GetPrivateProfileStringA(appName, keyName, defaultValue, returnedString.data(),
                                      BufferSize(returnedString), file.c_str());
}

std::uint32_t Win32Profile::GetPrivateProfileIntA(std::string_view appName,
                                                  std::string_view keyName,
                                                  std::int32_t defaultValue,
                                                  std::string_view fileName) {
    const std::string app(appName);
    const std::string key(keyName);
    const std::string file(fileName);
    return ::GetPrivateProfileIntA(app.c_str(), key.c_str(), defaultValue, file.c_str());
}

std::uint32_t Win32Profile::GetPrivateProfileSectionA(std::string_view appName,
                                                      std::span<char> returnedString,
                                                      std::string_view fileName) {
    const std::string app(appName);
    const std::string file(fileName);
    return ::GetPrivateProfileSectionA(app.c_str(), returnedString.data(),
                                       BufferSize(returnedString), file.c_str());
}

bool Win32Profile::WritePrivateProfileStringA(const char* appName, const char* keyName,
                                              const char* string, std::string_view fileName) {
    const std::string file(fileName);
    return ::WritePrivateProfileStringA(appName, keyName, string, file.c_str()) != FALSE;
}

bool Win32Profile::WritePrivateProfileSectionA(std::string_view appName, const char* string,
                                               std::string_view fileName) {
    const std::string app(appName);
    const std::string file(fileName);
    return ::WritePrivateProfileSectionA(app.c_str(), string, file.c_str()) != FALSE;
}

std::uint32_t Win32Profile::GetProfileStringA(const char* appName, const char* keyName,
                                              const char* defaultValue,
                                              std::span<char> returnedString) {
    return ::GetProfileStringA(appName, keyName, defaultValue, returnedString.data(),
                               BufferSize(returnedString));
}

std::uint32_t Win32Profile::GetProfileIntA(std::string_view appName, std::string_view keyName,
                                           std::int32_t defaultValue) {
    const std::string app(appName);
    const std::string key(keyName);
    return ::GetProfileIntA(app.c_str(), key.c_str(), defaultValue);
}

bool Win32Profile::WriteProfileStringA(const char* appName, const char* keyName,
                                       const char* string) {
    return ::WriteProfileStringA(appName, keyName, string) != FALSE;
}

std::uint32_t Win32Profile::GetLastError() {
    return ::GetLastError();
}

} // namespace platform
