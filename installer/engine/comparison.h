// The comparisons of the If/While record (opcode 12): text, case, character-set and
// version/date comparisons of a variable's value with a value.
#pragma once

#include <string_view>

namespace vorn {

/// Compares two version numbers or month/day/year dates: -1, 0 or +1. "1.5" is
/// greater than "1.10" (later groups are compared as decimal fractions), "3.1" equals
/// "3.10", and two-digit years 00 to 59 come after 60 to 99.
int CompareVersions(std::string_view a, std::string_view b);

/// Comparison `code` (0 to 12) of a variable's value with a value; codes 13 to 15
/// have no meaning and are false.
bool EvaluateComparison(int code, std::string_view variable, std::string_view value);

} // namespace vorn
