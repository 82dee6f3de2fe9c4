// The sandbox machine's programs: found on its drives, scripted by programs.ini, logged
// in processes.log.
#include "platform/posix/sandbox_processes.h"

#include "platform/ansi_text.h"
#include "platform/ini_text.h"

#include <charconv>
#include <fstream>
#include <optional>

namespace platform {

namespace fs = std::filesystem;

namespace {

// A list of a few programs is a few hundred bytes; anything past this is not one.
constexpr std::size_t MaxProgramsBytes = 64 * 1024;
// Windows' limits: a command line of 32767 characters, a path of 260.
constexpr std::size_t MaxCommandLine = 32767;
constexpr std::size_t MaxPath = 260;

std::optional<IniText> ReadPrograms(const SandboxMachine& machine) {
    std::ifstream file(machine.Folder() / SandboxProcesses::ProgramsFile, std::ios::binary);
    if (!file) {
        return IniText::Parse("");
    }
    std::string text(MaxProgramsBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad() || text.size() > MaxProgramsBytes) {
        return std::nullopt;
    }
    return IniText::Parse(text);
}

// A decimal number; an exit code may also be given as a negative one (-1 is 0xFFFFFFFF).
bool ParseNumber(std::string_view text, std::uint32_t& number, bool negativeAllowed) {
    const char* end = text.data() + text.size();
    if (negativeAllowed && !text.empty() && text.front() == '-') {
        std::int32_t negative = 0;
        auto [stop, error] = std::from_chars(text.data(), end, negative);
        number = static_cast<std::uint32_t>(negative);
        return error == std::errc{} && stop == end;
    }
    auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc{} && stop == end;
}

bool HasExtension(std::string_view path) {
    const std::size_t name = path.find_last_of("\\/");
    const std::size_t dot = path.rfind('.');
    return dot != std::string_view::npos && (name == std::string_view::npos || dot > name);
}

bool IsFullPath(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') ||
           (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

} // namespace

bool SandboxProcesses::DescribeProgram(const SandboxMachine& machine,
                                       const SandboxProgram& program) {
    std::optional<IniText> programs = ReadPrograms(machine);
    if (!programs) {
        return false;
    }
    programs->DeleteSection(program.Path);
    programs->SetValue(program.Path, "ExitCode", std::to_string(program.ExitCode));
    programs->SetValue(program.Path, "Ticks", std::to_string(program.Ticks));
    if (!program.Creates.empty()) {
        programs->SetValue(program.Path, "Creates", program.Creates);
    }
    if (!program.Deletes.empty()) {
        programs->SetValue(program.Path, "Deletes", program.Deletes);
    }
    std::ofstream file(machine.Folder() / ProgramsFile, std::ios::binary | std::ios::trunc);
    file << programs->Text();
    return static_cast<bool>(file);
}

std::vector<std::string> SandboxProcesses::Log() const {
    std::vector<std::string> lines;
    std::ifstream file(Machine.Folder() / LogFile, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        lines.push_back(line);
    }
    return lines;
}

void SandboxProcesses::AppendLog(const std::string& line) const {
    std::ofstream file(Machine.Folder() / LogFile, std::ios::binary | std::ios::app);
    file << line << '\n';
}

std::uint32_t SandboxProcesses::FindFile(std::string_view name, FileSearch search,
                                         std::string& found) {
    std::string file(name);
    if (search == FileSearch::AsProgram && !HasExtension(file)) {
        file += ".EXE";
    }
    std::vector<std::string> candidates{file};
    if (search != FileSearch::Exactly && !IsFullPath(file) &&
        file.find_first_of("\\/") == std::string::npos) {
        const MachineDescription& machine = Machine.Description();
        candidates.push_back(machine.SystemDirectory + "\\" + file);
        candidates.push_back(machine.WindowsDirectory + "\\" + file);
    }
    std::uint32_t error = winerror::FileNotFound;
    for (const std::string& candidate : candidates) {
        const std::uint32_t attributes = Files.GetFileAttributesA(candidate);
        if (attributes == file::InvalidAttributes) {
            error = candidate == file ? Files.GetLastError() : error;
            continue;
        }
        if ((attributes & file::AttributeDirectory) != 0) {
            return winerror::AccessDenied;
        }
        const SandboxPath path = Machine.Resolve(candidate);
        found = path.Windows();
        return 0;
    }
    return error;
}

std::uint32_t SandboxProcesses::FindProgram(std::string_view commandLine, std::string& program) {
    const std::string_view text = TrimBlanks(commandLine);
    if (text.empty()) {
        return winerror::PathNotFound;
    }
    if (commandLine.size() > MaxCommandLine) {
        return winerror::FilenameExcedRange;
    }
    if (text.front() == '"') {
        const std::size_t close = text.find('"', 1);
        const std::uint32_t error =
            FindFile(text.substr(1, close == std::string_view::npos ? text.npos : close - 1),
                     FileSearch::AsProgram, program);
        return error == winerror::PathNotFound ? winerror::FileNotFound : error;
    }
    // An unquoted path with blanks is read as Windows reads it: the shortest run of
    // words that names a file.
    for (std::size_t end = text.find(' ');; end = text.find(' ', end + 1)) {
        const std::uint32_t error = FindFile(text.substr(0, end), FileSearch::AsProgram, program);
        if (error == 0 || error == winerror::AccessDenied) {
            return error;
        }
        // No path beyond MAX_PATH names a file, so the search stops there.
        if (end == std::string_view::npos || end >= MaxPath) {
            return winerror::FileNotFound;
        }
    }
}

bool SandboxProcesses::Start(const std::string& program, const std::string& commandLine,
                             bool wantHandle, ProcessHandle& handle, std::uint32_t& processId) {
    std::optional<IniText> programs = ReadPrograms(Machine);
    if (!programs) {
        return Fail(process::ErrorBadExeFormat);
    }
    Process started;
    started.Program.Path = program;
    started.CommandLine = commandLine;
    // A program started by its short path is the one listed under its long path: both
    // name the same file.
    const std::filesystem::path file = Machine.Resolve(program).Native;
    for (const std::string& section : programs->SectionNames()) {
        const SandboxPath listed = Machine.Resolve(section);
        if (listed.Error != 0 || listed.Native != file) {
            continue;
        }
        SandboxProgram& behaviour = started.Program;
        const std::string exitCode = programs->Value(section, "ExitCode").value_or("0");
        const std::string ticks = programs->Value(section, "Ticks").value_or("0");
        if (!ParseNumber(exitCode, behaviour.ExitCode, true) ||
            !ParseNumber(ticks, behaviour.Ticks, false)) {
            return Fail(process::ErrorBadExeFormat);
        }
        behaviour.Creates = programs->Value(section, "Creates").value_or("");
        behaviour.Deletes = programs->Value(section, "Deletes").value_or("");
        break;
    }
    processId = NextProcessId;
    NextProcessId += 4;
    if (!wantHandle || started.Program.Ticks == 0) {
        End(started);
    }
    handle = NullProcess;
    if (wantHandle) {
        handle = ProcessHandle{NextHandle};
        Processes.emplace(NextHandle, std::move(started));
        NextHandle += 4;
    }
    return true;
}

void SandboxProcesses::End(Process& process) {
    if (process.Ended) {
        return;
    }
    process.Ended = true;
    if (!process.Program.Creates.empty()) {
        UniqueFile file(Files.CreateFileA(process.Program.Creates, file::GenericWrite, 0,
                                          file::CreateAlways, file::AttributeNormal),
                        FileCloser{&Files});
        const std::string text = process.CommandLine + "\r\n";
        std::uint32_t written = 0;
        if (file) {
            Files.WriteFile(file.Get(), text, written);
        }
    }
    if (!process.Program.Deletes.empty()) {
        Files.DeleteFileA(process.Program.Deletes);
    }
}

bool SandboxProcesses::Check(Process& process) {
    if (!process.Ended && process.Program.Ticks > 0) {
        --process.Program.Ticks;
        return false;
    }
    End(process);
    return true;
}

SandboxProcesses::Process* SandboxProcesses::Find(ProcessHandle handle) {
    auto it = Processes.find(static_cast<std::intptr_t>(handle));
    return it == Processes.end() ? nullptr : &it->second;
}

bool SandboxProcesses::CreateProcessA(const char* applicationName, const char* commandLine,
                                      std::uint32_t, const char* currentDirectory,
                                      const StartupInfo&, ProcessInformation& processInformation) {
    if (applicationName == nullptr && commandLine == nullptr) {
        return Fail(winerror::InvalidParameter);
    }
    if (currentDirectory != nullptr) {
        const std::uint32_t attributes = Files.GetFileAttributesA(currentDirectory);
        if (attributes == file::InvalidAttributes || (attributes & file::AttributeDirectory) == 0) {
            return Fail(process::ErrorDirectory);
        }
    }
    std::string program;
    const std::uint32_t error = applicationName != nullptr
                                    ? FindFile(applicationName, FileSearch::Exactly, program)
                                    : FindProgram(commandLine, program);
    if (error != 0) {
        return Fail(error);
    }
    const std::string line = commandLine != nullptr ? commandLine : applicationName;
    AppendLog("CreateProcessA: " + line);
    return Start(program, line, true, processInformation.Process, processInformation.ProcessId);
}

bool SandboxProcesses::ShellExecuteExA(ShellExecuteInfo& executeInfo) {
    executeInfo.Process = NullProcess;
    if (!executeInfo.Verb.empty() && !EqualsIgnoringCase(executeInfo.Verb, "open")) {
        // Only programs run here; no document type has another verb.
        executeInfo.InstApp = 31; // SE_ERR_NOASSOC
        return Fail(1155);        // ERROR_NO_ASSOCIATION
    }
    std::string program;
    const std::uint32_t error = FindFile(executeInfo.File, FileSearch::AsDocument, program);
    if (error != 0) {
        // The shell's own code calls a missing folder a missing file; the last error
        // tells them apart.
        executeInfo.InstApp = process::SeErrFileNotFound;
        return Fail(error);
    }
    std::string line = executeInfo.File;
    if (!executeInfo.Parameters.empty()) {
        line += " " + executeInfo.Parameters;
    }
    AppendLog("ShellExecuteExA: " + line);
    std::uint32_t processId = 0;
    const bool wantHandle = (executeInfo.Mask & process::MaskNoCloseProcess) != 0;
    if (!Start(program, line, wantHandle, executeInfo.Process, processId)) {
        executeInfo.InstApp = 0;
        return false;
    }
    executeInfo.InstApp = 42;
    return true;
}

unsigned SandboxProcesses::WinExec(std::string_view commandLine, unsigned) {
    std::string program;
    std::uint32_t error = FindProgram(commandLine, program);
    ProcessHandle none = NullProcess;
    std::uint32_t processId = 0;
    if (error == 0) {
        AppendLog("WinExec: " + std::string(commandLine));
        if (Start(program, std::string(commandLine), false, none, processId)) {
            return 33;
        }
        error = LastError;
    }
    LastError = error;
    // WinExec's own codes: 2 for a missing program, 11 for a file that is no program.
    return error == winerror::FileNotFound ? error : 11;
}

std::uint32_t SandboxProcesses::WaitForSingleObject(ProcessHandle handle,
                                                    std::uint32_t milliseconds) {
    Process* process = Find(handle);
    if (process == nullptr) {
        LastError = winerror::InvalidHandle;
        return process::WaitFailed;
    }
    if (milliseconds == process::Infinite) {
        End(*process);
    }
    return Check(*process) ? process::WaitObject0 : process::WaitTimeout;
}

bool SandboxProcesses::GetExitCodeProcess(ProcessHandle handle, std::uint32_t& exitCode) {
    Process* process = Find(handle);
    if (process == nullptr) {
        return Fail(winerror::InvalidHandle);
    }
    exitCode = Check(*process) ? process->Program.ExitCode : process::StillActive;
    return true;
}

bool SandboxProcesses::CloseHandle(ProcessHandle handle) {
    Process* process = Find(handle);
    if (process == nullptr) {
        return Fail(winerror::InvalidHandle);
    }
    End(*process);
    Processes.erase(static_cast<std::intptr_t>(handle));
    return true;
}

bool SandboxProcesses::ExitWindowsEx(std::uint32_t flags, std::uint32_t) {
    AppendLog("ExitWindowsEx: " + std::to_string(flags));
    for (auto& [handle, process] : Processes) {
        End(process);
    }
    if ((flags & (process::ExitShutdown | process::ExitReboot)) != 0) {
        Machine.Restart();
    }
    return true;
}

} // namespace platform
