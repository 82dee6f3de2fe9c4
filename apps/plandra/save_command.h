// `plandra save`: a drawing loaded, marked up by an optional script, and saved with its
// markup.
#pragma once

#include "reading_options.h"
#include "script_runner.h"

#include <iosfwd>
#include <string>

namespace plandra::cli {

struct SaveRequest {
    ReadingOptions Reading;
    std::string OutputName;
    /// The script of member calls run between loading and saving; none when empty.
    std::string ScriptName;
    ScriptSettings Settings;
};

/// Loads the drawing into a control, runs the script against it (its report goes to
/// `out`), then saves through the control's Save. Returns 0 when saved; 1 when the
/// drawing cannot be read or saved, the script cannot be read, or a member error
/// stopped the script (--stop-on-error); 2 for a script line that is not a command.
/// Nothing is saved when the script did not run to its end.
int RunSave(const SaveRequest& request, std::ostream& out, std::ostream& errors);

} // namespace plandra::cli
