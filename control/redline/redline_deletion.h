// Deleting and restoring redline markup: a mark in the record, never a removal.
#pragma once

#include "control/database/drawing_database.h"

namespace plandra {

/// Marks the selected entity deleted: EntityType 0 a line, 1 a circle, 2 a text, by
/// its index in that kind's array. Any other type marks nothing. An index outside 1 to
/// the kind's count raises "Subscript out of range" (9) and marks nothing.
void MarkRedlineDeleted(DrawingDatabase& database, Long EntityType, Long Index);

/// Clears the deleted mark of every line, circle and text.
void RestoreRedlineEntities(DrawingDatabase& database);

} // namespace plandra
