// The words of the installation script language that stand for bits and codes of the
// records, shared by the compiler and the lister so both spell them alike.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vorn::authoring {

/// A word and the bits it sets in a flag byte.
struct FlagWord {
    std::string_view Word;
    std::uint8_t Bits;
};

/// Comparisons of if and while, by code (0 to 12).
inline constexpr std::array<std::string_view, 13> ComparisonWords = {
    "==", "!=", "contains", "lacks",      "same-as",        "differs-from", ">",
    ">=", "<",  "<=",       "has-any-of", "has-other-than", "length-is"};

/// Install-file flags A (the date rules, bits 3-4, are words of their own).
inline constexpr std::array<FlagWord, 4> InstallFlagsA = {{
    {"compare-versions", 0x01},
    {"shared", 0x02},
    {"private", 0x04},
    {"no-progress", 0x20},
}};
inline constexpr std::array<std::string_view, 4> DateRuleWords = {
    "replace-always", "replace-older-or-same", "replace-older", "never-replace"};
inline constexpr std::uint8_t OutsideSource = 0x40;

/// Install-file flags B (bit 7, the wildcard source, comes from install-wildcard).
inline constexpr std::array<FlagWord, 5> InstallFlagsB = {{
    {"subdirectories", 0x01},
    {"main-archive", 0x08},
    {"self-register", 0x10},
    {"not-system-shared", 0x20},
    {"main-archive-no-byte-progress", 0x40},
}};
inline constexpr std::uint8_t WildcardSource = 0x80;

/// Delete-file flags.
inline constexpr std::array<FlagWord, 3> DeleteFlags = {{
    {"in-test-mode", 0x01},
    {"remove-directory", 0x04},
    {"subdirectories", 0x08},
}};

/// Message-box styles (bit 0, Yes/No, is the ask statement).
inline constexpr std::array<FlagWord, 3> MessageFlags = {{
    {"no-cancel", 0x02},
    {"alternative-captions", 0x40},
    {"cancel-ends", 0x80},
}};
/// The icon field (bits 2-4) holds one of these values.
inline constexpr std::uint8_t IconField = 0x1C;
inline constexpr std::array<FlagWord, 4> MessageIcons = {{
    {"information", 0x04},
    {"exclamation", 0x08},
    {"question", 0x0C},
    {"stop", 0x10},
}};

} // namespace vorn::authoring
