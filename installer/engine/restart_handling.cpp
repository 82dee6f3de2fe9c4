// Restart handling at the end of the run.
#include "restart_handling.h"

#include "engine_message_box.h"
#include "platform/ansi_text.h"

namespace vorn {

namespace {

// Message 23 under title 18, Yes and No only.
bool UserAgrees(Engine& engine, InstallContext& context) {
    if ((context.OptionFlags & context_option::KeepSilentForRestart) == 0) {
        context.Silent = 0;
    }
    return EngineMessageBox(engine, 0, engine.Message(23), engine.Message(msg::QuestionTitle),
                            box::YesNo | box::NoCancel | box::IconQuestion) == answer::Ok;
}

std::string AfterBlanks(std::string_view text) {
    std::size_t start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string() : std::string(text.substr(start));
}

} // namespace

RestartDecision HandleRestart(Engine& engine, InstallContext& context, const RestartFacts& facts) {
    RestartDecision decision;
    std::string value = engine.Variables.GetVariable("RESTART", MissingVariable::CreateEmpty);
    char kind = value.empty() ? '\0' : platform::UpperAnsi(value.front());
    if (kind == 'I') {
        return decision;
    }
    if (facts.Pending) {
        if (UserAgrees(engine, context)) {
            decision.Pending = true;
            std::string arguments = engine.Variables.Expand("/C %WIN%\\_MSRSTRT.EXE", PathSize);
            if (kind == 'E') {
                arguments += " " + value.substr(1);
            }
            decision.Arguments = arguments;
            decision.Program = facts.CommandInterpreter;
        }
        return decision;
    }
    if (kind == 'S' || kind == 'W') {
        if (UserAgrees(engine, context)) {
            if (facts.WindowsNt && kind == 'S' && !facts.SupportProgram.empty()) {
                decision.Program = facts.SupportProgram;
                decision.KeepSupportProgram = true;
            } else {
                decision.ExitAction =
                    kind == 'W' ? exit_action::RestartWindows : exit_action::Reboot;
            }
        }
    } else if (kind == 'E') {
        decision.Arguments = "/C " + AfterBlanks(std::string_view(value).substr(1));
        decision.Program = facts.CommandInterpreter;
    }
    return decision;
}

} // namespace vorn
