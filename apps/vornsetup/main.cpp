// vornsetup: the setup launcher on Linux; for now it makes the sandbox machines that
// installations run against.
#include "platform/posix/sandbox_machine.h"

#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view Usage = R"(Usage: vornsetup --new-machine DIR [--family 95|NT]

Makes DIR a fresh sandbox machine: a folder that plays one Windows machine, with
its drives as folders (drive_c for C:\), a standard Windows layout (Windows,
system, temporary and program folders, WIN.INI, SYSTEM.INI, AUTOEXEC.BAT,
CONFIG.SYS), its registry in registry.reg (a REGEDIT4 file) and machine.ini,
which describes the system (family and version, user, computer, admin rights,
screen, memory, drives, [Environment] variables). Both files may be edited.
Files the machine reads when present: programs.ini (what a started program does:
its exit code, how long it runs, a file it writes or deletes) and
running_services.txt (the services that run, one name a line); it logs every
started program in processes.log.

Options:
  --family 95|NT   The Windows family the machine plays (default NT).
  -h, --help       Show this text.

Exit status: 0 when the machine was made, 1 when it could not be (DIR holds a
machine already, or cannot be written), 2 for a usage error.
)";

int UsageError(std::string_view message) {
    std::cerr << "vornsetup: " << message << "\nRun 'vornsetup --help' for usage.\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string folder;
    platform::WindowsFamily family = platform::WindowsFamily::WindowsNT;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::cout << Usage;
            return 0;
        }
        if ((argument == "--new-machine" || argument == "--family") && i + 1 == argc) {
            return UsageError(std::string(argument) + " needs a value");
        }
        if (argument == "--new-machine") {
            folder = argv[++i];
        } else if (argument == "--family") {
            const std::string_view value = argv[++i];
            if (value != "95" && value != "NT" && value != "nt") {
                return UsageError("--family takes 95 or NT");
            }
            family = value == "95" ? platform::WindowsFamily::Windows95
                                   : platform::WindowsFamily::WindowsNT;
        } else {
            return UsageError("unknown argument " + std::string(argument));
        }
    }
    if (folder.empty()) {
        return UsageError("--new-machine DIR is required");
    }
    const platform::SandboxMachine::OpenResult made =
        platform::SandboxMachine::Create(folder, family);
    if (!made.Machine) {
        std::cerr << "vornsetup: " << made.Error << "\n";
        return 1;
    }
    std::cout << "Made a Windows " << (family == platform::WindowsFamily::Windows95 ? "95" : "NT")
              << " machine in " << folder << "\n";
    return 0;
}
