// The uninstaller's services on a sandbox machine.
#include "sandbox_services.h"

namespace rescind {

SandboxServices::OpenResult SandboxServices::Open(const std::filesystem::path& folder,
                                                  platform::MessageBoxService& boxes) {
    platform::SandboxMachine::OpenResult machine = platform::SandboxMachine::Open(folder);
    if (!machine.Machine) {
        return {nullptr, machine.Error};
    }
    platform::SandboxRegistry::OpenResult registry =
        platform::SandboxRegistry::Open(*machine.Machine);
    if (!registry.Registry) {
        return {nullptr, registry.Error};
    }
    return {std::unique_ptr<SandboxServices>(new SandboxServices(
                std::move(machine.Machine), std::move(registry.Registry), boxes)),
            {}};
}

SandboxServices::SandboxServices(std::unique_ptr<platform::SandboxMachine> machine,
                                 std::unique_ptr<platform::SandboxRegistry> registry,
                                 platform::MessageBoxService& boxes)
    : MachinePointer(std::move(machine)), Registry(std::move(registry)), Files(*MachinePointer),
      System(*MachinePointer), Profile(Files, MachinePointer->Description().WindowsDirectory),
      Processes(*MachinePointer, Files), ServiceControl(*MachinePointer, *Registry),
      ProgramManager(Files, MachinePointer->Description().WindowsDirectory),
      Dde(&ProgramManager), Bundle{Files,          *Registry, Profile,      System, Processes,
                                   ServiceControl, Dde,       LibraryCalls, boxes} {}

} // namespace rescind
