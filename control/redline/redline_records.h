// The DXF records the writer splices into the copied file: new layer-table records and
// the live redline lines, circles and texts.
#pragma once

#include "control/database/drawing_database.h"
#include "replacing_file.h"

#include <cstdint>
#include <optional>

namespace plandra {

/// The handles of the records written. Without a handle seed in the file there are
/// none, and the records go out without handles and subclass markers.
struct HandleCounter {
    std::optional<std::uint64_t> Last;
    /// Raises the counter by one and returns its new value.
    std::uint64_t Next() { return ++*Last; }
};

/// The number of records that take handles: the new layers and every redline line,
/// circle and text, deleted ones included.
std::uint64_t CountNewItems(const DrawingDatabase& database);

/// A layer-table record for every layer whose NewLayer is set, in collection order,
/// with its colour number negated for a layer that is off.
void WriteNewLayers(ReplacingFile& output, const DrawingDatabase& database, HandleCounter& handles);

/// The redline lines, circles and texts that are not deleted, in sequence order. Other
/// kinds, and entities read from the file, are not written here.
void WriteRedlineEntities(ReplacingFile& output, const DrawingDatabase& database,
                          HandleCounter& handles);

} // namespace plandra
