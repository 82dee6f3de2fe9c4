// The text forms of the values the DXF writer produces: numbers, handles and colours.
#pragma once

#include "control/database/entity_records.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace plandra {

/// A single-precision value as DXF text: at most 7 significant digits, a period as the
/// decimal separator whatever the locale, exponent form only for very large or small
/// values ("1e+07"), no leading blank. A value that is not finite raises "Invalid
/// procedure call or argument": no DXF reader takes it.
std::string DxfSingle(float value);

/// A handle: upper-case hexadecimal without leading zeros.
std::string DxfHandle(std::uint64_t handle);

/// The value of a handle seed, hexadecimal with surrounding blanks allowed. Text that
/// is not hexadecimal raises "Type mismatch"; more than 16 digits raise "Overflow".
std::uint64_t ParseHandleSeed(std::string_view text);

/// The DXF colour number of an RGB value (COLORREF layout) by exact match in the
/// writer's table; every value the table does not hold gives 7.
Integer ColorToACI(Long color);

} // namespace plandra
