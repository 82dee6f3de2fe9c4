// The sandbox machine as one bundle of services, for a library that runs against it.
#include "platform/headless/headless_message_box.h"
#include "platform/machine_services.h"
#include "platform/posix/sandbox_access_check.h"
#include "platform/posix/sandbox_dde.h"
#include "platform/posix/sandbox_drives.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_fonts.h"
#include "platform/posix/sandbox_install_display.h"
#include "platform/posix/sandbox_library.h"
#include "platform/posix/sandbox_machine.h"
#include "platform/posix/sandbox_processes.h"
#include "platform/posix/sandbox_profile.h"
#include "platform/posix/sandbox_program_manager.h"
#include "platform/posix/sandbox_registry.h"
#include "platform/posix/sandbox_service_control.h"
#include "platform/posix/sandbox_system_info.h"
#include "platform/posix/sandbox_user_prompts.h"
#include "platform/posix/sandbox_versions.h"
#include "platform/posix/sandbox_window_messages.h"

#include <cstdlib>
#include <utility>

namespace platform {

namespace {

constexpr const char* MachineVariable = "VORN_MACHINE";
constexpr const char* SetupProgramVariable = "VORN_SETUP_PROGRAM";
constexpr const char* DefaultSetupProgram = "C:\\SETUP.EXE";

std::string FromEnvironment(const std::string& given, const char* variable) {
    if (!given.empty()) {
        return given;
    }
    const char* value = std::getenv(variable);
    return value != nullptr ? std::string(value) : std::string();
}

class SandboxMachineServices final : public MachineServices {
public:
    SandboxMachineServices(std::unique_ptr<SandboxMachine> machine,
                           std::unique_ptr<SandboxRegistry> registry, std::string setupProgram)
        : Machine(std::move(machine)), RegistryCalls(std::move(registry)),
          SetupProgram(std::move(setupProgram)), FileCalls(*Machine), SystemCalls(*Machine),
          ProfileCalls(FileCalls, Machine->Description().WindowsDirectory),
          ProgramManager(FileCalls, Machine->Description().WindowsDirectory),
          DdeCalls(&ProgramManager, Machine->Folder()), MessageCalls(DdeCalls, Machine->Folder()),
          VersionCalls(FileCalls, Machine->Description().WindowsDirectory,
                       Machine->Description().SystemDirectory),
          ProcessCalls(*Machine, FileCalls), ServiceCalls(*Machine, *RegistryCalls),
          LibraryCalls(*Machine), DisplayCalls(Machine->Folder()), DriveCalls(*Machine),
          FontCalls(*Machine, FileCalls), AccessCalls(*Machine), PromptCalls(*Machine) {}

    FileService& Files() override { return FileCalls; }
    SystemInfoService& System() override { return SystemCalls; }
    DdeService& Dde() override { return DdeCalls; }
    MessageBoxService& Boxes() override { return BoxCalls; }
    LibraryService& Libraries() override { return LibraryCalls; }
    RegistryService& Registry() override { return *RegistryCalls; }
    ProfileService& Profile() override { return ProfileCalls; }
    WindowMessageService& Messages() override { return MessageCalls; }
    VersionService& Versions() override { return VersionCalls; }
    ProcessService& Processes() override { return ProcessCalls; }
    ServiceControlService& ServiceControl() override { return ServiceCalls; }
    // The setup program lives outside the machine: it has the path it was given.
    std::string ModuleFileName(std::uintptr_t) override { return SetupProgram; }
    InstallDisplayService* Display() override { return &DisplayCalls; }
    SoundService* Sound() override { return &DisplayCalls; }
    DriveService* Drives() override { return &DriveCalls; }
    WaitDialogService* WaitDialogs() override { return &DisplayCalls; }
    FontResourceService* Fonts() override { return &FontCalls; }
    AccessCheckService* AccessChecks() override { return &AccessCalls; }
    UserPromptService* Prompts() override { return &PromptCalls; }

private:
    std::unique_ptr<SandboxMachine> Machine;
    std::unique_ptr<SandboxRegistry> RegistryCalls;
    std::string SetupProgram;
    SandboxFiles FileCalls;
    SandboxSystemInfo SystemCalls;
    SandboxProfile ProfileCalls;
    SandboxProgramManager ProgramManager;
    SandboxDde DdeCalls;
    SandboxWindowMessages MessageCalls;
    SandboxVersions VersionCalls;
    SandboxProcesses ProcessCalls;
    SandboxServiceControl ServiceCalls;
    // No one sees a box on the sandbox: each answers OK or Yes.
    HeadlessMessageBox BoxCalls;
    SandboxLibraryService LibraryCalls;
    SandboxInstallDisplay DisplayCalls;
    SandboxDrives DriveCalls;
    SandboxFonts FontCalls;
    SandboxAccessCheck AccessCalls;
    SandboxUserPrompts PromptCalls;
};

} // namespace

OpenedMachine OpenMachineServices(const MachineLocation& location) {
    std::string folder = FromEnvironment(location.Folder, MachineVariable);
    if (folder.empty()) {
        return {nullptr, std::string("no sandbox machine folder given (set ") + MachineVariable +
                             " or hand the folder to the engine)"};
    }
    SandboxMachine::OpenResult opened = SandboxMachine::Open(folder);
    if (!opened.Machine) {
        return {nullptr, opened.Error};
    }
    SandboxRegistry::OpenResult registry = SandboxRegistry::Open(*opened.Machine);
    if (!registry.Registry) {
        return {nullptr, registry.Error};
    }
    std::string setupProgram = FromEnvironment(location.SetupProgram, SetupProgramVariable);
    if (setupProgram.empty()) {
        setupProgram = DefaultSetupProgram;
    }
    return {std::make_unique<SandboxMachineServices>(
                std::move(opened.Machine), std::move(registry.Registry), std::move(setupProgram)),
            {}};
}

} // namespace platform
