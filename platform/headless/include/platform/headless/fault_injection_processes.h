// Programs that fail on purpose to start, to be waited for or to report their end.
#pragma once

#include "platform/headless/fault_injection.h"
#include "platform/processes.h"

namespace platform {

enum class ProcessCall {
    CreateProcessA,
    ShellExecuteExA,
    WinExec,
    WaitForSingleObject,
    GetExitCodeProcess,
    CloseHandle,
    ExitWindowsEx,
};

/// Passes every call to `inner` unless the plan fails it: then nothing starts or
/// changes, the call returns its failure value (false, WaitFailed, or for WinExec the
/// planned error as its result; ShellExecuteExA's InstApp 0) and GetLastError reports
/// the planned error.
class FaultInjectingProcesses final : public ProcessService {
public:
    explicit FaultInjectingProcesses(ProcessService& inner) : Inner(inner) {}

    FaultPlan<ProcessCall> Plan;

    bool CreateProcessA(const char* applicationName, const char* commandLine,
                        std::uint32_t creationFlags, const char* currentDirectory,
                        const StartupInfo& startupInfo,
                        ProcessInformation& processInformation) override;
    bool ShellExecuteExA(ShellExecuteInfo& executeInfo) override;
    unsigned WinExec(std::string_view commandLine, unsigned show) override;
    std::uint32_t WaitForSingleObject(ProcessHandle process, std::uint32_t milliseconds) override;
    bool GetExitCodeProcess(ProcessHandle process, std::uint32_t& exitCode) override;
    bool CloseHandle(ProcessHandle process) override;
    bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
    std::uint32_t GetLastError() override;

private:
    bool Fails(ProcessCall call);

    ProcessService& Inner;
    std::optional<std::uint32_t> Injected;
};

} // namespace platform
