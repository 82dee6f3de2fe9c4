// The redline creation methods: markup lines, solids, circles and texts appended to the
// drawing database beside the entities read from the file.
#pragma once

#include "control/database/drawing_database.h"

#include <array>
#include <string_view>

namespace plandra {

/// The redline text a host asks for, insertion point already in drawing units.
struct RedlineText {
    float X = 0, Y = 0;
    std::string_view Text;
    float Height = 0;
    Long HorzAlign = 0;
    float Rotation = 0; ///< degrees
};

// Each method looks the layer up by name (without regard to case and surrounding
// blanks; a missing layer is added, on and black), appends the record and its sequence
// entry with both arrays enlarged to exactly the new counts, widens the extents, and
// returns the record's index in its kind's array. Every value is checked first: a bad
// one raises its run-time error and leaves the database as it was. None redraws.

/// Stores the end point first: the record's X1, Y1 are the arguments X2, Y2, so that a
/// written file gives the first argument point under groups 10 and 20.
Long DXFAddLine(DrawingDatabase& database, float X1, float Y1, float X2, float Y2,
                std::string_view LayerName);

/// The corners X1, Y1 ... X4, Y4 in argument order, which is the stored polygon order.
Long DXFAddSolid(DrawingDatabase& database, const std::array<float, 8>& corners,
                 std::string_view LayerName);

/// A full circle through the point (RadiusX, RadiusY); its radius is worked out in
/// double precision. A radius beyond the Single range raises "Overflow".
Long DXFAddCircle(DrawingDatabase& database, float CenterX, float CenterY, float RadiusX,
                  float RadiusY, std::string_view LayerName);

/// The text on one line, cut or padded to 100 characters, in Arial at scale 1.
Long DXFAddText(DrawingDatabase& database, const RedlineText& text, std::string_view LayerName);

} // namespace plandra
