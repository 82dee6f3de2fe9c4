// JSON output of the command-line tools.
#pragma once

#include <string>
#include <string_view>

namespace apps {

/// A JSON string literal, quotes included, of code page 1252 text (written as UTF-8).
std::string JsonString(std::string_view ansi);

} // namespace apps
