// The machine's facts on Windows: a pass-through to KERNEL32, ADVAPI32, USER32 and
// SHELL32.
#pragma once

#include "platform/system_info.h"

namespace platform {

class Win32SystemInfo final : public SystemInfoService {
public:
    bool GetVersionExA(OsVersionInfo& versionInfo) override;
    std::uint32_t GetWindowsDirectoryA(std::span<char> buffer) override;
    std::uint32_t GetSystemDirectoryA(std::span<char> buffer) override;
    std::uint32_t GetTempPathA(std::span<char> buffer) override;
    void GlobalMemoryStatus(MemoryStatus& status) override;
    bool GetUserNameA(std::span<char> buffer, std::uint32_t& size) override;
    bool GetComputerNameA(std::span<char> buffer, std::uint32_t& size) override;
    int GetSystemMetrics(int index) override;
    std::uint32_t GetEnvironmentVariableA(std::string_view name, std::span<char> buffer) override;
    bool IsUserAnAdmin() override;
    int GetScreenDeviceCaps(int index) override;
    std::uint32_t waveOutGetNumDevs() override;
    std::uint32_t midiOutGetNumDevs() override;
    std::uint32_t GetLastError() override;
};

} // namespace platform
