// The text forms of the values the DXF writer produces.
#include "dxf_values.h"

#include "control/database/control_error.h"
#include "platform/ansi_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace plandra {

std::string DxfSingle(float value) {
    if (!std::isfinite(value)) {
        throw ControlError::Runtime(RuntimeError::InvalidArgument);
    }
    // to_chars never consults the locale, so the separator is always a period.
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, 7);
    return std::string(buffer.data(), result.ptr);
}

std::string DxfHandle(std::uint64_t handle) {
    std::array<char, 20> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), handle, 16);
    std::string text(buffer.data(), result.ptr);
    for (char& c : text) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::uint64_t ParseHandleSeed(std::string_view text) {
    text = platform::TrimBlanks(text);
    std::uint64_t seed = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, seed, 16);
    if (result.ec == std::errc::result_out_of_range) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
    if (text.empty() || result.ec != std::errc() || result.ptr != end) {
        throw ControlError::Runtime(RuntimeError::TypeMismatch);
    }
    return seed;
}

Integer ColorToACI(Long color) {
    // RGB values written RRGGBB, with their colour numbers.
    static constexpr std::pair<std::uint32_t, Integer> Table[] = {
        {0x000000, 7},  {0xFF0000, 1},  {0xFFFF00, 2},  {0x00FF00, 3},   {0x00FFFF, 4},
        {0x0000FF, 5},  {0x848284, 5},  {0xFF00FF, 6},  {0xFFFFFF, 0},   {0x849684, 8},
        {0xBDBEBD, 9},  {0x000084, 12}, {0x311000, 18}, {0x313031, 19},  {0xC6C3C6, 27},
        {0x313000, 38}, {0x425142, 59}, {0x003000, 88}, {0x003031, 118}, {0x001031, 168},
        {0x311031, 198}};
    const auto value = static_cast<std::uint32_t>(color);
    // COLORREF 0x00BBGGRR to RRGGBB.
    const std::uint32_t rgb = ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
    if ((value >> 24) != 0) {
        return 7;
    }
    for (const auto& [entry, number] : Table) {
        if (entry == rgb) {
            return number;
        }
    }
    return 7;
}

} // namespace plandra
