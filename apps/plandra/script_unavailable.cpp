// `plandra script` where the build has no offscreen drawing surface (the Windows
// build, whose drawing goes to real windows).
#include "script_command.h"

#include <ostream>

namespace plandra::cli {

int RunScriptCommand(const ScriptRequest&, std::istream&, std::ostream&, std::ostream& errors) {
    errors << "plandra: script is not available in this build\n";
    return 1;
}

} // namespace plandra::cli
