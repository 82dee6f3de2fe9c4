// Reading text bytes by the drawing's encoding into code page 1252.
#include "text_encoding.h"

#include "platform/ansi_text.h"

#include <array>

namespace plandra {

namespace {

// The code points of bytes 0x80 to 0x9F; the rest of code page 1252 is Latin-1.
// Bytes the code page leaves undefined stand for their own value.
constexpr std::array<std::uint16_t, 32> High1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The value of `count` hexadecimal digits at `at`, or -1.
long HexAt(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return -1;
    }
    long value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        int digit = HexDigit(text[at + i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

// The code point of the UTF-8 sequence at `at` and its length, or length 0 when the
// bytes there are no valid, shortest-form sequence.
std::pair<std::uint32_t, std::size_t> Utf8At(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned lead = byte(0);
    std::size_t length;
    std::uint32_t code;
    std::uint32_t lowest;
    if (lead < 0x80) {
        return {lead, 1};
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, lowest = 0x10000;
    } else {
        return {0, 0};
    }
    if (at + length > text.size()) {
        return {0, 0};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return {0, 0};
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {0, 0};
    }
    return {code, length};
}

bool IsCodePage1252(std::string_view name) {
    std::string upper = platform::UpperAnsi(platform::TrimBlanks(name));
    return upper.empty() || upper == "ANSI_1252" || upper == "ISO8859-1" || upper == "ISO8859_1";
}

} // namespace

TextEncoding EncodingOf(std::string_view acadVer, std::string_view dwgCodePage) {
    std::string_view version = platform::TrimBlanks(acadVer);
    // Version names are "AC" and four digits, so they compare as text.
    if (version.size() == 6 && version.substr(0, 2) == "AC" && version >= "AC1021") {
        return TextEncoding::Utf8;
    }
    return IsCodePage1252(dwgCodePage) ? TextEncoding::Ansi1252 : TextEncoding::OtherCodePage;
}

char AnsiOfCodePoint(std::uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (std::size_t i = 0; i < High1252.size(); ++i) {
        if (High1252[i] == codePoint) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

std::string DecodeDrawingText(std::string_view bytes, TextEncoding encoding) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        if (bytes[at] == '\\' && at + 2 < bytes.size() && bytes[at + 2] == '+') {
            const char kind = bytes[at + 1];
            if ((kind == 'U' || kind == 'u')) {
                if (long code = HexAt(bytes, at + 3, 4); code >= 0) {
                    text += AnsiOfCodePoint(static_cast<std::uint32_t>(code));
                    at += 7;
                    continue;
                }
            } else if ((kind == 'M' || kind == 'm') && HexAt(bytes, at + 3, 5) >= 0) {
                text += '?';
                at += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80 || encoding == TextEncoding::Ansi1252) {
            text += bytes[at];
            ++at;
        } else if (encoding == TextEncoding::OtherCodePage) {
            text += '?';
            ++at;
        } else {
            auto [code, length] = Utf8At(bytes, at);
            text += length == 0 ? '?' : AnsiOfCodePoint(code);
            at += length == 0 ? 1 : length;
        }
    }
    return text;
}

} // namespace plandra
