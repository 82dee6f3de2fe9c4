// The number rules of DXF values: lenient parsing and the checked integer conversions.
#pragma once

#include <cstdint>
#include <string_view>

namespace plandra {

/// A value line read as a number: leading blanks skipped, the longest numeric prefix
/// taken (sign, digits, decimal point, exponent), anything else ignored; an empty or
/// non-numeric value gives 0.
double ParseLenientNumber(std::string_view text);

/// Rounds to the nearest integer, ties to even (the rule of every integer conversion).
double RoundHalfEven(double value);

/// Converts to a 16-bit Integer, rounding ties to even; throws the Overflow error
/// outside -32768 to 32767.
std::int16_t ToInteger(double value);

/// Converts to a 32-bit Long, rounding ties to even; throws the Overflow error
/// outside the 32-bit range.
std::int32_t ToLong(double value);

/// Converts to a Single; throws the Overflow error beyond the float range.
float ToSingle(double value);

} // namespace plandra
