// The machine a library such as the install engine runs against as one bundle of
// services: the real Win32 calls on Windows, a sandbox machine folder on Linux.
#pragma once

#include "platform/access_check.h"
#include "platform/box_dialog.h"
#include "platform/dde.h"
#include "platform/dialog_templates.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/font_resources.h"
#include "platform/install_display.h"
#include "platform/library.h"
#include "platform/message_box.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "platform/system_info.h"
#include "platform/user_prompts.h"
#include "platform/versions.h"
#include "platform/wait_dialog.h"
#include "platform/window_messages.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class MachineServices {
public:
    virtual ~MachineServices() = default;
    virtual FileService& Files() = 0;
    virtual SystemInfoService& System() = 0;
    virtual DdeService& Dde() = 0;
    virtual MessageBoxService& Boxes() = 0;
    virtual LibraryService& Libraries() = 0;
    virtual RegistryService& Registry() = 0;
    virtual ProfileService& Profile() = 0;
    virtual WindowMessageService& Messages() = 0;
    virtual VersionService& Versions() = 0;
    virtual ProcessService& Processes() = 0;
    virtual ServiceControlService& ServiceControl() = 0;
    /// The full path of the program file of a module (GetModuleFileNameA); 0 is the
    /// running program. Empty when it is not known.
    virtual std::string ModuleFileName(std::uintptr_t module) = 0;
    /// What the engine shows and plays; null on a machine that shows nothing.
    virtual InstallDisplayService* Display() { return nullptr; }
    virtual SoundService* Sound() { return nullptr; }
    /// Dialogs from in-memory templates on the machine's display; null where there is
    /// none (the sandbox), and the caller answers its dialogs some other way.
    virtual TemplateDialogService* TemplateDialogs() { return nullptr; }
    /// Volume labels, network drives and fonts; null on a machine that cannot tell or
    /// add them, and the caller goes without.
    virtual DriveService* Drives() { return nullptr; }
    virtual FontResourceService* Fonts() { return nullptr; }
    /// Whether the installing user may write a file; null on a machine that cannot tell.
    virtual AccessCheckService* AccessChecks() { return nullptr; }
    /// The beep, window timers and the save-file dialog; null where there are none.
    virtual UserPromptService* Prompts() { return nullptr; }
    /// The wait dialog and the engine's message box from its template; null on a machine
    /// that shows no windows.
    virtual WaitDialogService* WaitDialogs() { return nullptr; }
    virtual BoxDialogService* BoxDialogs() { return nullptr; }
};

/// Where the machine is, for builds that play one: the sandbox machine's folder and the
/// Windows path the setup program has inside it. Empty fields fall back to the
/// environment variables VORN_MACHINE and VORN_SETUP_PROGRAM, then to "C:\SETUP.EXE" for
/// the setup program. Windows ignores both: it is the machine.
struct MachineLocation {
    std::string Folder;
    std::string SetupProgram;
};

struct OpenedMachine {
    std::unique_ptr<MachineServices> Services;
    /// Why the machine could not be opened (no folder given, no machine.ini there).
    std::string Error;
};

/// Opens the machine this build runs against. Defined by the posix and win32
/// implementations (link platform_sandbox_machine_services or platform_win32_machine_services).
OpenedMachine OpenMachineServices(const MachineLocation& location);

} // namespace platform
