// Programs that fail on purpose at a chosen use of a chosen call.
#include "platform/headless/fault_injection_processes.h"

namespace platform {

bool FaultInjectingProcesses::Fails(ProcessCall call) {
    Injected = Plan.Use(call);
    return Injected.has_value();
}

bool FaultInjectingProcesses::CreateProcessA(const char* applicationName, const char* commandLine,
                                             std::uint32_t creationFlags,
                                             const char* currentDirectory,
                                             const StartupInfo& startupInfo,
                                             ProcessInformation& processInformation) {
    return !Fails(ProcessCall::CreateProcessA) &&
           Inner.CreateProcessA(applicationName, commandLine, creationFlags, currentDirectory,
                                startupInfo, processInformation);
}

bool FaultInjectingProcesses::ShellExecuteExA(ShellExecuteInfo& executeInfo) {
    if (Fails(ProcessCall::ShellExecuteExA)) {
        executeInfo.InstApp = 0;
        executeInfo.Process = NullProcess;
        return false;
    }
    return Inner.ShellExecuteExA(executeInfo);
}

unsigned FaultInjectingProcesses::WinExec(std::string_view commandLine, unsigned show) {
    return Fails(ProcessCall::WinExec) ? static_cast<unsigned>(*Injected)
                                       : Inner.WinExec(commandLine, show);
}

std::uint32_t FaultInjectingProcesses::WaitForSingleObject(ProcessHandle process,
                                                           std::uint32_t milliseconds) {
    return Fails(ProcessCall::WaitForSingleObject)
               ? process::WaitFailed
               : Inner.WaitForSingleObject(process, milliseconds);
}

bool FaultInjectingProcesses::GetExitCodeProcess(ProcessHandle process, std::uint32_t& exitCode) {
    return !Fails(ProcessCall::GetExitCodeProcess) && Inner.GetExitCodeProcess(process, exitCode);
}

bool FaultInjectingProcesses::CloseHandle(ProcessHandle process) {
    return !Fails(ProcessCall::CloseHandle) && Inner.CloseHandle(process);
}

bool FaultInjectingProcesses::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    return !Fails(ProcessCall::ExitWindowsEx) && Inner.ExitWindowsEx(flags, reason);
}

std::uint32_t FaultInjectingProcesses::GetLastError() {
    return Injected ? *Injected : Inner.GetLastError();
}

} // namespace platform
