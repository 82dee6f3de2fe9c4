// Angles and flag bits.
#include "drawing_math.h"

#include <cmath>

namespace plandra {

float NormalizeAngle(float& angle) {
    if (angle >= 360.0f && std::isfinite(angle)) {
        // Beyond 2^24 repeated subtraction in single precision takes ever longer
        // and for huge angles never ends (360 is below their precision); the
        // exact remainder stands in for it there.
        if (angle >= 16777216.0f) {
            angle = std::fmod(angle, 360.0f);
        }
        while (angle >= 360.0f) {
            angle -= 360.0f;
        }
    }
    return angle;
}

bool IsBitSet(std::int32_t value, std::int32_t bit) {
    // The bits are peeled off from the highest down, so values above 511 leave
    // their excess in bit 8's test and never reach the lower bits correctly.
    std::int32_t remainder = value;
    for (std::int32_t current = 8; current >= 0; --current) {
        std::int32_t weight = 1 << current;
        bool set = remainder >= weight;
        if (set) {
            remainder -= weight;
        }
        if (current == bit) {
            return set;
        }
    }
    return false;
}

} // namespace plandra
