// System facts that fail on purpose at a chosen use of a chosen call.
#include "platform/headless/fault_injection_system_info.h"

namespace platform {

bool FaultInjectingSystemInfo::Fails(SystemInfoCall call) {
    Injected = Plan.Use(call);
    return Injected.has_value();
}

bool FaultInjectingSystemInfo::GetVersionExA(OsVersionInfo& versionInfo) {
    return !Fails(SystemInfoCall::GetVersionExA) && Inner.GetVersionExA(versionInfo);
}

std::uint32_t FaultInjectingSystemInfo::GetWindowsDirectoryA(std::span<char> buffer) {
    return Fails(SystemInfoCall::GetWindowsDirectoryA) ? 0 : Inner.GetWindowsDirectoryA(buffer);
}

std::uint32_t FaultInjectingSystemInfo::GetSystemDirectoryA(std::span<char> buffer) {
    return Fails(SystemInfoCall::GetSystemDirectoryA) ? 0 : Inner.GetSystemDirectoryA(buffer);
}

std::uint32_t FaultInjectingSystemInfo::GetTempPathA(std::span<char> buffer) {
    return Fails(SystemInfoCall::GetTempPathA) ? 0 : Inner.GetTempPathA(buffer);
}

bool FaultInjectingSystemInfo::GetUserNameA(std::span<char> buffer, std::uint32_t& size) {
    return !Fails(SystemInfoCall::GetUserNameA) && Inner.GetUserNameA(buffer, size);
}

bool FaultInjectingSystemInfo::GetComputerNameA(std::span<char> buffer, std::uint32_t& size) {
    return !Fails(SystemInfoCall::GetComputerNameA) && Inner.GetComputerNameA(buffer, size);
}

std::uint32_t FaultInjectingSystemInfo::GetEnvironmentVariableA(std::string_view name,
                                                                std::span<char> buffer) {
    return Fails(SystemInfoCall::GetEnvironmentVariableA)
               ? 0
               : Inner.GetEnvironmentVariableA(name, buffer);
}

std::uint32_t FaultInjectingSystemInfo::GetLastError() {
    return Injected ? *Injected : Inner.GetLastError();
}

} // namespace platform
