// The values of plandra's options, read from their command-line text.
#pragma once

#include "control/database/entity_records.h"
#include "control/database/real_rect.h"

#include <string_view>

namespace plandra::cli {

/// "WIDTHxHEIGHT", each a decimal number from 1 to 16384. False, with `width` and
/// `height` unspecified, for anything else.
bool ParseSize(std::string_view text, int& width, int& height);

/// "RRGGBB", six hexadecimal digits, to a COLORREF (0x00BBGGRR). False, with `color`
/// unchanged, for anything else.
bool ParseColor(std::string_view text, Long& color);

/// "LEFT,TOP,RIGHT,BOTTOM", four finite numbers in drawing units. False, with `window`
/// unspecified, for anything else.
bool ParseWindow(std::string_view text, RealRect& window);

} // namespace plandra::cli
