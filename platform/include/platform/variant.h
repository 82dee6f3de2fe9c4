// The automation variant as the control's hosts and property bags pass it.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace platform {

/// The automation Boolean (VT_BOOL), kept apart from Integer so that a variant
/// remembers which of the two it holds.
struct VariantBool {
    bool Value = false;
    bool operator==(const VariantBool&) const = default;
};

/// Empty, Integer (16-bit), Long (32-bit), Single, Double, Boolean or String (8-bit
/// ANSI text); the kinds the control's members and stored properties use.
using Variant = std::variant<std::monostate, std::int16_t, std::int32_t, float, double, VariantBool,
                             std::string>;

} // namespace platform
