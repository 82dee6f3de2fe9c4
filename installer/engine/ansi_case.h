// Case rules of the engine's 8-bit ANSI (code page 1252) text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorn {

/// One character in upper case, accented letters of code page 1252 included.
char UpperAnsi(char c);
/// One character in lower case, the inverse of UpperAnsi.
char LowerAnsi(char c);

std::string UpperAnsi(std::string_view text);
std::string LowerAnsi(std::string_view text);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

/// Position of the first (or last) occurrence of `pattern` in `text`, comparing
/// ignoring case; npos when there is none.
std::size_t FindIgnoringCase(std::string_view text, std::string_view pattern);
std::size_t FindLastIgnoringCase(std::string_view text, std::string_view pattern);

} // namespace vorn
