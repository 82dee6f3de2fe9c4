// `plandra script`: a control on an offscreen surface, driven by a script.
#include "script_command.h"

#include "offscreen_control.h"

#include <fstream>
#include <istream>
#include <ostream>

namespace plandra::cli {

int RunScriptCommand(const ScriptRequest& request, std::istream& standardInput, std::ostream& out,
                     std::ostream& errors) {
    const bool fromStandardInput = request.ScriptName.empty() || request.ScriptName == "-";
    std::ifstream file;
    if (!fromStandardInput) {
        file.open(request.ScriptName, std::ios::binary);
        if (!file) {
            errors << "plandra: cannot read " << request.ScriptName << "\n";
            return 1;
        }
    }

    OffscreenControl placed(request.Width, request.Height);

    return RunScript(
        fromStandardInput ? standardInput : file,
        fromStandardInput ? std::string("standard input") : request.ScriptName, placed.Control,
        placed.Host.MessageBox,
        [&placed](const std::string& name) { return placed.picPlandra.WritePng(name); },
        request.Settings, out, errors);
}

} // namespace plandra::cli
