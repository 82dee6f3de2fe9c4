// The version calls on Windows: pass-throughs to VERSION.DLL.
#include "platform/win32/win32_versions.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <algorithm>
#include <string>
#include <winver.h>

namespace platform {

namespace {

UINT BufferSize(std::span<char> buffer) {
    return static_cast<UINT>(std::min<std::size_t>(buffer.size(), 0x7FFFFFFF));
}

} // namespace

std::uint32_t Win32Versions::GetFileVersionInfoSizeA(std::string_view fileName,
                                                     std::uint32_t* handle) {
    const std::string name(fileName);
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(name.c_str(), &ignored);
    if (handle != nullptr) {
        *handle = ignored;
    }
    return size;
}

bool Win32Versions::GetFileVersionInfoA(std::string_view fileName, std::uint32_t handle,
                                        std::span<char> data) {
    const std::string name(fileName);
    return ::GetFileVersionInfoA(name.c_str(), handle, static_cast<DWORD>(BufferSize(data)),
                                 data.data()) != FALSE;
}

bool Win32Versions::VerQueryValueA(std::span<char> block, std::string_view subBlock,
                                   const char*& buffer, std::uint32_t& length) {
    const std::string path(subBlock);
    void* value = nullptr;
    UINT size = 0;
    const BOOL found = ::VerQueryValueA(block.data(), path.c_str(), &value, &size);
    buffer = found ? static_cast<const char*>(value) : nullptr;
    length = found ? size : 0;
    return found != FALSE;
}

std::uint32_t Win32Versions::VerFindFileA(std::uint32_t flags, std::string_view fileName,
                                          const char* winDir, std::string_view appDir,
                                          std::span<char> curDir, std::uint32_t& curDirLength,
                                          std::span<char> destDir, std::uint32_t& destDirLength) {
    // The header MinGW-w64 has declares these arguments writable: pass copies.
    std::string name(fileName);
    std::string app(appDir);
    std::string windows(winDir != nullptr ? winDir : "");
    UINT curLength = BufferSize(curDir);
    UINT destLength = BufferSize(destDir);
    const DWORD result =
        ::VerFindFileA(flags, name.data(), winDir != nullptr ? windows.data() : nullptr, app.data(),
                       curDir.data(), &curLength, destDir.data(), &destLength);
    curDirLength = curLength;
    destDirLength = destLength;
    return result;
}

std::uint32_t Win32Versions::VerInstallFileA(std::uint32_t flags, std::string_view srcFileName,
                                             std::string_view destFileName, std::string_view srcDir,
                                             std::string_view destDir, std::string_view curDir,
                                             std::span<char> tmpFile,
                                             std::uint32_t& tmpFileLength) {
    std::string source(srcFileName);
    std::string destination(destFileName);
    std::string sourceDir(srcDir);
    std::string destinationDir(destDir);
    std::string currentDir(curDir);
    UINT length = BufferSize(tmpFile);
    const DWORD result =
        ::VerInstallFileA(flags, source.data(), destination.data(), sourceDir.data(),
                          destinationDir.data(), currentDir.data(), tmpFile.data(), &length);
    tmpFileLength = length;
    return result;
}

std::uint32_t Win32Versions::GetLastError() {
    return ::GetLastError();
}

} // namespace platform
