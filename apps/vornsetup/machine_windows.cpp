// The setup program's machine on Windows: the running system itself.
#include "dde_client.h"
#include "installer/engine/install_context.h"
#include "platform/program.h"
#include "platform/win32/win32_dde.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_system_info.h"
#include "setup_machine.h"

namespace vornsetup {

namespace {

class WindowsSetupMachine final : public SetupMachine {
public:
    WindowsSetupMachine() : Loader(platform::MakeSystemLibraryService()) {}

    platform::FileService& Files() override { return FileCalls; }
    platform::SystemInfoService& System() override { return SystemCalls; }
    platform::ProcessService& Processes() override { return ProcessCalls; }
    platform::LibraryService& Libraries() override { return *Loader; }
    std::uintptr_t InstanceWord() override { return platform::ProgramInstanceHandle(); }
    std::string SandboxFolder() const override { return {}; }

    std::string Restart(std::int32_t exitAction, std::ostream& out) override {
        const bool reboot = exitAction == vorn::exit_action::Reboot;
        out << (reboot ? "Rebooting the machine\n" : "Restarting Windows\n");
        // Restarting Windows alone is a 16-bit notion; a 32-bit system reboots for both.
        if (!ProcessCalls.ExitWindowsEx(platform::process::ExitReboot, 0)) {
            return "Windows refused to restart";
        }
        return {};
    }

private:
    platform::Win32Files FileCalls;
    platform::Win32SystemInfo SystemCalls;
    platform::Win32Processes ProcessCalls;
    std::unique_ptr<platform::LibraryService> Loader;
};

} // namespace

bool HasSandboxMachines() {
    return false;
}

const char* ProgramName() {
    return "SETUP";
}

std::string EngineLibraryPath() {
    // The loader looks in the program's own folder first.
    return "VORN0132.DLL";
}

MachineOpenResult OpenSetupMachine(const std::string&) {
    return {std::make_unique<WindowsSetupMachine>(), {}};
}

int MakeMachine(const std::string&, bool, std::ostream&, std::ostream& err) {
    err << "SETUP: --new-machine is for sandbox machines\n";
    return 2;
}

int RestartMachine(const std::string&, std::ostream&, std::ostream& err) {
    err << "SETUP: --restart is for sandbox machines\n";
    return 2;
}

int DdeCommand(const std::string&, const std::string& topic,
               const std::optional<std::string>& execute, std::ostream& out, std::ostream& err) {
    platform::Win32Dde dde;
    return RunDdeClient(dde, topic, execute, out, err);
}

} // namespace vornsetup
