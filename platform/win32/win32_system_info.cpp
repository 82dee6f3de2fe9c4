// The machine's facts on Windows: pass-throughs, with buffers handed over by size.
#include "platform/win32/win32_system_info.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <algorithm>
#include <mmsystem.h>
#include <shlobj.h>
#include <string>

namespace platform {

namespace {

// The buffer's size as a DWORD; a buffer beyond 4 GB is used up to that size.
DWORD SizeOf(std::span<char> buffer) {
    return static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 0xFFFFFFFFu));
}

std::uint32_t Clamped(SIZE_T bytes) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, 0xFFFFFFFFu));
}

} // namespace

bool Win32SystemInfo::GetVersionExA(OsVersionInfo& versionInfo) {
    OSVERSIONINFOA native{};
    native.dwOSVersionInfoSize = sizeof native;
    if (!::GetVersionExA(&native)) {
        return false;
    }
    versionInfo.MajorVersion = native.dwMajorVersion;
    versionInfo.MinorVersion = native.dwMinorVersion;
    versionInfo.BuildNumber = native.dwBuildNumber;
    versionInfo.PlatformId = native.dwPlatformId;
    versionInfo.CSDVersion = native.szCSDVersion;
    return true;
}

std::uint32_t Win32SystemInfo::GetWindowsDirectoryA(std::span<char> buffer) {
    return ::GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(SizeOf(buffer)));
}

std::uint32_t Win32SystemInfo::GetSystemDirectoryA(std::span<char> buffer) {
    return ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(SizeOf(buffer)));
}

std::uint32_t Win32SystemInfo::GetTempPathA(std::span<char> buffer) {
    return ::GetTempPathA(SizeOf(buffer), buffer.data());
}

void Win32SystemInfo::GlobalMemoryStatus(MemoryStatus& status) {
    MEMORYSTATUS native{};
    native.dwLength = sizeof native;
    ::GlobalMemoryStatus(&native);
    status.MemoryLoad = native.dwMemoryLoad;
    status.TotalPhys = Clamped(native.dwTotalPhys);
    status.AvailPhys = Clamped(native.dwAvailPhys);
    status.TotalPageFile = Clamped(native.dwTotalPageFile);
    status.AvailPageFile = Clamped(native.dwAvailPageFile);
    status.TotalVirtual = Clamped(native.dwTotalVirtual);
    status.AvailVirtual = Clamped(native.dwAvailVirtual);
}

bool Win32SystemInfo::GetUserNameA(std::span<char> buffer, std::uint32_t& size) {
    DWORD native = SizeOf(buffer);
    const bool done = ::GetUserNameA(buffer.data(), &native) != 0;
    size = native;
    return done;
}

bool Win32SystemInfo::GetComputerNameA(std::span<char> buffer, std::uint32_t& size) {
    DWORD native = SizeOf(buffer);
    const bool done = ::GetComputerNameA(buffer.data(), &native) != 0;
    size = native;
    return done;
}

int Win32SystemInfo::GetSystemMetrics(int index) {
    return ::GetSystemMetrics(index);
}

int Win32SystemInfo::GetScreenDeviceCaps(int index) {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) {
        return 0;
    }
    const int value = ::GetDeviceCaps(screen, index);
    ::ReleaseDC(nullptr, screen);
    return value;
}

std::uint32_t Win32SystemInfo::waveOutGetNumDevs() {
    return ::waveOutGetNumDevs();
}

std::uint32_t Win32SystemInfo::midiOutGetNumDevs() {
    return ::midiOutGetNumDevs();
}

std::uint32_t Win32SystemInfo::GetEnvironmentVariableA(std::string_view name,
                                                       std::span<char> buffer) {
    const std::string nameZ(name);
    return ::GetEnvironmentVariableA(nameZ.c_str(), buffer.data(), SizeOf(buffer));
}

bool Win32SystemInfo::IsUserAnAdmin() {
    return ::IsUserAnAdmin() != FALSE;
}

std::uint32_t Win32SystemInfo::GetLastError() {
    return ::GetLastError();
}

} // namespace platform
