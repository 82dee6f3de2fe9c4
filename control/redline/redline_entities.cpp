// The redline creation methods.
#include "redline_entities.h"

#include "control/database/control_error.h"
#include "control/database/layer_lookup.h"
#include "redline_input.h"

#include <cmath>
#include <limits>

namespace plandra {

namespace {

constexpr std::string_view RedlineFont = "Arial";

// The layer lookup remembers positions by name for the length of a load; between loads
// the host may rename or remove layers, so a redline lookup starts from the collection.
Long RedlineLayerID(DrawingDatabase& database, std::string_view LayerName) {
    database.LayerPositions.Clear();
    return SetLayerID(database, RedlineLayerName(LayerName));
}

// Redline grows its arrays to exactly the new counts, not by the reader's increments.
template <typename Record>
Long AppendRedline(DrawingDatabase& database, EntityKind kind, RecordArray<Record>& array,
                   Long& counter, const Record& record) {
    const Long index = counter + 1;
    const Long sequence = database.SeqCount + 1;
    array.Preserve(index);
    database.SeqArray.Preserve(sequence);
    array[index] = record;
    database.SeqArray[sequence] = SeqEntry{static_cast<Long>(kind), index};
    counter = index;
    database.SeqCount = sequence;
    return index;
}

} // namespace

Long DXFAddLine(DrawingDatabase& database, float X1, float Y1, float X2, float Y2,
                std::string_view LayerName) {
    CheckRedlineNumbers({X1, Y1, X2, Y2});
    LineRec line;
    line.X1 = X2;
    line.Y1 = Y2;
    line.X2 = X1;
    line.Y2 = Y1;
    line.LayerID = RedlineLayerID(database, LayerName);
    line.Redline = IntegerTrue;
    const Long index =
        AppendRedline(database, EntityKind::Line, database.Lines, database.LineCount, line);
    database.CheckExtents(X1, Y1, X2, Y2);
    return index;
}

Long DXFAddSolid(DrawingDatabase& database, const std::array<float, 8>& corners,
                 std::string_view LayerName) {
    const auto& c = corners;
    CheckRedlineNumbers({c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]});
    SolidRec solid{c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]};
    solid.LayerID = RedlineLayerID(database, LayerName);
    const Long index =
        AppendRedline(database, EntityKind::Solid, database.Solids, database.SolidCount, solid);
    database.CheckExtents(c[0], c[1], c[2], c[3]);
    database.CheckExtents(c[4], c[5], c[6], c[7]);
    return index;
}

Long DXFAddCircle(DrawingDatabase& database, float CenterX, float CenterY, float RadiusX,
                  float RadiusY, std::string_view LayerName) {
    CheckRedlineNumbers({CenterX, CenterY, RadiusX, RadiusY});
    const double dx = static_cast<double>(RadiusX) - CenterX;
    const double dy = static_cast<double>(RadiusY) - CenterY;
    const double radius = std::pow(dx * dx + dy * dy, 0.5);
    // The box around the circle must fit a Single as well, or the extents would not.
    const double largest = std::numeric_limits<float>::max();
    if (radius > largest || std::fabs(CenterX) + radius > largest ||
        std::fabs(CenterY) + radius > largest) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    ArcRec circle;
    circle.CenterX = CenterX;
    circle.CenterY = CenterY;
    circle.Radius = static_cast<float>(radius);
    circle.LayerID = RedlineLayerID(database, LayerName);
    circle.Redline = IntegerTrue;
    const Long index =
        AppendRedline(database, EntityKind::Arc, database.Arcs, database.ArcCount, circle);
    database.CheckExtents(CenterX - radius, CenterY - radius, CenterX + radius, CenterY + radius);
    return index;
}

Long DXFAddText(DrawingDatabase& database, const RedlineText& text, std::string_view LayerName) {
    CheckRedlineNumbers({text.X, text.Y, text.Height, text.Rotation});
    TextRec record;
    record.X = text.X;
    record.Y = text.Y;
    record.Text.Assign(OneLine(text.Text));
    record.Height = text.Height;
    record.Rotation = text.Rotation;
    record.HorzAlign = text.HorzAlign;
    record.LayerID = RedlineLayerID(database, LayerName);
    record.FontName.Assign(RedlineFont);
    record.FontScalar = 1.0f;
    record.Redline = IntegerTrue;
    const Long index =
        AppendRedline(database, EntityKind::Text, database.Texts, database.TextCount, record);
    database.CheckExtents(text.X, text.Y, text.X, text.Y);
    return index;
}

} // namespace plandra
