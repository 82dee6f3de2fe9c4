// The text search: walks the drawing's text records for one text, match after match.
#pragma once

#include "control/database/drawing_database.h"

#include <string>

namespace plandra {

/// Where the last search stopped and which layer it looked on.
struct FindMemory {
    /// The index of the last text found; 0 to start from the first record.
    Long LastFindIndex = 0;
    Integer LastFindLayer = 0;
};

/// Looks for the next text record after LastFindIndex whose text, trimmed of blanks
/// and upper-cased, equals `textToFind` upper-cased, on layer `layerId` (0: any layer).
/// `textToFind` receives its upper-cased form; searched records keep their text
/// trimmed. Returns the record's index, or 0. A search that reaches the last record
/// starts again from the first next time; a new layer restarts the search.
/// An empty `textToFind` finds nothing and leaves the memory alone.
Long FindText(DrawingDatabase& database, std::string& textToFind, Integer layerId,
              FindMemory& memory);

} // namespace plandra
