// The setup program's machine on Linux: a sandbox machine folder. A restart or reboot
// the engine asks for is recorded in the folder and carried out by `--restart`.
#include "dde_client.h"
#include "installer/engine/install_context.h"
#include "platform/ini_text.h"
#include "platform/posix/sandbox_dde.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_machine.h"
#include "platform/posix/sandbox_processes.h"
#include "platform/posix/sandbox_system_info.h"
#include "platform/program.h"
#include "setup_machine.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vornsetup {

namespace {

// The record of a restart the engine asked for, in the machine folder.
constexpr const char* RestartRecordFile = "restart_pending.txt";

class SandboxSetupMachine final : public SetupMachine {
public:
    explicit SandboxSetupMachine(std::unique_ptr<platform::SandboxMachine> machine)
        : Machine(std::move(machine)), FileCalls(*Machine), SystemCalls(*Machine),
          ProcessCalls(*Machine, FileCalls), Loader(platform::MakeSystemLibraryService()) {}

    platform::FileService& Files() override { return FileCalls; }
    platform::SystemInfoService& System() override { return SystemCalls; }
    platform::ProcessService& Processes() override { return ProcessCalls; }
    platform::LibraryService& Libraries() override { return *Loader; }
    std::uintptr_t InstanceWord() override { return 0; }
    std::string SandboxFolder() const override { return Machine->Folder().string(); }

    std::string InsertMedium(const std::string& hostFolder) override {
        std::string error;
        return Machine->SetMedium('D', hostFolder, error) ? std::string() : error;
    }

    std::string Restart(std::int32_t exitAction, std::ostream& out) override {
        const bool reboot = exitAction == vorn::exit_action::Reboot;
        std::ofstream record(Machine->Folder() / RestartRecordFile, std::ios::trunc);
        record << (reboot ? "reboot" : "restart Windows") << "\n";
        if (!record) {
            return "cannot record the restart in " + Machine->Folder().string();
        }
        out << "The installation asks to " << (reboot ? "reboot the machine" : "restart Windows")
            << ": run vornsetup --restart " << Machine->Folder().string() << "\n";
        return {};
    }

private:
    std::unique_ptr<platform::SandboxMachine> Machine;
    platform::SandboxFiles FileCalls;
    platform::SandboxSystemInfo SystemCalls;
    platform::SandboxProcesses ProcessCalls;
    std::unique_ptr<platform::LibraryService> Loader;
};

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Trim(std::string text) {
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// WININIT.INI's [rename] section, carried out as Windows 95 does at start-up: each line
// "target=source" replaces the target by the source, "NUL=source" deletes the source;
// the file is then kept as WININIT.BAK.
int ApplyWininit(platform::SandboxMachine& machine, platform::FileService& files,
                 std::ostream& out) {
    const std::string wininit = machine.Description().WindowsDirectory + "\\WININIT.INI";
    const platform::SandboxPath path = machine.Resolve(wininit);
    if (path.Error != 0 || !path.Exists) {
        return 0;
    }
    int failed = 0;
    const platform::IniText ini = platform::IniText::Parse(ReadText(path.Native));
    for (const std::string& line : ini.SectionLines("rename")) {
        const auto equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string target = Trim(line.substr(0, equals));
        const std::string source = Trim(line.substr(equals + 1));
        bool done = false;
        if (target == "NUL" || target == "nul") {
            done = files.DeleteFileA(source);
            out << "  delete " << source;
        } else {
            files.SetFileAttributesA(target, platform::file::AttributeNormal);
            files.DeleteFileA(target);
            done = files.MoveFileA(source, target);
            out << "  " << source << " -> " << target;
        }
        out << (done ? "\n" : " (failed)\n");
        failed += done ? 0 : 1;
    }
    const std::string backup = machine.Description().WindowsDirectory + "\\WININIT.BAK";
    files.DeleteFileA(backup);
    files.MoveFileA(wininit, backup);
    return failed;
}

} // namespace

bool HasSandboxMachines() {
    return true;
}

const char* ProgramName() {
    return "vornsetup";
}

std::string EngineLibraryPath() {
    const std::filesystem::path program = platform::ProgramPath();
    return (program.parent_path() / "libvorn0132.so").string();
}

MachineOpenResult OpenSetupMachine(const std::string& folder) {
    platform::SandboxMachine::OpenResult opened = platform::SandboxMachine::Open(folder);
    if (!opened.Machine) {
        return {nullptr, opened.Error};
    }
    return {std::make_unique<SandboxSetupMachine>(std::move(opened.Machine)), {}};
}

int MakeMachine(const std::string& folder, bool windows95, std::ostream& out, std::ostream& err) {
    const platform::SandboxMachine::OpenResult made =
        platform::SandboxMachine::Create(folder, windows95 ? platform::WindowsFamily::Windows95
                                                           : platform::WindowsFamily::WindowsNT);
    if (!made.Machine) {
        err << "vornsetup: " << made.Error << "\n";
        return 1;
    }
    out << "Made a Windows " << (windows95 ? "95" : "NT") << " machine in " << folder << "\n";
    return 0;
}

int RestartMachine(const std::string& folder, std::ostream& out, std::ostream& err) {
    platform::SandboxMachine::OpenResult opened = platform::SandboxMachine::Open(folder);
    if (!opened.Machine) {
        err << "vornsetup: " << opened.Error << "\n";
        return 1;
    }
    platform::SandboxMachine& machine = *opened.Machine;
    int failed = 0;
    {
        platform::SandboxFiles files(machine);
        out << "Restarting the machine in " << folder << "\n";
        failed += ApplyWininit(machine, files, out);
    }
    for (const platform::PendingRename& rename : machine.PendingRenames()) {
        out << "  " << rename.Source << " -> "
            << (rename.Target.empty() ? std::string("(deleted)") : rename.Target) << "\n";
    }
    failed += machine.Restart();
    std::error_code ignored;
    std::filesystem::remove(machine.Folder() / RestartRecordFile, ignored);
    if (failed != 0) {
        err << "vornsetup: " << failed << " scheduled replacement" << (failed == 1 ? "" : "s")
            << " could not be carried out\n";
        return 1;
    }
    return 0;
}

int DdeCommand(const std::string& folder, const std::string& topic,
               const std::optional<std::string>& execute, std::ostream& out, std::ostream& err) {
    platform::SandboxMachine::OpenResult opened = platform::SandboxMachine::Open(folder);
    if (!opened.Machine) {
        err << "vornsetup: " << opened.Error << "\n";
        return 1;
    }
    // The engine of a run on that machine listens in the machine's folder.
    platform::SandboxDde dde(nullptr, opened.Machine->Folder());
    return RunDdeClient(dde, topic, execute, out, err);
}

} // namespace vornsetup
