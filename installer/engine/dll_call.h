// Opcode 9: calls a function of an outside library or one of the engine's own
// f-functions, with the variable arrays in a parameter block.
#pragma once

#include "engine.h"

namespace vorn {

/// Runs an opcode 9 record: 0 to go on (the block skipped when the if or while form
/// is false), -2 when the library cannot be loaded (message 6) or the abort form's
/// function returns true, -1 when a skipped block runs into the end of the script.
int CallDllFunction(Engine& engine, ActionRecord& record);

} // namespace vorn
