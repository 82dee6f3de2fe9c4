// The machine a setup program installs on: the sandbox machine on Linux, the running
// Windows system on Windows. Each has its own source file.
#pragma once

#include "platform/files.h"
#include "platform/library.h"
#include "platform/processes.h"
#include "platform/system_info.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

namespace vornsetup {

class SetupMachine {
public:
    virtual ~SetupMachine() = default;
    virtual platform::FileService& Files() = 0;
    virtual platform::SystemInfoService& System() = 0;
    virtual platform::ProcessService& Processes() = 0;
    virtual platform::LibraryService& Libraries() = 0;
    /// Word 1 of the context block: the program's module handle on Windows, 0 on the
    /// sandbox, where the engine is told the machine's folder instead.
    virtual std::uintptr_t InstanceWord() = 0;
    /// The sandbox machine's folder; empty on Windows.
    virtual std::string SandboxFolder() const = 0;
    /// Shows the host folder as the machine's drive D:, read-only, as the installation
    /// medium the setup runs from; returns an error text, empty on success.
    virtual std::string InsertMedium(const std::string& hostFolder) {
        return hostFolder + ": only a sandbox machine takes a medium";
    }
    /// Carries out the exit action the engine left (restart Windows or reboot); returns
    /// an error text, empty on success.
    virtual std::string Restart(std::int32_t exitAction, std::ostream& out) = 0;
};

struct MachineOpenResult {
    std::unique_ptr<SetupMachine> Machine;
    std::string Error;
};

/// The machine of the run: on Linux the sandbox machine in `folder`, on Windows the
/// running system (`folder` is empty).
MachineOpenResult OpenSetupMachine(const std::string& folder);

/// The engine library's file name as the setup program loads it.
std::string EngineLibraryPath();

/// Starts the machine again as Windows does: carries out the replacements scheduled
/// for the next start. Returns the program's exit status.
int RestartMachine(const std::string& folder, std::ostream& out, std::ostream& err);

/// Makes `folder` a fresh sandbox machine of the Windows 95 or NT family.
int MakeMachine(const std::string& folder, bool windows95, std::ostream& out, std::ostream& err);

/// Whether --machine and --restart apply (the sandbox) or not (Windows).
bool HasSandboxMachines();
/// The name the program's messages start with.
const char* ProgramName();

} // namespace vornsetup
