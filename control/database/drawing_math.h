// Small numeric rules shared by the readers and the drawing: angles and flag bits.
#pragma once

#include <cstdint>

namespace plandra {

/// Pi as the drawing code has always used it: five decimals, in single precision
/// where the caller computes in Single.
inline constexpr double DrawingPi = 3.14159;

/// Subtracts 360 while the angle is 360 or more; negative angles stay as they are.
/// Leaves the result in `angle` and returns it.
float NormalizeAngle(float& angle);

/// True when bit `bit` (0 to 8) of `value` is set. Defined for values 0 to 511,
/// as the bits are taken from bit 8 down.
bool IsBitSet(std::int32_t value, std::int32_t bit);

} // namespace plandra
