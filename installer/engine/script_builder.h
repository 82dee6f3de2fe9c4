// Builds well-formed action records: every opcode of the size tables, per-language
// strings in their place, and blocks that are checked to nest. Tests write scripts
// with it, and the script compiler emits through it.
#pragma once

#include "script.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

/// A mistake in a script being built (wrong string count, unbalanced block): the
/// builder's caller, a compiler or a test, reports it; it never reaches the engine.
class ScriptBuildError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

/// Texts of a record, one per language, in language order. One text given for a
/// multi-language script stands for every language.
using PerLanguageText = std::vector<std::string>;

/// Flag bits of the If/While record (opcode 12) beyond the comparison code.
namespace cond {
inline constexpr std::uint8_t Loop = 0x10;
inline constexpr std::uint8_t TestAtEnd = 0x20;
} // namespace cond

/// Forms and flag bits of the DLL-call record (opcode 9).
namespace call {
inline constexpr std::uint8_t CallOnly = 0;
inline constexpr std::uint8_t AbortWhenTrue = 1;
inline constexpr std::uint8_t If = 2;
inline constexpr std::uint8_t While = 3;
inline constexpr std::uint8_t CloseProgress = 0x04;
inline constexpr std::uint8_t OwnFunction = 0x08;
inline constexpr std::uint8_t TestAtEnd = 0x10;
} // namespace call

class ScriptBuilder {
public:
    /// Records for a script of `languages` languages (N of the header).
    explicit ScriptBuilder(std::uint8_t languages = 1);

    /// Any record: `fixed` holds the fixed bytes after the opcode (the flag byte first),
    /// `once` the strings that occur once, `perLanguage` one list per language of
    /// its strings, and for opcode 6 `trailing` the 12 bytes of each further language.
    /// Checks every count against the size tables. Returns the record's offset.
    std::uint32_t Record(std::uint8_t opcode, std::vector<std::uint8_t> fixed,
                         std::vector<std::string> once = {},
                         std::vector<std::vector<std::string>> perLanguage = {},
                         std::vector<std::uint8_t> trailing = {});

    /// Opcode 3: a message (style = the engine box style); style bit 0 opens a block
    /// that runs on Yes.
    std::uint32_t Message(std::uint8_t style, const PerLanguageText& title,
                          const PerLanguageText& text);
    /// Opcode 12 without the loop bit: If.
    std::uint32_t If(std::string_view variable, std::uint8_t comparison, std::string_view value);
    /// Opcode 12 with the loop bit (and cond::TestAtEnd in `extraFlags` for the form
    /// whose body runs before the first test).
    std::uint32_t While(std::string_view variable, std::uint8_t comparison, std::string_view value,
                        std::uint8_t extraFlags = 0);
    /// Opcode 9 with a call:: form and flags; If and While forms open a block.
    std::uint32_t CallDll(std::uint8_t flags, std::string_view library, std::string_view function,
                          const PerLanguageText& argument);
    /// Opcode 13, inside an open If block.
    std::uint32_t Else();
    /// Opcode 8 closing the innermost open block (flag 1 when it is a loop).
    std::uint32_t End();
    std::uint32_t GetTempFileName(std::string_view variable);
    std::uint32_t Exit();
    std::uint32_t Filler(std::size_t count = 1);
    std::uint32_t AddToLog(std::string_view text);
    std::uint32_t SetLogFile(std::uint8_t flags, std::string_view path);
    /// Raw bytes, for tests of broken scripts.
    std::uint32_t Bytes(std::initializer_list<std::uint8_t> bytes);

    /// Offset the next record will have.
    std::uint32_t Position() const { return static_cast<std::uint32_t>(Out.size()); }
    std::size_t OpenBlocks() const { return Blocks.size(); }

    /// The records and the closing opcode 63. Throws when a block is still open.
    std::vector<std::uint8_t> Build() const;

private:
    enum class BlockKind { If, Loop };
    void Open(BlockKind kind) { Blocks.push_back(kind); }
    void AppendString(std::string_view text);
    std::vector<std::vector<std::string>> Spread(const std::vector<PerLanguageText>& texts) const;

    std::uint8_t Languages;
    std::vector<std::uint8_t> Out;
    std::vector<BlockKind> Blocks;
};

} // namespace vorn
