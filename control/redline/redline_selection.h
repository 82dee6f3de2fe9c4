// Selecting redline markup with the mouse: the hit test of one entity and the scan
// over lines, circles and texts that finds the entity under the cursor.
#pragma once

#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "control/view/view_transform.h"
#include "platform/gdi.h"
#include "platform/picture_box.h"

#include <optional>
#include <string>

namespace plandra {

/// What the hit test and the scan read: the database, the colours its layers are drawn
/// in, the view of the last pass and the surface it drew on.
struct RedlineScene {
    const DrawingDatabase& Database;
    const DrawingOptions& Options;
    const ViewTransform& Transform;
    platform::PictureBox& picPlandra;
};

/// The hit test of one entity, whose pixel rectangle has the two corners (x1, y1) and
/// (x2, y2). The cursor (X, Y), rounded, must lie in the test rectangle of the corners
/// (MakeTestRect; left and top edges inside, right and bottom edges outside) on a
/// pixel of the colour the entity's layer is drawn in. On a hit `rect` is that test
/// rectangle. An error gives False with its message in strError; else strError is empty.
bool RedlineEntityHit(std::string& strError, const RedlineScene& scene, Long x1, Long y1, Long x2,
                      Long y2, float X, float Y, Long LayerID, platform::Rect& rect);

/// The redline entity found under the cursor: its kind as an EntityTypesEnum value (0
/// line, 1 circle, 2 text), its index in its kind's array and its test rectangle.
struct RedlineHit {
    Long EntityType = -1;
    Long Index = 0;
    platform::Rect Rect;
};

/// The outcome of a scan: Found when an entity was hit; Failed (with the message in
/// strError) when a text could not be measured or a hit test met an error.
struct RedlineScan {
    bool Failed = false;
    std::optional<RedlineHit> Found;
};

/// Scans the redline lines, then circles, then texts, each in index order, and stops at
/// the first hit; deleted entities take part, solids do not. The cursor is in
/// picPlandra pixels; one that is not a number or beyond 32 bits raises "Overflow".
RedlineScan FindRedlineEntity(std::string& strError, const RedlineScene& scene, float X, float Y);

} // namespace plandra
