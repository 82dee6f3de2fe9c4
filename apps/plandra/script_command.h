// `plandra script`: one control on an offscreen surface, driven by a script of member
// calls.
#pragma once

#include "script_runner.h"

#include <iosfwd>
#include <string>

namespace plandra::cli {

struct ScriptRequest {
    /// The script file; "-" or empty for standard input.
    std::string ScriptName;
    int Width = 1024; ///< pixels
    int Height = 768; ///< pixels
    ScriptSettings Settings;
};

/// Places a control on a surface of the requested size and runs the script (read from
/// `standardInput` for "-"). Returns the exit status of RunScript, or 1 when the
/// script cannot be read.
int RunScriptCommand(const ScriptRequest& request, std::istream& standardInput, std::ostream& out,
                     std::ostream& errors);

} // namespace plandra::cli
