// Programs on the sandbox machine: what a started program does comes from a list the
// test writes, and every start is logged where the test can read it.
#pragma once

#include "platform/files.h"
#include "platform/posix/sandbox_machine.h"
#include "platform/processes.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform {

/// One program of programs.ini: a section named by the program's Windows path, with
///
///     [C:\APP\UNINST.EXE]
///     ExitCode=3          ; what GetExitCodeProcess reports once it ended (default 0)
///     Ticks=2             ; checks that still find it running (default 0: ends at once)
///     Creates=C:\APP\RAN.TXT  ; a file it writes its command line into as it ends
///     Deletes=C:\APP\OLD.DLL  ; a file it deletes as it ends
struct SandboxProgram {
    std::string Path;
    std::uint32_t ExitCode = 0;
    std::uint32_t Ticks = 0;
    std::string Creates;
    std::string Deletes;
};

/// Nothing runs: a start finds the program file on the machine's drives (it must
/// exist, as on Windows) and takes its behaviour from programs.ini in the machine
/// folder; a file that is not listed there ends at once with exit code 0. Each check of
/// a running program (GetExitCodeProcess, a timed WaitForSingleObject) uses up one of
/// its ticks; an endless wait, closing its handle, a start that gives no handle
/// (WinExec, ShellExecuteExA without process::MaskNoCloseProcess) and ExitWindowsEx end
/// it at once. Every start and ExitWindowsEx appends a line to processes.log in the
/// machine folder: "CreateProcessA: " and the command line, "ShellExecuteExA: " and the
/// file with its parameters, "WinExec: " and the command line, "ExitWindowsEx: " and the
/// flags. ExitWindowsEx with process::ExitShutdown or ExitReboot also restarts the
/// machine, carrying out its pending moves. A program named without a folder is looked
/// for in the current, the system and the Windows folder. A program whose programs.ini
/// section is unreadable (a number that is none) fails to start with
/// process::ErrorBadExeFormat.
class SandboxProcesses final : public ProcessService {
public:
    static constexpr const char* ProgramsFile = "programs.ini";
    static constexpr const char* LogFile = "processes.log";

    /// Program files are looked up, and their effects made, through `files`.
    SandboxProcesses(SandboxMachine& machine, FileService& files)
        : Machine(machine), Files(files) {}
    SandboxProcesses(const SandboxProcesses&) = delete;
    SandboxProcesses& operator=(const SandboxProcesses&) = delete;

    /// Adds the program to programs.ini, replacing its section if it has one.
    static bool DescribeProgram(const SandboxMachine& machine, const SandboxProgram& program);
    /// The lines of processes.log, oldest first.
    std::vector<std::string> Log() const;

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
    std::uint32_t GetLastError() override { return LastError; }

private:
    struct Process {
        SandboxProgram Program;
        std::string CommandLine;
        bool Ended = false;
    };

    bool Fail(std::uint32_t error) {
        LastError = error;
        return false;
    }
    /// The program file a command line names, as a full Windows path; 0 or the error.
    std::uint32_t FindProgram(std::string_view commandLine, std::string& program);
    /// How a name is looked for: exactly as given (CreateProcessA's application name),
    /// also in the system and Windows folders (ShellExecuteExA's file), and there with
    /// ".EXE" added when it has no extension (a command line's program).
    enum class FileSearch { Exactly, AsDocument, AsProgram };
    /// The file `name` names, looked for where Windows looks; 0 or the error.
    std::uint32_t FindFile(std::string_view name, FileSearch search, std::string& found);
    /// Starts `program`; its handle, or NullProcess when it was not wanted and the
    /// program ended at once. False, with the error set, when it cannot start.
    bool Start(const std::string& program, const std::string& commandLine, bool wantHandle,
               ProcessHandle& handle, std::uint32_t& processId);
    /// One check of a running process: true when it has ended (now or before).
    bool Check(Process& process);
    void End(Process& process);
    void AppendLog(const std::string& line) const;
    Process* Find(ProcessHandle handle);

    SandboxMachine& Machine;
    FileService& Files;
    std::map<std::intptr_t, Process> Processes;
    std::intptr_t NextHandle = 0x200;
    std::uint32_t NextProcessId = 0x100;
    std::uint32_t LastError = 0;
};

} // namespace platform
