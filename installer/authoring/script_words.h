// The words of the installation script language that stand for bits and codes of the
// records, shared by the compiler and the lister so both spell them alike.
#pragma once

#include <array>
#include <cstdint>
#include <span>
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

/// Registry roots and value types by index.
inline constexpr std::array<std::string_view, 5> RegistryRoots = {"HKCR", "HKCU", "HKLM", "HKU",
                                                                  "HKCC"};
inline constexpr std::array<std::string_view, 5> RegistryTypes = {
    "string", "expand-string", "multi-string", "dword", "binary"};
inline constexpr std::uint8_t RegistryRootField = 0x3F;
inline constexpr std::uint8_t RegistryDefaultValue = 0x40;
inline constexpr std::uint8_t RegistryDelete = 0x80;
inline constexpr std::uint8_t RegistryMultiString = 2;
inline constexpr std::uint8_t RegistryDword = 3;
inline constexpr std::uint8_t RegistryBinary = 4;

/// The byte that separates the fields of a built-in call's argument, the strings of a
/// multi-string value and the attributes of an ODBC record.
inline constexpr char FieldSeparator = '\x7F';

/// Program Manager commands: the flag bit that has the engine close the command (with
/// bit 0 as the window-state or common-group argument on Windows NT), and the texts the
/// group and icon statements make.
inline constexpr std::uint8_t ProgmanEngineCloses = 0x02;
inline constexpr std::string_view CreateGroupText = "[CreateGroup(";
inline constexpr std::string_view AddItemText = "[AddItem(";
/// Characters a group or icon name cannot hold: they would end its DDE argument.
inline constexpr std::string_view ProgmanSpecial = ",()[]\"";

/// Execute-program flags.
inline constexpr std::array<FlagWord, 3> RunFlags = {{
    {"maximized", 0x01},
    {"wait", 0x02},
    {"minimized", 0x04},
}};

/// System information items by code (11 has no item).
inline constexpr std::array<std::string_view, 19> SystemItems = {
    "date-time",    "windows-version", "dos-version", "memory",
    "file-date",    "file-version",    "owner",       "organization",
    "drive-type",   "network-drive",   "cd-drive",    "",
    "network-path", "setup-path",      "file-size",   "volume-serial",
    "volume-label", "user-name",       "service-pack"};

/// ODBC flags: the 32-bit configuration library; for a data source, close the progress
/// window first.
inline constexpr std::array<FlagWord, 1> OdbcDriverFlags = {{{"32-bit", 0x02}}};
inline constexpr std::array<FlagWord, 2> OdbcSourceFlags = {
    {{"close-progress", 0x01}, {"32-bit", 0x02}}};

/// Sound and video flags.
inline constexpr std::uint8_t SoundLoops = 0x01;
inline constexpr std::uint8_t VideoWaits = 0x01;
inline constexpr std::uint8_t IsVideo = 0x02;

/// Billboard flags. The number of top graphics to remove is kept in bit 2 (its lowest
/// bit) and bits 11-13; the transition effect in bits 7-9.
struct WideFlagWord {
    std::string_view Word;
    std::uint16_t Bits;
};
inline constexpr std::array<WideFlagWord, 7> BillboardFlags = {{
    {"or-paint", 0x0002},
    {"center-horizontally", 0x0008},
    {"center-vertically", 0x0010},
    {"scale", 0x0020},
    {"repeat-down", 0x0040},
    {"metafile", 0x0400},
    {"close-progress", 0x4000},
}};
inline constexpr std::uint16_t BillboardRemoveAll = 0x0001;
inline constexpr std::uint16_t BillboardCloseProgress = 0x4000;
inline constexpr std::uint16_t BillboardRemoveCount = 0x3804;
inline constexpr std::uint16_t BillboardEffectField = 0x0380;
inline constexpr std::array<std::string_view, 6> BillboardEffects = {
    "", "dissolve", "slide-from-top", "slide-from-bottom", "slide-from-left", "slide-from-right"};
inline constexpr std::uint16_t PositionField = 0x3FFF;
inline constexpr std::uint16_t FromFarSide = 0x4000;
inline constexpr std::uint16_t InProgressSequence = 0x8000;

/// A word and the value it gives a field of a flag number (Mask: the field's bits).
struct FieldWord {
    std::string_view Word;
    std::uint8_t Value;
    std::uint8_t Mask;
};

/// One part of a built-in call statement: which field of the argument it fills.
struct BuiltinPart {
    enum class Kind : std::uint8_t { None, Variable, Text, Number, Root };
    Kind Type = Kind::None;
    std::uint8_t Field = 0;
    /// The word that introduces an optional part ("or DEFAULT"); empty: positional.
    std::string_view Intro = {};
    /// A positional part that may be left out at the end of the statement.
    bool Optional = false;
};

/// A built-in function of the engine (opcode 9 with the own-function bit) as a
/// statement: its parts in statement order, filling the argument's fields, which are
/// separated by 0x7F.
struct Builtin {
    std::string_view Statement;
    std::string_view Function;
    std::uint8_t FieldCount;
    std::array<BuiltinPart, 5> Parts;
    /// The flags field (a decimal number), or -1 when there is none.
    int FlagsField = -1;
    /// Bits the statement itself fixes in the flags field, and their values.
    std::uint8_t FixedMask = 0;
    std::uint8_t FixedBits = 0;
    std::span<const FieldWord> Words = {};
};

namespace builtin_words {
inline constexpr std::array<FieldWord, 1> DirectoryOnly = {{{"directory-only", 1, 1}}};
inline constexpr std::array<FieldWord, 9> Set = {{{"directory-only", 0x02, 0x02},
                                                  {"from-answer-file", 0x80, 0x80},
                                                  {"increment", 0x04, 0x3C},
                                                  {"decrement", 0x08, 0x3C},
                                                  {"trim-backslashes", 0x0C, 0x3C},
                                                  {"long-path", 0x10, 0x3C},
                                                  {"short-path", 0x14, 0x3C},
                                                  {"upper-case", 0x18, 0x3C},
                                                  {"lower-case", 0x1C, 0x3C}}};
/// The words of the text-file edits; bit 2 is a backup word of its own for each.
constexpr std::array<FieldWord, 9> TextEditWords(std::string_view backup) {
    return {{{"before", 0x00, 0x18},
             {"replace", 0x08, 0x18},
             {"after", 0x10, 0x18},
             {"starts-with", 0x00, 0x60},
             {"contains", 0x20, 0x60},
             {"ends-with", 0x40, 0x60},
             {"case-sensitive", 0x01, 0x01},
             {"ignore-blanks", 0x02, 0x02},
             {backup, 0x04, 0x04}}};
}
/// AUTOEXEC.BAT and CONFIG.SYS keep a backup when asked; other files unless asked not to.
inline constexpr std::array<FieldWord, 9> EditBootFile = TextEditWords("backup");
inline constexpr std::array<FieldWord, 9> EditTextFile = TextEditWords("no-backup");
constexpr BuiltinPart Variable(std::uint8_t field) {
    return {BuiltinPart::Kind::Variable, field};
}
constexpr BuiltinPart Text(std::uint8_t field, std::string_view intro = {}) {
    return {BuiltinPart::Kind::Text, field, intro};
}
} // namespace builtin_words

/// The statement of the wizard page sequencing built-in, whose fields (a page list among
/// them) the table below cannot describe: the page statements compile and list it.
inline constexpr std::string_view WizardStatement = "wizard";
inline constexpr std::string_view WizardFunction = "f31";

/// The built-in calls that have statements of their own.
inline constexpr std::array<Builtin, 15> Builtins = [] {
    using namespace builtin_words;
    const BuiltinPart line{BuiltinPart::Kind::Number, 4, "line"};
    const BuiltinPart root{BuiltinPart::Kind::Root, 0};
    const BuiltinPart optionalText{BuiltinPart::Kind::Text, 1, {}, true};
    return std::array<Builtin, 15>{{
        {"add-to-path", "f0", 1, {Text(0)}},
        {"edit-autoexec",
         "f1",
         5,
         {Text(2), Text(1, "search"), Text(3, "comment"), line},
         0,
         0,
         0,
         EditBootFile},
        {"edit-config",
         "f2",
         5,
         {Text(2), Text(1, "search"), Text(3, "comment"), line},
         0,
         0,
         0,
         EditBootFile},
        {"edit-text-file",
         "f25",
         6,
         {Text(1),
          Text(3),
          Text(2, "search"),
          Text(4, "comment"),
          {BuiltinPart::Kind::Number, 5, "line"}},
         0,
         0,
         0,
         EditTextFile},
        {"add-device", "f3", 1, {Text(0)}},
        {"read-ini",
         "f8",
         6,
         {Variable(1), Text(2), Text(3), Text(4), Text(5, "or")},
         0,
         0,
         0,
         DirectoryOnly},
        {"read-registry",
         "f9",
         5,
         {Variable(1), root, Text(2), Text(4), Text(3, "or")},
         0,
         0,
         0,
         DirectoryOnly},
        {"add-font", "f10", 2, {Text(0), Text(1)}},
        {"system-directory", "f11", 1, {Variable(0)}},
        {"set", "f16", 3, {Variable(1), Text(2)}, 0, 0x01, 0x01, Set},
        {"append", "f16", 3, {Variable(1), Text(2)}, 0, 0x01, 0x00, Set},
        {"read-environment",
         "f17",
         4,
         {Variable(1), Text(2), Text(3, "or")},
         0,
         0,
         0,
         DirectoryOnly},
        {"close-archive", "f28", 0, {}},
        {"self-register", "f29", 2, {Text(1)}, 0, 0xFF, 1},
        {"self-register-now", "f29", 2, {optionalText}, 0, 0xFF, 0},
    }};
}();

} // namespace vorn::authoring
