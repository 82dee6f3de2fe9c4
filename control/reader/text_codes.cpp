// Cleaning of TEXT and MTEXT values.
#include "text_codes.h"

#include <cctype>
#include <string_view>

namespace plandra {

namespace {

// Code page 1252 characters the %% codes stand for.
constexpr char DiameterSign = '\xD8';
constexpr char DegreeSign = '\xB0';
constexpr char PlusMinusSign = '\xB1';

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::string ReplaceControlCodes(std::string text, bool& underline) {
    std::size_t position = text.find("%%");
    while (position != std::string::npos) {
        char code = position + 2 < text.size() ? text[position + 2] : '\0';
        std::string_view replacement;
        switch (code) {
        case 'c':
        case 'C':
            replacement = {&DiameterSign, 1};
            break;
        case 'd':
        case 'D':
            replacement = {&DegreeSign, 1};
            break;
        case 'p':
        case 'P':
            replacement = {&PlusMinusSign, 1};
            break;
        case 'u':
        case 'U':
            underline = true;
            break;
        default:
            break;
        }
        // "%%" at the very end has no code character to remove with it.
        std::size_t length = code == '\0' ? 2 : 3;
        text.replace(position, length, replacement);
        position = text.find("%%", position);
    }
    return text;
}

std::string DropLeadingFormatCode(std::string text) {
    if (text.size() >= 2 && text[0] == '\\' && IsAsciiLetter(text[1])) {
        std::size_t end = text.find(';');
        if (end != std::string::npos) {
            text.erase(0, end + 1);
        }
    }
    return text;
}

std::string StripMTextFormatting(const std::string& text) {
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '{' || c == '}') {
            continue;
        }
        if (c != '\\' || i + 1 >= text.size()) {
            plain += c;
            continue;
        }
        char code = text[i + 1];
        std::size_t end = text.find(';', i + 2);
        switch (code) {
        case 'P':
        case '~':
            plain += ' ';
            ++i;
            break;
        case '{':
        case '}':
        case '\\':
            plain += code;
            ++i;
            break;
        case 'L':
        case 'l':
        case 'O':
        case 'o':
        case 'K':
        case 'k':
            ++i;
            break;
        case 'S':
            if (end == std::string::npos) {
                plain += c;
                break;
            }
            for (std::size_t j = i + 2; j < end; ++j) {
                plain += text[j] == '^' || text[j] == '#' ? '/' : text[j];
            }
            i = end;
            break;
        case 'A':
        case 'C':
        case 'c':
        case 'F':
        case 'f':
        case 'H':
        case 'Q':
        case 'T':
        case 'W':
        case 'p':
            if (end == std::string::npos) {
                plain += c;
                break;
            }
            i = end;
            break;
        default:
            plain += c;
            break;
        }
    }
    return plain;
}

std::string ReplaceDoubleQuotes(const std::string& text) {
    std::string replaced;
    replaced.reserve(text.size());
    for (char c : text) {
        if (c == '"') {
            replaced += "''";
        } else {
            replaced += c;
        }
    }
    return replaced;
}

} // namespace plandra
