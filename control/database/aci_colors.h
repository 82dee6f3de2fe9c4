// DXF colour numbers to RGB: the drawing colour table.
#pragma once

#include "entity_records.h"

namespace plandra {

/// The RGB value (COLORREF layout 0x00BBGGRR) of a DXF colour number; numbers below 0
/// or above 259 give black, 7 and 255 to 259 white.
Long ColorFromACI(Integer ColorNumber);

} // namespace plandra
