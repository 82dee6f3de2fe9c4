// The uninstaller's services on a sandbox machine, for the Linux program and its tests.
#pragma once

#include "installer/uninstaller/uninstall_services.h"
#include "platform/headless/headless_library.h"
#include "platform/message_box.h"
#include "platform/posix/sandbox_dde.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_machine.h"
#include "platform/posix/sandbox_processes.h"
#include "platform/posix/sandbox_profile.h"
#include "platform/posix/sandbox_program_manager.h"
#include "platform/posix/sandbox_registry.h"
#include "platform/posix/sandbox_service_control.h"
#include "platform/posix/sandbox_system_info.h"

#include <filesystem>
#include <memory>
#include <string>

namespace rescind {

/// Every service over one opened machine; `Boxes` answers the message boxes.
class SandboxServices {
public:
    struct OpenResult {
        std::unique_ptr<SandboxServices> Services;
        std::string Error;
    };
    static OpenResult Open(const std::filesystem::path& folder, platform::MessageBoxService& boxes);

    const UninstallServices& Services() const { return Bundle; }
    platform::SandboxMachine& Machine() { return *MachinePointer; }
    /// The libraries a run can load: none until a test adds them.
    platform::HeadlessLibraryService& Libraries() { return LibraryCalls; }

private:
    SandboxServices(std::unique_ptr<platform::SandboxMachine> machine,
                    std::unique_ptr<platform::SandboxRegistry> registry,
                    platform::MessageBoxService& boxes);

    std::unique_ptr<platform::SandboxMachine> MachinePointer;
    std::unique_ptr<platform::SandboxRegistry> Registry;
    platform::SandboxFiles Files;
    platform::SandboxSystemInfo System;
    platform::SandboxProfile Profile;
    platform::SandboxProcesses Processes;
    platform::SandboxServiceControl ServiceControl;
    platform::SandboxProgramManager ProgramManager;
    platform::SandboxDde Dde;
    platform::HeadlessLibraryService LibraryCalls;
    UninstallServices Bundle;
};

} // namespace rescind
