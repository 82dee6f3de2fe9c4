// The built-in f23: checks that the drives of the chosen parts of the product have room
// for them, and can make the progress bar count against the chosen parts alone.
#pragma once

#include "engine.h"

#include <cstdint>

namespace vorn {

/// Fields: flags, then for each part of the product three fields: selection variable,
/// destination directory, bytes needed (decimal). A part counts when its variable's value
/// is neither empty nor "0", or when it names no variable. The parts' bytes are summed per
/// drive ("C:\", or the share root "\\server\share\" of a network path; parts with any
/// other destination are not checked) and compared with the drive's free space; a drive
/// whose free space cannot be read is not taken as short. Each short drive shows message
/// 11, whose "%s" marks take in turn the drive, the kilobytes needed and the kilobytes
/// free. Flag bit 0: the progress bar's total becomes the chosen parts' bytes. Flag bit
/// 1: the box has a Cancel button, which ends the installation. Returns 1 when every
/// drive has room, else 0. Runs in test mode too: it only reads.
std::int32_t f23(Engine& engine, const DllCallBlock& block);

} // namespace vorn
