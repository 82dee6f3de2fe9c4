// Programs on Windows: a pass-through to KERNEL32, SHELL32 and USER32.
#pragma once

#include "platform/processes.h"

namespace platform {

class Win32Processes final : public ProcessService {
public:
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
};

} // namespace platform
