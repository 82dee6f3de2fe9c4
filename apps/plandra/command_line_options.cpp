#include "command_line_options.h"

#include <charconv>
#include <cmath>

namespace plandra::cli {

bool ParseSize(std::string_view text, int& width, int& height) {
    auto separator = text.find('x');
    if (separator == std::string_view::npos) {
        return false;
    }
    auto number = [](std::string_view part, int& value) {
        auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        return error == std::errc() && end == part.data() + part.size() && value >= 1 &&
               value <= 16384;
    };
    return number(text.substr(0, separator), width) && number(text.substr(separator + 1), height);
}

bool ParseColor(std::string_view text, Long& color) {
    unsigned value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.size() != 6 || error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    color = static_cast<Long>(((value >> 16) & 0xFF) | (value & 0xFF00) | ((value & 0xFF) << 16));
    return true;
}

bool ParseWindow(std::string_view text, RealRect& window) {
    float* sides[] = {&window.Left, &window.Top, &window.Right, &window.Bottom};
    for (std::size_t i = 0; i < 4; ++i) {
        auto comma = i < 3 ? text.find(',') : text.size();
        if (comma == std::string_view::npos) {
            return false;
        }
        std::string_view part = text.substr(0, comma);
        auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), *sides[i]);
        // from_chars also reads "inf" and "nan", which no window can be made of.
        if (error != std::errc() || end != part.data() + part.size() || !std::isfinite(*sides[i])) {
            return false;
        }
        text.remove_prefix(i < 3 ? comma + 1 : comma);
    }
    return true;
}

} // namespace plandra::cli
