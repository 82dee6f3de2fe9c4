// Positioning the setup program's archive before a file's data is decompressed.
#pragma once

#include <cstdint>

namespace vorn {

class Engine;

/// Makes `archiveOffset` (an offset into the whole archive stream) the place the next
/// decompression reads from: context word 2 takes it and the archive is positioned there.
/// False when the run has no context.
bool SeekArchive(Engine& engine, std::uint32_t archiveOffset);

} // namespace vorn
