// Deleting and restoring redline markup.
#include "redline_deletion.h"

#include "control/database/control_error.h"

namespace plandra {

namespace {

template <typename Record> void MarkDeleted(RecordArray<Record>& array, Long count, Long index) {
    // Element 0 and the spare elements past the count hold no entity.
    if (index < 1 || index > count) {
        throw ControlError::Runtime(RuntimeError::SubscriptOutOfRange);
    }
    array[index].Deleted = IntegerTrue;
}

template <typename Record> void Restore(RecordArray<Record>& array, Long count) {
    for (Long i = 1; i <= count; ++i) {
        array[i].Deleted = IntegerFalse;
    }
}

} // namespace

void MarkRedlineDeleted(DrawingDatabase& database, Long EntityType, Long Index) {
    switch (EntityType) {
    case 0:
        MarkDeleted(database.Lines, database.LineCount, Index);
        break;
    case 1:
        MarkDeleted(database.Arcs, database.ArcCount, Index);
        break;
    case 2:
        MarkDeleted(database.Texts, database.TextCount, Index);
        break;
    default:
        break;
    }
}

void RestoreRedlineEntities(DrawingDatabase& database) {
    Restore(database.Lines, database.LineCount);
    Restore(database.Arcs, database.ArcCount);
    Restore(database.Texts, database.TextCount);
}

} // namespace plandra
