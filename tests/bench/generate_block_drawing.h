// Writes a benchmark drawing made of block inserts, or the same entities written
// out flat, so the cost of inserting can be set against reading plainly.
#pragma once

#include <string>

namespace plandra::bench {

enum class BlockLayout {
    /// Block definitions in the BLOCKS section, INSERTs of them in ENTITIES.
    Inserts,
    /// Every inserted entity written out in ENTITIES where the insert puts it.
    Flat,
};

/// Writes `insertCount` inserts of 100 blocks of `entitiesPerBlock` entities each,
/// translated and rotated, in the chosen layout; the same arguments always give the
/// same drawing. Returns false when the file cannot be written.
bool GenerateBlockDrawing(const std::string& fileName, int insertCount, int entitiesPerBlock,
                          BlockLayout layout);

} // namespace plandra::bench
