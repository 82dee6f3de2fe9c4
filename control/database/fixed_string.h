// A fixed-length text field: always N characters, padded with blanks, longer text cut.
#pragma once

#include "platform/ansi_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace plandra {

template <std::size_t N> class FixedString {
public:
    FixedString() { Chars.fill(' '); }
    explicit FixedString(std::string_view text) { Assign(text); }

    /// Left-justified assignment: the text padded with blanks or cut to N characters.
    void Assign(std::string_view text) {
        std::size_t count = std::min(text.size(), N);
        std::copy_n(text.begin(), count, Chars.begin());
        std::fill(Chars.begin() + static_cast<std::ptrdiff_t>(count), Chars.end(), ' ');
    }

    /// All N characters, padding included.
    std::string_view View() const { return {Chars.data(), N}; }

    /// The text without leading and trailing blanks.
    std::string_view Trimmed() const { return platform::TrimBlanks(View()); }

    friend bool operator==(const FixedString&, const FixedString&) = default;

private:
    std::array<char, N> Chars;
};

} // namespace plandra
