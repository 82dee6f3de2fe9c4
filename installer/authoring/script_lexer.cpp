// Splits one line of an installation script into tokens.
#include "script_lexer.h"

#include "platform/ansi_text.h"

#include <algorithm>
#include <cctype>

namespace vorn::authoring {

namespace {

bool IsWordChar(unsigned char c) {
    return std::isalnum(c) != 0 || c == '_' || c == '-' || c == '%' || c == '.';
}

} // namespace

std::vector<Token> SplitLine(std::string_view line, LexError& error) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    auto fail = [&](std::size_t at, std::string message) {
        error = {static_cast<int>(at) + 1, std::move(message)};
        return std::vector<Token>{};
    };
    while (i < line.size()) {
        const auto c = static_cast<unsigned char>(line[i]);
        const int column = static_cast<int>(i) + 1;
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token token{Token::Kind::String, {}, column};
            ++i;
            for (;;) {
                if (i >= line.size()) {
                    return fail(column - 1, "unterminated string: expected a closing quote");
                }
                const char d = line[i++];
                if (d == '"') {
                    break;
                }
                if (d != '\\') {
                    token.Text += d;
                    continue;
                }
                const char e = i < line.size() ? line[i] : '\0';
                ++i;
                if (e == 'n') {
                    token.Text += '\n';
                } else if (e == 'r') {
                    token.Text += '\r';
                } else if (e == 't') {
                    token.Text += '\t';
                } else if (e == '\\' || e == '"') {
                    token.Text += e;
                } else if (e == 'x' && i + 1 < line.size() &&
                           platform::HexDigitValue(line[i]) >= 0 &&
                           platform::HexDigitValue(line[i + 1]) >= 0) {
                    const int value = platform::HexDigitValue(line[i]) * 16 +
                                      platform::HexDigitValue(line[i + 1]);
                    if (value == 0) {
                        return fail(i - 2, "a string cannot hold a zero byte");
                    }
                    token.Text += static_cast<char>(value);
                    i += 2;
                } else {
                    return fail(i - 2, "expected \\\\, \\\", \\n, \\r, \\t or \\xHH after a "
                                       "backslash");
                }
            }
            tokens.push_back(std::move(token));
        } else if (IsWordChar(c)) {
            std::size_t start = i;
            while (i < line.size() && IsWordChar(static_cast<unsigned char>(line[i]))) {
                ++i;
            }
            tokens.push_back(
                {Token::Kind::Word, std::string(line.substr(start, i - start)), column});
        } else if (c == '[' || c == ']' || c == ',') {
            tokens.push_back({Token::Kind::Symbol, std::string(1, static_cast<char>(c)), column});
            ++i;
        } else if (c == '=' || c == '!' || c == '<' || c == '>') {
            std::string symbol(1, static_cast<char>(c));
            if (i + 1 < line.size() && line[i + 1] == '=') {
                symbol += '=';
            }
            if (symbol == "=" || symbol == "!") {
                return fail(i, "expected ==, !=, <, <=, > or >=");
            }
            tokens.push_back({Token::Kind::Symbol, symbol, column});
            i += symbol.size();
        } else {
            return fail(i, std::string("unexpected character '") + static_cast<char>(c) + "'");
        }
    }
    return tokens;
}

bool IsHexText(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            const std::size_t close = text.find('%', i + 1);
            if (close == std::string_view::npos) {
                return false;
            }
            i = close;
        } else if (c != ' ' && platform::HexDigitValue(c) < 0) {
            return false;
        }
    }
    return true;
}

bool IsVariableWord(std::string_view name, std::size_t max) {
    return !name.empty() && name.size() <= max && std::all_of(name.begin(), name.end(), [](char c) {
        return c != '%' && IsWordChar(static_cast<unsigned char>(c));
    });
}

std::string Quote(std::string_view text) {
    static const char* const Hex = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

std::string LanguageText(const std::vector<std::string>& texts) {
    if (std::all_of(texts.begin(), texts.end(), [&](const auto& t) { return t == texts[0]; })) {
        return Quote(texts[0]);
    }
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out += (i == 0 ? "" : ", ") + Quote(texts[i]);
    }
    return out + "]";
}

} // namespace vorn::authoring
