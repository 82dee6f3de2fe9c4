// `--dde`: talks to the install engine's "VornInst" service while an installation runs.
#pragma once

#include "platform/dde.h"

#include <optional>
#include <ostream>
#include <string>

namespace vornsetup {

/// Connects to "VornInst" on `topic`; executes `execute` when given (topic CANCEL
/// cancels the run, any other topic sets the variable of that name), else requests the
/// topic's variable and prints its value. Returns the program's exit status.
int RunDdeClient(platform::DdeService& dde, const std::string& topic,
                 const std::optional<std::string>& execute, std::ostream& out, std::ostream& err);

/// RunDdeClient over the DDE of the machine: the sandbox machine in `folder` on Linux,
/// Windows itself on Windows (`folder` is ignored).
int DdeCommand(const std::string& folder, const std::string& topic,
               const std::optional<std::string>& execute, std::ostream& out, std::ostream& err);

} // namespace vornsetup
