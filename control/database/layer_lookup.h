// Finding layers by name and asking them how to draw.
#pragma once

#include "drawing_database.h"
#include "drawing_options.h"

#include <string_view>

namespace plandra {

/// The position of the layer whose trimmed name matches `LayerName` without regard
/// to case; a missing layer is added (on, black). Positions above 32767 overflow.
Integer SetLayerID(DrawingDatabase& database, std::string_view LayerName);

/// True when the layer at that position is switched on.
bool LayerIsOn(const DrawingDatabase& database, Long LayerID);

/// The colour the layer's entities are drawn in: black when everything prints
/// black, else the layer colour with black on black and white on white swapped.
/// `EntityColor` serves only while the control has never had a layer collection.
Long LayerDrawColor(const DrawingDatabase& database, const DrawingOptions& options, Long LayerID,
                    Long EntityColor);

} // namespace plandra
