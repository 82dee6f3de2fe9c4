// Cleaning of TEXT and MTEXT values: the %% control codes and MTEXT formatting.
#pragma once

#include <string>

namespace plandra {

/// Replaces the %% codes of a text value: %%c, %%d and %%p by the diameter, degree
/// and plus-minus signs of code page 1252, %%u (anywhere) by nothing while setting
/// `underline`, any other code by nothing. Returns the cleaned text.
std::string ReplaceControlCodes(std::string text, bool& underline);

/// Removes a leading formatting code such as \A1; (a backslash, a letter and
/// everything up to the first ";"). Text without such a code is returned unchanged.
std::string DropLeadingFormatCode(std::string text);

/// Reduces MTEXT formatting to plain text: \P and \~ become a blank, braces go,
/// \{ \} \\ become the character itself, \S...; keeps the fraction with "/", the
/// codes \A \C \c \F \f \H \Q \T \W \p are removed up to their ";", and the toggles
/// \L \l \O \o \K \k are removed. Any other backslash stays as it is.
std::string StripMTextFormatting(const std::string& text);

/// Replaces every double quote by two single quotes.
std::string ReplaceDoubleQuotes(const std::string& text);

} // namespace plandra
