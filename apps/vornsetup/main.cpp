// vornsetup (SETUP.EXE on Windows): the setup program. It opens a setup archive, hands
// it to the install engine and carries out the restart the engine asks for; on Linux
// it also makes the sandbox machines installations run on, and restarts them.
#include "dde_client.h"
#include "setup_machine.h"
#include "setup_run.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Usage =
    R"(Usage: vornsetup [--machine DIR [--medium FOLDER]] [--silent] ARCHIVE [ENGINE OPTIONS]
       vornsetup --list ARCHIVE
       vornsetup --restart DIR
       vornsetup --new-machine DIR [--family 95|NT]
       vornsetup --dde DIR TOPIC [--execute DATA | --request]

Runs the installation in ARCHIVE: opens the archive (and its later disk files,
ARCHIVE with the extensions W02, W03 ...), loads the install engine
(libvorn0132.so beside this program; VORN0132.DLL on Windows, where this program
is SETUP.EXE) and starts it with the archive's script. ENGINE OPTIONS are passed
to the engine as its command line ("/T" test mode, "/M" manual mode,
"/M=FILE" answer file, "/X DIR" extract). When the engine asks for a restart,
it is recorded in the machine folder; --restart carries it out. On a sandbox
machine the engine sees this program as C:\SETUP.EXE, so a relative answer file
(/M=ANSWERS.TXT) is looked for in the machine's C:\. With --medium it sees
this program on drive D: instead, as D:\NAME.EXE for ARCHIVE NAME.VRN, and looks
for the later disk files (D:\NAME.W02 ...) and a relative answer file there.

Options:
  --machine DIR    The sandbox machine to install on (required on Linux).
  --medium FOLDER  Show FOLDER (usually the archive's own) to the machine as its
                   drive D:, read-only, the medium the setup runs from. The machine
                   keeps it in media.txt ("D: /host/folder" a line) for every later
                   run. A disk file missing there is asked for; a silent run aborts.
  --silent         No progress, and engine message boxes answer OK unseen.
  --engine FILE    Load this engine library instead.
  --list ARCHIVE   Print what the archive holds and check every file in it.
  --restart DIR    Start the sandbox machine again as Windows does: carry out the
                   replacements scheduled for the next start (the [rename] section
                   of WININIT.INI, then the delayed moves) and forget them.
  --new-machine DIR
                   Make DIR a fresh sandbox machine: a folder that plays one Windows
                   machine, with its drives as folders (drive_c for C:\), a standard
                   Windows layout, its registry in registry.reg (a REGEDIT4 file) and
                   machine.ini, which describes the system (family and version, user,
                   computer, admin rights, screen, memory, drives, [Environment]
                   variables, optional [Volumes] "C=1A2B-3C4D LABEL" and [Network]
                   "User=NAME" and "F=\\SERVER\SHARE" for a remote drive's share).
                   Both files may be edited. Files the machine reads when
                   present: programs.ini (what a started program does: its exit code,
                   how long it runs, a file it writes or deletes) and
                   running_services.txt (the services that run, one name a line) and
                   held_open.txt (files a program holds open, in use for every other,
                   one Windows path a line); it logs every started program in
                   processes.log and every added font in fonts_added.txt.
  --family 95|NT   The Windows family a new machine plays (default NT).
  --dde DIR TOPIC  Talk to the installation running on machine DIR (any DIR on
                   Windows) through its DDE service "VornInst", as another program
                   would. With --execute DATA: topic CANCEL cancels the run, any
                   other topic sets the variable of that name to DATA. With
                   --request (the default): prints the value of the variable TOPIC.
                   The engine answers between its actions.
  -h, --help       Show this text.

Exit status: 0 when the installation completed (or the machine was made, the
archive is sound, the restart went through), 1 when it did not, 2 for a usage
error.
)";

int UsageError(std::string_view message) {
    std::cerr << vornsetup::ProgramName() << ": " << message << "\nRun '"
              << vornsetup::ProgramName() << " --help' for usage.\n";
    return 2;
}

// --dde DIR TOPIC [--execute DATA | --request]: the arguments after --dde.
int DdeTask(int count, char** arguments) {
    if (count < 2) {
        return UsageError("--dde needs a machine folder and a topic");
    }
    std::optional<std::string> execute;
    bool request = false;
    for (int i = 2; i < count; ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--execute" && i + 1 < count && !execute) {
            execute = arguments[++i];
        } else if (argument == "--request" && !request) {
            request = true;
        } else {
            return UsageError("--dde takes --execute DATA or --request, not " +
                              std::string(argument));
        }
    }
    if (execute && request) {
        return UsageError("--execute and --request go alone");
    }
    return vornsetup::DdeCommand(arguments[0], arguments[1], execute, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    enum class Task { Run, List, Restart, NewMachine } task = Task::Run;
    std::string folder;
    std::string machine;
    std::string medium;
    vornsetup::RunOptions run;
    bool windows95 = false;
    bool familyGiven = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::cout << Usage;
            return 0;
        }
        if (argument == "--dde") {
            return DdeTask(argc - i - 1, argv + i + 1);
        }
        const bool takesValue = argument == "--new-machine" || argument == "--family" ||
                                argument == "--machine" || argument == "--engine" ||
                                argument == "--list" || argument == "--restart" ||
                                argument == "--medium";
        if (takesValue && i + 1 == argc) {
            return UsageError(std::string(argument) + " needs a value");
        }
        if (argument == "--new-machine" || argument == "--restart" || argument == "--list") {
            if (task != Task::Run) {
                return UsageError("--new-machine, --restart and --list go alone");
            }
            task = argument == "--list"      ? Task::List
                   : argument == "--restart" ? Task::Restart
                                             : Task::NewMachine;
            folder = argv[++i];
        } else if (argument == "--family") {
            const std::string_view value = argv[++i];
            if (value != "95" && value != "NT" && value != "nt") {
                return UsageError("--family takes 95 or NT");
            }
            windows95 = value == "95";
            familyGiven = true;
        } else if (argument == "--machine") {
            machine = argv[++i];
        } else if (argument == "--medium") {
            medium = argv[++i];
        } else if (argument == "--engine") {
            run.EnginePath = argv[++i];
        } else if (argument == "--silent") {
            run.Silent = true;
        } else if (argument.starts_with("--")) {
            return UsageError("unknown argument " + std::string(argument));
        } else {
            break;
        }
    }
    if (task != Task::Run) {
        if (i != argc) {
            return UsageError("unexpected argument " + std::string(argv[i]));
        }
        if (familyGiven && task != Task::NewMachine) {
            return UsageError("--family goes with --new-machine");
        }
        if (task != Task::List && !vornsetup::HasSandboxMachines()) {
            return UsageError("sandbox machines are made and restarted on Linux only");
        }
        switch (task) {
        case Task::List:
            return vornsetup::ListArchive(folder, std::cout, std::cerr);
        case Task::Restart:
            return vornsetup::RestartMachine(folder, std::cout, std::cerr);
        default:
            return vornsetup::MakeMachine(folder, windows95, std::cout, std::cerr);
        }
    }
    if (i == argc) {
        return UsageError("ARCHIVE is required");
    }
    if (familyGiven) {
        return UsageError("--family goes with --new-machine");
    }
    if (!medium.empty() && machine.empty()) {
        return UsageError("--medium goes with --machine");
    }
    run.ArchivePath = argv[i++];
    for (; i < argc; ++i) {
        run.CommandLine += (run.CommandLine.empty() ? "" : " ") + std::string(argv[i]);
    }
    if (vornsetup::HasSandboxMachines() && machine.empty()) {
        return UsageError("--machine DIR is required: the installation runs on a sandbox machine");
    }
    if (!vornsetup::HasSandboxMachines() && !machine.empty()) {
        return UsageError("--machine is for sandbox machines; on Windows SETUP installs here");
    }
    vornsetup::MachineOpenResult opened = vornsetup::OpenSetupMachine(machine);
    if (!opened.Machine) {
        std::cerr << vornsetup::ProgramName() << ": " << opened.Error << "\n";
        return 1;
    }
    if (!medium.empty()) {
        if (const std::string error = opened.Machine->InsertMedium(medium); !error.empty()) {
            std::cerr << vornsetup::ProgramName() << ": " << error << "\n";
            return 1;
        }
        run.SetupProgram = "D:\\" + std::filesystem::path(run.ArchivePath).stem().string() + ".EXE";
    }
    return vornsetup::RunSetup(*opened.Machine, run, std::cout, std::cerr);
}
