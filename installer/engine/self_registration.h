// Registering the installed files that register themselves (OLE servers): the queue the
// file installer fills is worked off at the end of a completed run and by f29.
#pragma once

#include "dll_call_block.h"

#include <cstdint>

namespace vorn {

class Engine;

/// Registers every queued file in queue order and empties the queue. A program (".EXE")
/// is started with "/REGSERVER" and waited for; a 32-bit Windows image is handed to the
/// archive's registration program, or, when the archive carries none, loaded here after
/// "OLE32.DLL" is initialised; any other file is loaded after "OLE2.DLL" and "OC25.DLL".
/// Each file's dependencies are looked for in its own directory first. Logs
/// "Self-Register: " or "Could not Self-Register: " with the path for each file.
void SelfRegisterQueued(Engine& engine);

/// f29: fields flag, path or wait text. "1" queues the path (not in test mode);
/// anything else registers the queued files now, with the wait text in the wait dialog.
/// Always true.
std::int32_t f29(Engine& engine, const DllCallBlock& block);

} // namespace vorn
