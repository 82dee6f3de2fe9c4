// Runs `plandra script` commands against one control, as an automation client would,
// and reports each command's outcome.
#pragma once

#include "control/interface/dxf_control.h"
#include "platform/headless/headless_message_box.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace plandra::cli {

struct ScriptSettings {
    /// One JSON object a line instead of the readable form.
    bool Json = false;
    /// A member error ends the run with status 1.
    bool StopOnError = false;
};

/// Writes the drawing surface as it stands to a picture file; false when it cannot.
using SurfaceWriter = std::function<bool(const std::string& fileName)>;

/// Runs the script's lines in order against `control`, whose message boxes go through
/// `messageBoxes` (each box shown is reported before its command's own line). Returns
/// the exit status: 0 when every line ran (member errors are reported as results), 1 at
/// the first member error with StopOnError or when a picture cannot be written, 2 at
/// the first line that is not a command (reported on `errors` with `scriptName` and
/// the line's number; the lines before it have run).
int RunScript(std::istream& script, const std::string& scriptName, DXF& control,
              platform::HeadlessMessageBox& messageBoxes, const SurfaceWriter& writeSurface,
              const ScriptSettings& settings, std::ostream& out, std::ostream& errors);

} // namespace plandra::cli
