// Program Manager over DDE: groups and items a script creates, logged so that the
// uninstaller can remove them again.
#include "program_manager_actions.h"

#include "engine.h"
#include "install_context.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"
#include "platform/progman_commands.h"
#include "schedule_replace.h"

namespace vorn {

namespace {

constexpr std::uint8_t CommandOpcode = 4;
constexpr std::uint8_t StartOpcode = 15;
constexpr std::uint8_t EndOpcode = 16;
constexpr std::size_t CommandSize = 1024;
constexpr std::string_view ServiceName = "PROGMAN";

bool Active(const Engine& engine) {
    return engine.Mode != RunMode::Test && engine.Services.Machine != nullptr;
}

// With the context's option, the main window stays above Program Manager's windows
// while the script talks to it.
void KeepOnTop(Engine& engine, bool topmost) {
    const InstallContext* context = engine.Services.Context;
    if (context != nullptr && (context->OptionFlags & context_option::TopmostDuringProgman) != 0) {
        engine.Services.Machine->Messages().SetWindowPos(engine.Services.Host.MainWindow(),
                                                         topmost ? platform::wm::Topmost
                                                                 : platform::wm::NoTopmost);
    }
}

// The name Program Manager gives an item added without one: its program's file name
// without folder and extension.
std::string ProgramName(std::string_view commandLine) {
    std::string_view program = commandLine.substr(0, commandLine.find(' '));
    const std::size_t slash = program.find_last_of("\\:");
    if (slash != std::string_view::npos) {
        program.remove_prefix(slash + 1);
    }
    return std::string(program.substr(0, program.rfind('.')));
}

} // namespace

std::string ProgramManagerLogText(std::string_view commands) {
    std::vector<platform::ProgmanCommand> parsed;
    std::string error;
    // Program Manager acknowledged the text, so it carried out at least the commands
    // that read well, even when something after them does not.
    platform::ParseProgmanCommands(commands, parsed, error);
    std::string text;
    for (const platform::ProgmanCommand& command : parsed) {
        const std::vector<std::string>& arguments = command.Arguments;
        if (command.Name.empty() || arguments.empty()) {
            continue;
        }
        if (platform::EqualsIgnoringCase(command.Name, "AddItem")) {
            const std::string name = arguments.size() > 1 && !arguments[1].empty()
                                         ? arguments[1]
                                         : ProgramName(arguments[0]);
            text += "Icon Name: " + name + "\r\nIcon Cmd: " + arguments[0] + "\r\n";
        } else if (platform::EqualsIgnoringCase(command.Name, "CreateGroup")) {
            text += "Icon Group: " + arguments[0] + "\r\n";
        }
    }
    return text;
}

int StartProgramManagerAction(Engine& engine, ActionRecord&) {
    if (!Active(engine)) {
        return 0;
    }
    KeepOnTop(engine, true);
    if (engine.DdeInstance == 0) {
        return 0;
    }
    platform::DdeService& dde = engine.Services.Machine->Dde();
    engine.ProgramManager.Reset();
    const platform::UniqueDdeString name(
        dde.DdeCreateStringHandleA(engine.DdeInstance, ServiceName, platform::dde::CodePageWinAnsi),
        platform::DdeStringTraits{&dde, engine.DdeInstance});
    if (name) {
        engine.ProgramManager = platform::UniqueDdeConversation(
            dde.DdeConnect(engine.DdeInstance, name.Get(), name.Get()),
            platform::DdeConversationTraits{&dde});
    }
    return 0;
}

int ProgramManagerCommandAction(Engine& engine, ActionRecord& record) {
    if (!Active(engine) || !engine.ProgramManager) {
        return 0;
    }
    const std::uint8_t flags = record.Flags();
    std::string command = engine.Variables.Expand(record.PerLanguage(0), CommandSize);
    if ((flags & progman_flag::Close) != 0) {
        command += ReadWindowsKind(engine).Windows95
                       ? std::string(")]")
                       : "," + std::to_string(flags & progman_flag::WindowState) + ")]";
    }
    // Program Manager takes its time over a command; the wait is as long as it needs.
    const platform::DdeData done = engine.Services.Machine->Dde().DdeClientTransaction(
        std::span<const char>(command.c_str(), command.size() + 1), engine.ProgramManager.Get(),
        platform::DdeNoString, platform::dde::ClipboardText, platform::dde::Execute,
        platform::dde::NoTimeout, nullptr);
    // Only what Program Manager carried out goes into the log.
    if (done != platform::DdeNoData) {
        engine.Services.Log.AddText(ProgramManagerLogText(command));
    }
    return 0;
}

int EndProgramManagerAction(Engine& engine, ActionRecord&) {
    if (!Active(engine)) {
        return 0;
    }
    engine.ProgramManager.Reset();
    KeepOnTop(engine, false);
    return 0;
}

void RegisterProgramManagerActions(Engine& engine) {
    engine.Actions[CommandOpcode] = &ProgramManagerCommandAction;
    engine.Actions[StartOpcode] = &StartProgramManagerAction;
    engine.Actions[EndOpcode] = &EndProgramManagerAction;
}

} // namespace vorn
