// Programs on Windows: pass-throughs, with the command line copied into the writable
// buffer CreateProcessA wants.
#include "platform/win32/win32_processes.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <string>
#include <vector>

namespace platform {

namespace {

HANDLE Native(ProcessHandle process) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(process));
}

ProcessHandle FromNative(HANDLE process) {
    return ProcessHandle{reinterpret_cast<std::intptr_t>(process)};
}

const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

} // namespace

bool Win32Processes::CreateProcessA(const char* applicationName, const char* commandLine,
                                    std::uint32_t creationFlags, const char* currentDirectory,
                                    const StartupInfo& startupInfo,
                                    ProcessInformation& processInformation) {
    std::vector<char> writableCommandLine;
    if (commandLine != nullptr) {
        writableCommandLine.assign(commandLine,
                                   commandLine + std::char_traits<char>::length(commandLine) + 1);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = startupInfo.Flags;
    startup.wShowWindow = startupInfo.ShowWindow;
    PROCESS_INFORMATION native{};
    if (!::CreateProcessA(
            applicationName, writableCommandLine.empty() ? nullptr : writableCommandLine.data(),
            nullptr, nullptr, FALSE, creationFlags, nullptr, currentDirectory, &startup, &native)) {
        return false;
    }
    ::CloseHandle(native.hThread);
    processInformation.Process = FromNative(native.hProcess);
    processInformation.ProcessId = native.dwProcessId;
    return true;
}

bool Win32Processes::ShellExecuteExA(ShellExecuteInfo& executeInfo) {
    SHELLEXECUTEINFOA native{};
    native.cbSize = sizeof native;
    native.fMask = executeInfo.Mask;
    native.hwnd = reinterpret_cast<::HWND>(executeInfo.Window);
    native.lpVerb = OrNull(executeInfo.Verb);
    native.lpFile = executeInfo.File.c_str();
    native.lpParameters = OrNull(executeInfo.Parameters);
    native.lpDirectory = OrNull(executeInfo.Directory);
    native.nShow = executeInfo.Show;
    const bool started = ::ShellExecuteExA(&native) != FALSE;
    executeInfo.InstApp = reinterpret_cast<std::intptr_t>(native.hInstApp);
    executeInfo.Process = FromNative(native.hProcess);
    return started;
}

unsigned Win32Processes::WinExec(std::string_view commandLine, unsigned show) {
    const std::string commandLineZ(commandLine);
    return ::WinExec(commandLineZ.c_str(), show);
}

std::uint32_t Win32Processes::WaitForSingleObject(ProcessHandle process,
                                                  std::uint32_t milliseconds) {
    return ::WaitForSingleObject(Native(process), milliseconds);
}

bool Win32Processes::GetExitCodeProcess(ProcessHandle process, std::uint32_t& exitCode) {
    DWORD native = 0;
    const bool done = ::GetExitCodeProcess(Native(process), &native) != FALSE;
    exitCode = native;
    return done;
}

bool Win32Processes::CloseHandle(ProcessHandle process) {
    return ::CloseHandle(Native(process)) != FALSE;
}

bool Win32Processes::ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    return ::ExitWindowsEx(flags, reason) != FALSE;
}

std::uint32_t Win32Processes::GetLastError() {
    return ::GetLastError();
}

} // namespace platform
