// The checks and clean-ups every value a host hands to the redline methods goes through.
#pragma once

#include "control/database/entity_records.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace plandra {

/// The layer that takes redline drawn on an empty or blank layer name: every DXF
/// drawing has it, and an entity written with an empty layer name would make the
/// saved file unreadable.
inline constexpr std::string_view DefaultRedlineLayer = "0";

/// Raises "Invalid procedure call or argument" (5) for a value that is not a number
/// and "Overflow" (6) for an infinite one, before anything is stored.
void CheckRedlineNumbers(std::initializer_list<float> values);

/// The text as one line: each carriage return and line feed becomes a blank, so that a
/// written DXF keeps its pairs of lines.
std::string OneLine(std::string_view text);

/// The layer name a redline entity is put on: on one line, without surrounding blanks,
/// and DefaultRedlineLayer for a name that is left empty.
std::string RedlineLayerName(std::string_view LayerName);

} // namespace plandra
