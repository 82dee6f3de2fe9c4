// A sandbox machine's services as one bundle for whole runs of the engine: boxes answered
// from a queue, libraries registered in memory, Program Manager answering DDE, and every
// file, DDE and program call of the engine behind a fault plan (fault-free until a test
// plans a fault).
#pragma once

#include "platform/headless/fault_injection.h"
#include "platform/headless/fault_injection_access_check.h"
#include "platform/headless/fault_injection_dde.h"
#include "platform/headless/fault_injection_fonts.h"
#include "platform/headless/fault_injection_processes.h"
#include "platform/headless/fault_injection_user_prompts.h"
#include "platform/headless/headless_library.h"
#include "platform/headless/headless_message_box.h"
#include "platform/install_display.h"
#include "platform/machine_services.h"
#include "platform/posix/sandbox_access_check.h"
#include "platform/posix/sandbox_dde.h"
#include "platform/posix/sandbox_drives.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_fonts.h"
#include "platform/posix/sandbox_processes.h"
#include "platform/posix/sandbox_profile.h"
#include "platform/posix/sandbox_registry.h"
#include "platform/posix/sandbox_service_control.h"
#include "platform/posix/sandbox_system_info.h"
#include "platform/posix/sandbox_user_prompts.h"
#include "platform/posix/sandbox_versions.h"
#include "platform/posix/sandbox_window_messages.h"

#include <memory>

namespace vorn::testing {

class SandboxTestMachine final : public platform::MachineServices {
public:
    explicit SandboxTestMachine(platform::SandboxMachine& machine)
        : Sandbox(machine), Faulty(Sandbox), SystemCalls(machine),
          ProfileCalls(Faulty, machine.Description().WindowsDirectory),
          ProgramManager(Faulty, machine.Description().WindowsDirectory), DdeCalls(&ProgramManager),
          FaultyDde(DdeCalls), RegistryCalls(platform::SandboxRegistry::Open(machine).Registry),
          MessageCalls(DdeCalls, machine.Folder()),
          VersionCalls(Faulty, machine.Description().WindowsDirectory,
                       machine.Description().SystemDirectory),
          ProcessCalls(machine, Faulty), FaultyProcesses(ProcessCalls),
          ServiceCalls(machine, *RegistryCalls), DriveCalls(machine), FontCalls(machine, Faulty),
          FaultyFonts(FontCalls), AccessCalls(machine), FaultyAccess(AccessCalls),
          PromptCalls(machine), FaultyPrompts(PromptCalls) {}
    platform::FileService& Files() override { return Faulty; }
    platform::SystemInfoService& System() override { return SystemCalls; }
    platform::DdeService& Dde() override { return FaultyDde; }
    platform::MessageBoxService& Boxes() override { return BoxCalls; }
    platform::LibraryService& Libraries() override {
        return RealLibraries != nullptr ? *RealLibraries : LibraryCalls;
    }
    platform::RegistryService& Registry() override { return *RegistryCalls; }
    platform::ProfileService& Profile() override { return ProfileCalls; }
    platform::WindowMessageService& Messages() override { return MessageCalls; }
    platform::VersionService& Versions() override { return VersionCalls; }
    platform::ProcessService& Processes() override { return FaultyProcesses; }
    platform::ServiceControlService& ServiceControl() override { return ServiceCalls; }
    std::string ModuleFileName(std::uintptr_t) override { return "C:\\SETUP\\SETUP.EXE"; }
    platform::DriveService* Drives() override { return &DriveCalls; }
    platform::FontResourceService* Fonts() override { return &FaultyFonts; }
    platform::InstallDisplayService* Display() override { return ShownDisplay; }
    platform::AccessCheckService* AccessChecks() override { return &FaultyAccess; }
    platform::WaitDialogService* WaitDialogs() override { return ShownWaitDialogs; }
    platform::UserPromptService* Prompts() override { return &FaultyPrompts; }

    platform::SandboxFiles Sandbox;
    platform::FaultInjectingFiles Faulty;
    platform::SandboxSystemInfo SystemCalls;
    platform::SandboxProfile ProfileCalls;
    /// Answers "PROGMAN" over DDE.
    platform::SandboxProgramManager ProgramManager;
    platform::SandboxDde DdeCalls;
    platform::FaultInjectingDde FaultyDde;
    platform::HeadlessMessageBox BoxCalls;
    platform::HeadlessLibraryService LibraryCalls;
    /// When set, libraries are loaded through it instead of the in-memory fakes.
    platform::LibraryService* RealLibraries = nullptr;
    std::unique_ptr<platform::SandboxRegistry> RegistryCalls;
    platform::SandboxWindowMessages MessageCalls;
    platform::SandboxVersions VersionCalls;
    platform::SandboxProcesses ProcessCalls;
    platform::FaultInjectingProcesses FaultyProcesses;
    platform::SandboxServiceControl ServiceCalls;
    platform::SandboxDrives DriveCalls;
    platform::SandboxFonts FontCalls;
    platform::FaultInjectingFonts FaultyFonts;
    /// What the engine shows; none unless a test gives one.
    platform::InstallDisplayService* ShownDisplay = nullptr;
    platform::SandboxAccessCheck AccessCalls;
    platform::FaultInjectingAccessCheck FaultyAccess;
    platform::WaitDialogService* ShownWaitDialogs = nullptr;
    platform::SandboxUserPrompts PromptCalls;
    platform::FaultInjectingUserPrompts FaultyPrompts;
};

} // namespace vorn::testing
