// Case rules of the engine's 8-bit ANSI text.
#include "ansi_case.h"

namespace vorn {

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

} // namespace vorn
