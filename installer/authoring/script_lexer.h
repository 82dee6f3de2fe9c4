// Splits one line of an installation script into words, strings and symbols.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn::authoring {

struct Token {
    enum class Kind { Word, String, Symbol };
    Kind Type = Kind::Word;
    std::string Text; ///< A string's text with its escapes resolved.
    int Column = 1;
};

/// Why a line could not be split, and where.
struct LexError {
    int Column = 0;
    std::string Message;
};

/// The tokens of `line` up to a comment ("#" outside a string); on a mistake `error`
/// gets its column (else Column stays 0).
std::vector<Token> SplitLine(std::string_view line, LexError& error);

/// True when `text` is hexadecimal digits and blanks, with %NAME% references between
/// them: the data of a binary registry value.
bool IsHexText(std::string_view text);

/// True when `name` can be written as a variable name: a word of at most `max`
/// characters without "%".
bool IsVariableWord(std::string_view name, std::size_t max);

/// The text written as a string literal the lexer reads back to the same text.
std::string Quote(std::string_view text);

/// One text for every language as a string, or [one string per language] when they differ.
std::string LanguageText(const std::vector<std::string>& texts);

} // namespace vorn::authoring
