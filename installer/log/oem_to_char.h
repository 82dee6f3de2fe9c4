// Conversion of OEM text (code page 437) to ANSI text (code page 1252).
#pragma once

#include <string>
#include <string_view>

namespace vorn {

/// The text converted as Windows' OemToChar converts it from code page 437 to code
/// page 1252: letters the two pages share keep their meaning; characters that code
/// page 1252 lacks (box drawing, Greek letters) become the nearest look-alike.
std::string OemToChar(std::string_view oemText);

} // namespace vorn
