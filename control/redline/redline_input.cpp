// The checks and clean-ups every value a host hands to the redline methods goes through.
#include "redline_input.h"

#include "control/database/control_error.h"
#include "platform/ansi_text.h"

#include <algorithm>
#include <cmath>

namespace plandra {

void CheckRedlineNumbers(std::initializer_list<float> values) {
    for (float value : values) {
        if (std::isnan(value)) {
            throw ControlError::Runtime(RuntimeError::InvalidArgument);
        }
        if (std::isinf(value)) {
            throw ControlError::Runtime(RuntimeError::Overflow);
        }
    }
}

std::string OneLine(std::string_view text) {
    std::string line(text);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

std::string RedlineLayerName(std::string_view LayerName) {
    std::string name = OneLine(LayerName);
    std::string trimmed(platform::TrimBlanks(name));
    return trimmed.empty() ? std::string(DefaultRedlineLayer) : trimmed;
}

} // namespace plandra
