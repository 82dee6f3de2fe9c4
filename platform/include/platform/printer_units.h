// A printer's pixels in the units of its scale mode.
#pragma once

#include "platform/picture_box.h"

namespace platform {

/// `pixels` of a printer of `dotsPerInch` in the units of the scale:: `mode`; any mode
/// other than pixels, points and millimetres is twips, the printer's own default.
inline double PrinterUnits(int pixels, int dotsPerInch, int mode) {
    if (mode == scale::Pixels) {
        return pixels;
    }
    if (dotsPerInch <= 0) {
        return 0;
    }
    const double perInch = mode == scale::Points        ? 72.0
                           : mode == scale::Millimeters ? 25.4
                                                        : 1440.0;
    return pixels * perInch / dotsPerInch;
}

} // namespace platform
