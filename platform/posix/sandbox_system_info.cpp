// The sandbox machine's facts: its description handed out through Win32's buffer rules.
#include "platform/posix/sandbox_system_info.h"

#include "platform/ansi_text.h"
#include "platform/files.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Copies `text` and a zero when they fit: its length; else the size needed, zero
// included, and nothing written.
std::uint32_t CopyOut(std::string_view text, std::span<char> buffer) {
    if (text.size() >= buffer.size()) {
        return static_cast<std::uint32_t>(text.size() + 1);
    }
    std::memcpy(buffer.data(), text.data(), text.size());
    buffer[text.size()] = '\0';
    return static_cast<std::uint32_t>(text.size());
}

std::uint32_t Clamped(std::uint64_t bytes) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, 0xFFFFFFFFu));
}

} // namespace

SandboxSystemInfo::SandboxSystemInfo(const SandboxMachine& machine)
    : Machine(machine.Description()) {
    const bool nt = Machine.Family == WindowsFamily::WindowsNT;
    Environment = {
        {"COMSPEC",
         nt ? Machine.SystemDirectory + "\\CMD.EXE" : Machine.WindowsDirectory + "\\COMMAND.COM"},
        {"PATH", nt ? Machine.SystemDirectory + ";" + Machine.WindowsDirectory
                    : Machine.WindowsDirectory + ";" + Machine.WindowsDirectory + "\\COMMAND"},
        {"TEMP", Machine.TempDirectory},
        {"TMP", Machine.TempDirectory},
        {"windir", Machine.WindowsDirectory}};
    for (const auto& setting : Machine.Environment) {
        auto known = std::find_if(Environment.begin(), Environment.end(), [&](const auto& entry) {
            return EqualsIgnoringCase(entry.first, setting.first);
        });
        if (known != Environment.end()) {
            known->second = setting.second;
        } else {
            Environment.emplace_back(setting.first, setting.second);
        }
    }
}

bool SandboxSystemInfo::GetVersionExA(OsVersionInfo& versionInfo) {
    versionInfo.MajorVersion = Machine.MajorVersion;
    versionInfo.MinorVersion = Machine.MinorVersion;
    versionInfo.BuildNumber = Machine.BuildNumber;
    versionInfo.PlatformId = sysinfo::PlatformNT;
    if (Machine.Family == WindowsFamily::Windows95) {
        versionInfo.BuildNumber = (Machine.MajorVersion << 24) | (Machine.MinorVersion << 16) |
                                  (Machine.BuildNumber & 0xFFFFu);
        versionInfo.PlatformId = sysinfo::PlatformWindows;
    }
    // OSVERSIONINFOA holds 128 characters, the zero included.
    versionInfo.CSDVersion = Machine.ServicePack.substr(0, 127);
    return true;
}

std::uint32_t SandboxSystemInfo::GetWindowsDirectoryA(std::span<char> buffer) {
    return CopyOut(Machine.WindowsDirectory, buffer);
}

std::uint32_t SandboxSystemInfo::GetSystemDirectoryA(std::span<char> buffer) {
    return CopyOut(Machine.SystemDirectory, buffer);
}

std::uint32_t SandboxSystemInfo::GetTempPathA(std::span<char> buffer) {
    std::string temp = Machine.TempDirectory;
    if (temp.empty() || temp.back() != '\\') {
        temp += '\\';
    }
    return CopyOut(temp, buffer);
}

void SandboxSystemInfo::GlobalMemoryStatus(MemoryStatus& status) {
    const std::uint64_t physical = std::uint64_t{Machine.MemoryKilobytes} * 1024;
    status.MemoryLoad = 50;
    status.TotalPhys = Clamped(physical);
    status.AvailPhys = Clamped(physical / 2);
    status.TotalPageFile = Clamped(physical * 2);
    status.AvailPageFile = Clamped(physical * 3 / 2);
    status.TotalVirtual = 0x7FFE0000u;
    status.AvailVirtual = 0x7FFE0000u - (16u << 20);
}

bool SandboxSystemInfo::GetUserNameA(std::span<char> buffer, std::uint32_t& size) {
    const std::uint32_t copied = CopyOut(Machine.UserName, buffer);
    if (copied > Machine.UserName.size()) {
        size = copied;
        LastError = winerror::InsufficientBuffer;
        return false;
    }
    size = copied + 1;
    return true;
}

bool SandboxSystemInfo::GetComputerNameA(std::span<char> buffer, std::uint32_t& size) {
    // NetBIOS names hold at most 15 characters; Windows cuts longer ones.
    const std::string name = Machine.ComputerName.substr(0, sysinfo::MaxComputerNameLength);
    const std::uint32_t copied = CopyOut(name, buffer);
    if (copied > name.size()) {
        size = copied;
        LastError = sysinfo::BufferOverflow;
        return false;
    }
    size = copied;
    return true;
}

int SandboxSystemInfo::GetScreenDeviceCaps(int index) {
    return index == sysinfo::BitsPixel ? Machine.ColorBits
                                       : SystemInfoService::GetScreenDeviceCaps(index);
}

int SandboxSystemInfo::GetSystemMetrics(int index) {
    switch (index) {
    case sysinfo::CxScreen:
        return Machine.ScreenWidth;
    case sysinfo::CyScreen:
        return Machine.ScreenHeight;
    default:
        return 0;
    }
}

std::uint32_t SandboxSystemInfo::GetEnvironmentVariableA(std::string_view name,
                                                         std::span<char> buffer) {
    for (const auto& [known, value] : Environment) {
        if (EqualsIgnoringCase(known, name)) {
            return CopyOut(value, buffer);
        }
    }
    LastError = sysinfo::EnvvarNotFound;
    return 0;
}

bool SandboxSystemInfo::IsUserAnAdmin() {
    return Machine.Admin;
}

} // namespace platform
