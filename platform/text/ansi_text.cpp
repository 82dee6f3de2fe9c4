// The rules of the system's 8-bit ANSI text.
#include "platform/ansi_text.h"

#include <array>
#include <cstdint>

namespace platform {

char UpperAnsi(char c) {
    auto code = static_cast<unsigned char>(c);
    if ((code >= 'a' && code <= 'z') || (code >= 0xE0 && code <= 0xFE && code != 0xF7)) {
        return static_cast<char>(code - 0x20);
    }
    switch (code) {
    case 0x9A: // s caron
    case 0x9C: // oe ligature
    case 0x9E: // z caron
        return static_cast<char>(code - 0x10);
    case 0xFF: // y diaeresis
        return static_cast<char>(0x9F);
    default:
        return c;
    }
}

char LowerAnsi(char c) {
    auto code = static_cast<unsigned char>(c);
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7)) {
        return static_cast<char>(code + 0x20);
    }
    switch (code) {
    case 0x8A:
    case 0x8C:
    case 0x8E:
        return static_cast<char>(code + 0x10);
    case 0x9F:
        return static_cast<char>(0xFF);
    default:
        return c;
    }
}

std::string UpperAnsi(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = UpperAnsi(c);
    }
    return result;
}

std::string LowerAnsi(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        c = LowerAnsi(c);
    }
    return result;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperAnsi(a[i]) != UpperAnsi(b[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoringCase(text.substr(text.size() - suffix.size()), suffix);
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view pattern) {
    if (pattern.size() > text.size()) {
        return std::string_view::npos;
    }
    for (std::size_t i = 0; i + pattern.size() <= text.size(); ++i) {
        if (StartsWithIgnoringCase(text.substr(i), pattern)) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::size_t FindLastIgnoringCase(std::string_view text, std::string_view pattern) {
    if (pattern.size() > text.size()) {
        return std::string_view::npos;
    }
    for (std::size_t i = text.size() - pattern.size() + 1; i-- > 0;) {
        if (StartsWithIgnoringCase(text.substr(i), pattern)) {
            return i;
        }
    }
    return std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

namespace {

// The code point of one code page 1252 byte. Bytes 0x80 to 0x9F have their own table;
// the rest of the page equals Latin-1, and bytes the page leaves undefined keep their
// own value.
std::uint16_t AnsiCodePoint(char c) {
    static constexpr std::array<std::uint16_t, 32> High = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0x80 && byte <= 0x9F ? High[byte - 0x80] : byte;
}

} // namespace

std::u16string AnsiToUtf16(std::string_view text) {
    std::u16string utf16;
    utf16.reserve(text.size());
    for (char c : text) {
        utf16.push_back(static_cast<char16_t>(AnsiCodePoint(c)));
    }
    return utf16;
}

std::string AnsiToUtf8(std::string_view text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (char c : text) {
        std::uint32_t code = AnsiCodePoint(c);
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

std::vector<std::string_view> SplitBackslashNames(std::string_view path) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        if (end > start) {
            names.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

} // namespace platform
