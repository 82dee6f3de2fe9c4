// The number rules of DXF values: lenient parsing and the checked integer conversions.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace plandra {

/// A value line read as a number: leading blanks skipped, the longest numeric prefix
/// taken (sign, digits, decimal point, exponent), anything else ignored; an empty or
/// non-numeric value gives 0.
double ParseLenientNumber(std::string_view text);

// Single and Double results must be the same in every build: limits are compared and
// pixels rounded exactly. A compiler that keeps wider intermediates (the x87 unit of a
// 32-bit build without SSE2 arithmetic) would change them.
static_assert(FLT_EVAL_METHOD == 0, "float and double arithmetic must not use wider intermediates");

/// Rounds to the nearest integer, ties to even (the rule of every integer conversion).
inline double RoundHalfEven(double value) {
    // In double-precision arithmetic adding and taking away 1.5 x 2^52 leaves no
    // fraction bits, so the sum rounds half to even without a library call (the
    // drawing pass rounds every pixel coordinate).
    constexpr double Shift = 6755399441055744.0;
    if (std::abs(value) < 2251799813685248.0) {
        return (value + Shift) - Shift;
    }
    return std::nearbyint(value);
}

/// Converts to a 16-bit Integer, rounding ties to even; throws the Overflow error
/// outside -32768 to 32767.
std::int16_t ToInteger(double value);

/// Converts to a 32-bit Long, rounding ties to even; throws the Overflow error
/// outside the 32-bit range.
std::int32_t ToLong(double value);

/// Converts to a Single; throws the Overflow error beyond the float range.
float ToSingle(double value);

} // namespace plandra
