// System facts that fail on purpose at a chosen use of a chosen call.
#pragma once

#include "platform/headless/fault_injection.h"
#include "platform/system_info.h"

namespace platform {

enum class SystemInfoCall {
    GetVersionExA,
    GetWindowsDirectoryA,
    GetSystemDirectoryA,
    GetTempPathA,
    GetUserNameA,
    GetComputerNameA,
    GetEnvironmentVariableA,
};

/// Passes every call to `inner` unless the plan fails it: then the call writes nothing,
/// returns its failure value (false or 0) and GetLastError reports the planned error.
/// GlobalMemoryStatus, GetSystemMetrics, IsUserAnAdmin, GetScreenDeviceCaps and the sound
/// device counts cannot fail and always pass.
class FaultInjectingSystemInfo final : public SystemInfoService {
public:
    explicit FaultInjectingSystemInfo(SystemInfoService& inner) : Inner(inner) {}

    FaultPlan<SystemInfoCall> Plan;

    bool GetVersionExA(OsVersionInfo& versionInfo) override;
    std::uint32_t GetWindowsDirectoryA(std::span<char> buffer) override;
    std::uint32_t GetSystemDirectoryA(std::span<char> buffer) override;
    std::uint32_t GetTempPathA(std::span<char> buffer) override;
    void GlobalMemoryStatus(MemoryStatus& status) override { Inner.GlobalMemoryStatus(status); }
    bool GetUserNameA(std::span<char> buffer, std::uint32_t& size) override;
    bool GetComputerNameA(std::span<char> buffer, std::uint32_t& size) override;
    int GetSystemMetrics(int index) override { return Inner.GetSystemMetrics(index); }
    std::uint32_t GetEnvironmentVariableA(std::string_view name, std::span<char> buffer) override;
    bool IsUserAnAdmin() override { return Inner.IsUserAnAdmin(); }
    int GetScreenDeviceCaps(int index) override { return Inner.GetScreenDeviceCaps(index); }
    std::uint32_t waveOutGetNumDevs() override { return Inner.waveOutGetNumDevs(); }
    std::uint32_t midiOutGetNumDevs() override { return Inner.midiOutGetNumDevs(); }
    std::uint32_t GetLastError() override;

private:
    /// Counts the use; true when it is to fail (and the error is set).
    bool Fails(SystemInfoCall call);

    SystemInfoService& Inner;
    std::optional<std::uint32_t> Injected;
};

} // namespace platform
