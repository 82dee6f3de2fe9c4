// Windows itself as one bundle of services, for a library that runs against it.
#include "platform/machine_services.h"
#include "platform/win32/win32_access_check.h"
#include "platform/win32/win32_dde.h"
#include "platform/win32/win32_drives.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_install_display.h"
#include "platform/win32/win32_library.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_service_control.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_template_dialogs.h"
#include "platform/win32/win32_user_prompts.h"
#include "platform/win32/win32_versions.h"
#include "platform/win32/win32_window_messages.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <array>

namespace platform {

namespace {

class Win32MachineServices final : public MachineServices {
public:
    FileService& Files() override { return FileCalls; }
    SystemInfoService& System() override { return SystemCalls; }
    DdeService& Dde() override { return DdeCalls; }
    MessageBoxService& Boxes() override { return BoxCalls; }
    LibraryService& Libraries() override { return LibraryCalls; }
    RegistryService& Registry() override { return RegistryCalls; }
    ProfileService& Profile() override { return ProfileCalls; }
    WindowMessageService& Messages() override { return MessageCalls; }
    VersionService& Versions() override { return VersionCalls; }
    ProcessService& Processes() override { return ProcessCalls; }
    ServiceControlService& ServiceControl() override { return ServiceCalls; }
    InstallDisplayService* Display() override { return &DisplayCalls; }
    SoundService* Sound() override { return &DisplayCalls; }
    TemplateDialogService* TemplateDialogs() override { return &DialogCalls; }
    DriveService* Drives() override { return &DriveCalls; }
    WaitDialogService* WaitDialogs() override { return &DisplayCalls; }
    BoxDialogService* BoxDialogs() override { return &DisplayCalls; }
    FontResourceService* Fonts() override { return &FontCalls; }
    AccessCheckService* AccessChecks() override { return &AccessCalls; }
    UserPromptService* Prompts() override { return &PromptCalls; }

    std::string ModuleFileName(std::uintptr_t module) override {
        std::array<char, MAX_PATH + 1> path{};
        DWORD length = ::GetModuleFileNameA(reinterpret_cast<HMODULE>(module), path.data(),
                                            static_cast<DWORD>(path.size()));
        return length == 0 || length >= path.size() ? std::string()
                                                    : std::string(path.data(), length);
    }

private:
    Win32Files FileCalls;
    Win32SystemInfo SystemCalls;
    Win32Dde DdeCalls;
    Win32MessageBox BoxCalls;
    Win32LibraryService LibraryCalls;
    Win32Registry RegistryCalls;
    Win32Profile ProfileCalls;
    Win32WindowMessages MessageCalls;
    Win32Versions VersionCalls;
    Win32Processes ProcessCalls;
    Win32ServiceControl ServiceCalls;
    Win32InstallDisplay DisplayCalls;
    Win32TemplateDialogs DialogCalls;
    Win32Drives DriveCalls;
    Win32Fonts FontCalls;
    Win32AccessCheck AccessCalls;
    Win32UserPrompts PromptCalls;
};

} // namespace

OpenedMachine OpenMachineServices(const MachineLocation&) {
    return {std::make_unique<Win32MachineServices>(), {}};
}

} // namespace platform
