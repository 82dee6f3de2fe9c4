// Starting a program from a script.
#include "execute_program_action.h"

#include "engine.h"
#include "engine_message_box.h"
#include "message_table.h"
#include "path_parts.h"
#include "platform/machine_services.h"
#include "program_manager_actions.h"
#include "schedule_replace.h"

namespace vorn {

namespace {

constexpr std::uint8_t ExecuteOpcode = 7;
constexpr std::size_t CannotStartMessage = 5;
constexpr std::uint32_t WaitSlice = 100;

std::uint16_t ShowState(std::uint8_t flags) {
    if ((flags & execute_flag::Maximized) != 0) {
        return platform::process::ShowMaximized;
    }
    return (flags & execute_flag::Minimized) != 0 ? platform::process::ShowMinimized
                                                  : platform::process::ShowNormal;
}

// Starts the program; false when it did not start. `process` receives the started
// process, which a shell start may not give (a document opened in a running program).
bool Start(Engine& engine, const std::string& program, const std::string& arguments,
           const std::string& directory, std::uint16_t show, platform::UniqueProcess& process) {
    platform::ProcessService& processes = engine.Services.Machine->Processes();
    if (ReadWindowsKind(engine).Version4) {
        platform::ShellExecuteInfo info;
        info.Mask = platform::process::MaskNoCloseProcess;
        info.Window = reinterpret_cast<platform::HWND>(engine.Services.Host.MainWindow());
        info.File = program;
        info.Parameters = arguments;
        info.Directory = directory;
        info.Show = show;
        const bool done = processes.ShellExecuteExA(info);
        process = platform::UniqueProcess(info.Process, platform::ProcessCloser{&processes});
        return done && info.InstApp > 32;
    }
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    platform::ProcessInformation started;
    if (!processes.CreateProcessA(nullptr, commandLine.c_str(), 0,
                                  directory.empty() ? nullptr : directory.c_str(),
                                  {platform::process::StartfUseShowWindow, show}, started)) {
        return false;
    }
    process = platform::UniqueProcess(started.Process, platform::ProcessCloser{&processes});
    return true;
}

} // namespace

int ExecuteProgramAction(Engine& engine, ActionRecord& record) {
    if (engine.Services.Machine == nullptr) {
        return 0;
    }
    const std::uint8_t flags = record.Flags();
    std::string program = engine.Variables.Expand(record.Once(0), PathSize);
    std::string arguments = engine.Variables.Expand(record.Once(1), LongTextSize);
    std::string directory = engine.Variables.Expand(record.Once(2), PathSize);
    if (program.empty()) {
        program = std::move(arguments);
        arguments.clear();
    }
    if (program.find('\\') != std::string::npos) {
        program = ShortForm(engine, program);
    }
    if (!directory.empty()) {
        directory = ShortForm(engine, directory);
    }
    platform::UniqueProcess process;
    if (!Start(engine, program, arguments, directory, ShowState(flags), process)) {
        ReportError(engine, FormatMessageText(engine.Message(CannotStartMessage), program,
                                              MessageTextSize));
        return engine.Mode == RunMode::Test ? 0 : -2;
    }
    if ((flags & execute_flag::Wait) != 0 && process) {
        // The engine's windows and DDE service keep answering while the program runs; a
        // run the user stopped meanwhile stops waiting.
        platform::ProcessService& processes = engine.Services.Machine->Processes();
        while (processes.WaitForSingleObject(process.Get(), WaitSlice) ==
                   platform::process::WaitTimeout &&
               !engine.Services.Host.RunStopped()) {
            engine.Services.Machine->Messages().PumpWaitingMessages();
        }
    }
    return 0;
}

void RegisterProgramActions(Engine& engine) {
    engine.Actions[ExecuteOpcode] = &ExecuteProgramAction;
    RegisterProgramManagerActions(engine);
}

} // namespace vorn
