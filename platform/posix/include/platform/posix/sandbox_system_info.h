// The facts of the sandbox machine, as its machine.ini describes them.
#pragma once

#include "platform/posix/sandbox_machine.h"
#include "platform/system_info.h"

#include <string>
#include <utility>
#include <vector>

namespace platform {

/// Answers from the machine's description. Memory beyond the physical size is derived
/// from it: half of it free, a page file twice its size, 2 GB of address space. The
/// environment holds COMSPEC (the NT family's CMD.EXE in the system folder, the 95
/// family's COMMAND.COM in the Windows folder), PATH, TEMP, TMP and windir, changed and
/// added to by the description's [Environment].
class SandboxSystemInfo final : public SystemInfoService {
public:
    explicit SandboxSystemInfo(const SandboxMachine& machine);

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
    /// The described screen and colour depth in one plane.
    int GetScreenDeviceCaps(int index) override;
    std::uint32_t GetLastError() override { return LastError; }

private:
    const MachineDescription& Machine;
    std::vector<std::pair<std::string, std::string>> Environment;
    std::uint32_t LastError = 0;
};

} // namespace platform
