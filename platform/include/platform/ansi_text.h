// The rules of the system's 8-bit ANSI (code page 1252) text: case, blanks, and
// conversion to UTF-8 at the edge where Unicode is wanted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// One character in upper case, accented letters of code page 1252 included.
char UpperAnsi(char c);
/// One character in lower case, the inverse of UpperAnsi.
char LowerAnsi(char c);

std::string UpperAnsi(std::string_view text);
std::string LowerAnsi(std::string_view text);

/// The value of a hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(char c);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

/// Position of the first (or last) occurrence of `pattern` in `text`, comparing
/// ignoring case; npos when there is none.
std::size_t FindIgnoringCase(std::string_view text, std::string_view pattern);
std::size_t FindLastIgnoringCase(std::string_view text, std::string_view pattern);

/// The text without leading and trailing blanks (spaces only, as Trim does).
std::string_view TrimBlanks(std::string_view text);

/// The names of a backslash-separated path (a registry key, a Windows folder path) in
/// order; repeated and trailing backslashes name nothing, as Windows reads them.
std::vector<std::string_view> SplitBackslashNames(std::string_view path);

/// Code page 1252 text as UTF-8, for output that must be Unicode (JSON, consoles).
std::string AnsiToUtf8(std::string_view text);
/// Code page 1252 text as UTF-16 (every byte is one code unit), for Unicode records.
std::u16string AnsiToUtf16(std::string_view text);

} // namespace platform
