// What the run tells the setup program to do after it: nothing, restart Windows,
// reboot, or start a program, as the variable "RESTART" and the user decide.
#pragma once

#include "engine.h"
#include "install_context.h"

#include <optional>
#include <string>

namespace vorn {

struct RestartFacts {
    /// In-use files were scheduled for replacement on a system that needs the restart
    /// utility.
    bool Pending = false;
    bool WindowsNt = false;
    /// The value of "COMSPEC": the command interpreter a restart command runs in.
    std::string CommandInterpreter;
    /// The support program's short path; empty when there is none.
    std::string SupportProgram;
};

struct RestartDecision {
    std::int32_t ExitAction = exit_action::None;
    /// Set when the setup program is to start a program after the engine returns.
    std::optional<std::string> Program;
    std::optional<std::string> Arguments;
    /// The restart is still pending (the restart utility is to be kept).
    bool Pending = false;
    /// The support program became the restart program and must stay.
    bool KeepSupportProgram = false;
};

/// Reads "RESTART" (made empty when missing): I drops any restart; a pending restart
/// asks message 23 and runs the restart utility through the command interpreter; S or
/// W ask message 23 and reboot or restart Windows (on Windows NT a reboot starts the
/// support program); E runs the command after it. Clears the silent flag before a
/// question unless the context's options keep it.
RestartDecision HandleRestart(Engine& engine, InstallContext& context, const RestartFacts& facts);

} // namespace vorn
