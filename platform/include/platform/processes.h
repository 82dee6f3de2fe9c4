// Starting programs, waiting for them and reading their exit codes, and ending the
// Windows session, with the Win32 names, arguments, results and error codes of their
// ANSI forms (CreateProcessA, ShellExecuteExA, WinExec, WaitForSingleObject,
// GetExitCodeProcess, ExitWindowsEx). The control's narrower ShellService stays apart.
#pragma once

#include "platform/unique_handle.h"
#include "platform/window_handle.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

/// A started process (the HANDLE of PROCESS_INFORMATION); NullProcess when none.
enum class ProcessHandle : std::intptr_t {};
inline constexpr ProcessHandle NullProcess = ProcessHandle{0};

namespace process {
inline constexpr std::uint32_t StartfUseShowWindow = 0x1; ///< STARTF_USESHOWWINDOW
inline constexpr std::uint16_t ShowHide = 0;              ///< SW_HIDE
inline constexpr std::uint16_t ShowNormal = 1;            ///< SW_SHOWNORMAL
inline constexpr std::uint16_t ShowMinimized = 2;         ///< SW_SHOWMINIMIZED
inline constexpr std::uint16_t ShowMaximized = 3;         ///< SW_SHOWMAXIMIZED
inline constexpr std::uint16_t Show = 5;                  ///< SW_SHOW

inline constexpr std::uint32_t Infinite = 0xFFFFFFFFu;   ///< INFINITE
inline constexpr std::uint32_t WaitObject0 = 0;          ///< WAIT_OBJECT_0
inline constexpr std::uint32_t WaitTimeout = 0x102;      ///< WAIT_TIMEOUT
inline constexpr std::uint32_t WaitFailed = 0xFFFFFFFFu; ///< WAIT_FAILED
inline constexpr std::uint32_t StillActive = 259;        ///< STILL_ACTIVE

inline constexpr std::uint32_t MaskNoCloseProcess = 0x40; ///< SEE_MASK_NOCLOSEPROCESS
/// SEE_MASK_FLAG_NO_UI: without it a failure is also shown to the user in a message box.
inline constexpr std::uint32_t MaskFlagNoUi = 0x400;
inline constexpr std::intptr_t SeErrFileNotFound = 2; ///< SE_ERR_FNF

inline constexpr std::uint32_t ExitLogoff = 0;   ///< EWX_LOGOFF
inline constexpr std::uint32_t ExitShutdown = 1; ///< EWX_SHUTDOWN
inline constexpr std::uint32_t ExitReboot = 2;   ///< EWX_REBOOT

inline constexpr std::uint32_t ErrorDirectory = 267;    ///< ERROR_DIRECTORY
inline constexpr std::uint32_t ErrorBadExeFormat = 193; ///< ERROR_BAD_EXE_FORMAT
} // namespace process

/// The part of STARTUPINFOA the system sets: with process::StartfUseShowWindow in
/// `Flags`, the program's first window takes `ShowWindow`.
struct StartupInfo {
    std::uint32_t Flags = 0;
    std::uint16_t ShowWindow = process::ShowNormal;
};

/// PROCESS_INFORMATION without the thread: the thread handle Win32 also gives is
/// closed at once, as nothing here uses it. The caller owns `Process`.
struct ProcessInformation {
    ProcessHandle Process = NullProcess;
    std::uint32_t ProcessId = 0;
};

/// SHELLEXECUTEINFOA. An empty verb, parameter list or directory is passed as null: the
/// default verb, no parameters, the current directory. On return `InstApp` holds a
/// value above 32 on success or an SE_ERR_* code (SE_ERR_FNF for a missing file and for
/// a missing folder alike; the last error tells them apart), and with
/// process::MaskNoCloseProcess `Process` the started process, which the caller then owns.
struct ShellExecuteInfo {
    std::uint32_t Mask = 0;
    HWND Window = nullptr;
    std::string Verb;
    std::string File;
    std::string Parameters;
    std::string Directory;
    int Show = process::ShowNormal;
    std::intptr_t InstApp = 0;
    ProcessHandle Process = NullProcess;
};

/// Every call sets the last error on failure, as its Win32 namesake does.
class ProcessService {
public:
    virtual ~ProcessService() = default;

    /// Starts `applicationName` (exactly that file) or, when it is null, the program
    /// the command line names first: a quoted path, or the shortest run of words that
    /// names an existing file, ".EXE" added when it has no extension; a program found
    /// nowhere is ERROR_FILE_NOT_FOUND, even when its folder is missing. A null
    /// `currentDirectory` keeps the caller's. Security attributes, inherited handles
    /// and the environment block, which nothing here sets, are left out.
    virtual bool CreateProcessA(const char* applicationName, const char* commandLine,
                                std::uint32_t creationFlags, const char* currentDirectory,
                                const StartupInfo& startupInfo,
                                ProcessInformation& processInformation) = 0;
    virtual bool ShellExecuteExA(ShellExecuteInfo& executeInfo) = 0;
    /// Starts the program of `commandLine`, found as CreateProcessA finds it; a result
    /// above 31 means success, else 0 (out of resources), 2 (file not found) or 11 (bad
    /// format).
    virtual unsigned WinExec(std::string_view commandLine, unsigned show) = 0;

    /// process::WaitObject0 once the process has ended, WaitTimeout when it still runs
    /// after `milliseconds`, WaitFailed for a handle that is no process.
    virtual std::uint32_t WaitForSingleObject(ProcessHandle process,
                                              std::uint32_t milliseconds) = 0;
    /// The exit code, or process::StillActive while the process runs.
    virtual bool GetExitCodeProcess(ProcessHandle process, std::uint32_t& exitCode) = 0;
    /// Gives up the handle; the process runs on.
    virtual bool CloseHandle(ProcessHandle process) = 0;

    /// Ends the session: process::ExitLogoff, ExitShutdown or ExitReboot, with `reason`
    /// passed along (the uninstaller passes all bits set).
    virtual bool ExitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;

    virtual std::uint32_t GetLastError() = 0;
};

/// Closes a process handle through the service that gave it.
struct ProcessCloser {
    using Handle = ProcessHandle;
    static constexpr Handle Null = NullProcess;
    ProcessService* Processes = nullptr;
    void Release(Handle process) { Processes->CloseHandle(process); }
};
using UniqueProcess = UniqueHandle<ProcessCloser>;

} // namespace platform
