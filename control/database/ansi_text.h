// Text helpers for the control's 8-bit ANSI (code page 1252) strings.
#pragma once

#include <string>
#include <string_view>

namespace plandra {

/// The text without leading and trailing blanks (spaces only, as Trim does).
std::string_view TrimBlanks(std::string_view text);

/// One character in upper case, in code page 1252, accented letters included.
char UpperCaseChar(char c);

/// The text in upper case, as UpperCaseChar does it.
std::string UpperCase(std::string_view text);

/// True when both texts are equal in upper case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

/// Code page 1252 text as UTF-8, for output that must be Unicode (JSON, consoles).
std::string AnsiToUtf8(std::string_view text);

} // namespace plandra
