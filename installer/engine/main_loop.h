// The run's main loop: runs the script's actions, then the finish section once when the
// script ends, or the cancel section once when the run is aborted.
#pragma once

#include "engine.h"
#include "install_context.h"

namespace vorn {

/// Calls RunActions while the abort flag and the error code are clear and it answers 0.
/// The first -1 with a finish-section offset jumps there; the first -2 with a
/// cancel-section offset clears the abort flag and the error code and jumps there. Only
/// one section is ever entered; a run that entered the cancel section ends as aborted
/// (-2). Returns -1 or -2, or 0 when the run was stopped before it began.
int RunMainLoop(Engine& engine, InstallContext& context);

} // namespace vorn
