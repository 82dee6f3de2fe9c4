// Volumes and network drives on Windows.
#include "platform/win32/win32_drives.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <winnetwk.h>

namespace platform {

namespace {

DWORD SizeOf(std::span<char> buffer) {
    return static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 0xFFFFFFFFu));
}

} // namespace

bool Win32Drives::GetVolumeInformationA(std::string_view rootPathName, VolumeInformation& volume) {
    const std::string root(rootPathName);
    std::array<char, MAX_PATH + 1> label{};
    DWORD serial = 0;
    DWORD longestName = 0;
    DWORD flags = 0;
    if (!::GetVolumeInformationA(root.c_str(), label.data(), static_cast<DWORD>(label.size()),
                                 &serial, &longestName, &flags, nullptr, 0)) {
        return false;
    }
    volume.Label = label.data();
    volume.SerialNumber = serial;
    return true;
}

std::uint32_t Win32Drives::WNetGetConnectionA(std::string_view localName,
                                              std::span<char> remoteName, std::uint32_t& length) {
    const std::string local(localName);
    DWORD native = SizeOf(remoteName);
    const DWORD result = ::WNetGetConnectionA(local.c_str(), remoteName.data(), &native);
    length = result == NO_ERROR ? static_cast<DWORD>(std::strlen(remoteName.data()) + 1) : native;
    return result;
}

std::uint32_t Win32Drives::WNetGetUserA(std::span<char> userName, std::uint32_t& length) {
    DWORD native = SizeOf(userName);
    const DWORD result = ::WNetGetUserA(nullptr, userName.data(), &native);
    length = result == NO_ERROR ? static_cast<DWORD>(std::strlen(userName.data()) + 1) : native;
    return result;
}

std::uint32_t Win32Drives::GetLastError() {
    return ::GetLastError();
}

} // namespace platform
