// How the text bytes of a drawing are read into the code page 1252 text the
// control works in: by the drawing's version and code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plandra {

enum class TextEncoding {
    /// Code page 1252 (or a drawing that names none): the bytes as they stand.
    Ansi1252,
    /// Another code page: its ASCII part is kept, every other byte becomes "?".
    OtherCodePage,
    /// Drawings of version AC1021 (2007) and later: UTF-8.
    Utf8,
};

/// The encoding of a drawing whose header holds `acadVer` ($ACADVER, group 1) and
/// `dwgCodePage` ($DWGCODEPAGE, group 3); either may be empty.
TextEncoding EncodingOf(std::string_view acadVer, std::string_view dwgCodePage);

/// The code page 1252 character of a Unicode code point, or "?" for one outside it.
char AnsiOfCodePoint(std::uint32_t codePoint);

/// Text bytes read by `encoding` as code page 1252 text, with the escapes "\U+XXXX"
/// (a code point) and "\M+NXXXX" (a double-byte character of code page N, shown as
/// "?") resolved. Invalid UTF-8 gives one "?" for each byte that starts no valid
/// sequence.
std::string DecodeDrawingText(std::string_view bytes, TextEncoding encoding);

} // namespace plandra
