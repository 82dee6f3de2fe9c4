// DXF linetype names to the five stock dash styles of GDI pens.
#pragma once

#include "entity_records.h"

#include <string_view>

namespace plandra {

/// Pen styles 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot. The name is
/// compared exactly; unknown and empty names give 0.
Integer PenStyleFromLinetype(std::string_view linetypeName);

} // namespace plandra
