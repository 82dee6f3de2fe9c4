// One installation from VornMain's entry to its return: start-up, script start, the
// main loop and shut-down, over the setup program's context and the machine's services.
#pragma once

#include "box_dialog_presenter.h"
#include "command_line_options.h"
#include "context_host.h"
#include "embedded_pieces.h"
#include "engine.h"
#include "engine_display.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "machine_path_forms.h"
#include "machine_temp_files.h"
#include "platform/machine_services.h"
#include "run_log.h"
#include "script_header.h"
#include "vorn_inst_server.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

/// What VornMain receives, besides the context.
struct EntryArguments {
    const char* CommandLine = nullptr;
    std::int32_t* ExitAction = nullptr;
    char* RestartProgram = nullptr;
    char* RestartArguments = nullptr;
};

/// VornMain's work over the given machine: sets the exit action, runs the installation
/// and returns -1 (completed) or -2 (aborted), or 0 when start-up fails (no context or
/// script, a broken script header, a piece that cannot be extracted).
std::int32_t RunInstallation(InstallContext* context, const EntryArguments& arguments,
                             platform::MachineServices& machine);

class InstallationRun {
public:
    /// The class of the engine's wizard windows.
    static constexpr std::string_view WizardClassName = "KTRSWizard";

    InstallationRun(InstallContext& context, const EntryArguments& arguments,
                    platform::MachineServices& machine);
    ~InstallationRun();
    InstallationRun(const InstallationRun&) = delete;
    InstallationRun& operator=(const InstallationRun&) = delete;

    std::int32_t Run();

private:
    enum class StartResult { Ready, Failed, Aborted };

    bool StartUp();
    StartResult ScriptStart();
    void OpenLog();
    int ShutDown(int result);
    std::string AbortReason() const;
    void FillRestartBuffers(const std::string* program, const std::string* arguments);
    void DeleteTemporaryFiles();
    void StartSupportLibraries();
    void EndSupportLibraries();

    InstallContext& Context;
    EntryArguments Arguments;
    platform::MachineServices& Machine;

    ContextHost Host;
    TemplateBoxPresenter Presenter;
    MachineTempFiles TempFiles;
    MachinePathForms Paths;
    RunLog Log;
    std::vector<std::uint8_t> ScriptBytes;
    std::unique_ptr<Engine> State;
    std::unique_ptr<EngineDisplay> Display;
    std::unique_ptr<MessageTable> Messages;
    std::unique_ptr<VornInstServer> DdeServer;
    std::vector<platform::UniqueLibrary> PieceLibraries;
    /// CTL3D32.DLL while it is registered for the setup program.
    platform::UniqueLibrary Ctl3d;

    CommandLineOptions Options;
    ScriptHeader Header;
    std::uint32_t RecordsOffset = 0;
    ExtractedPieces Pieces;
    std::string WindowsDirectory;
    std::string SystemDirectory;
    std::string TempDirectory;
    std::string SetupProgram;
    /// The chosen language's window title.
    std::string Title;
    bool WindowsNt = false;
    bool Windows95 = false;
    bool Version4 = false;
    /// Never wait on timer ticks (a setup program started from a floppy disk).
    bool NoTickWaits = false;
    /// The engine's window class is registered until the run ends.
    bool WizardClassRegistered = false;
};

} // namespace vorn
