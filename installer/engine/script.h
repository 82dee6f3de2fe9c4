// The compiled script as the interpreter walks it: the record size tables by opcode,
// bounds-checked access to one action record, and the current position and language.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vorn {

/// Opcodes with a meaning of their own in the interpreter.
namespace op {
inline constexpr std::uint8_t InstallFiles = 0;
inline constexpr std::uint8_t Unused2 = 2;
inline constexpr std::uint8_t DisplayMessage = 3;
inline constexpr std::uint8_t DisplayGraphic = 6;
inline constexpr std::uint8_t EndBlock = 8;
inline constexpr std::uint8_t CallDll = 9;
inline constexpr std::uint8_t DeleteFile = 11;
inline constexpr std::uint8_t IfWhile = 12;
inline constexpr std::uint8_t Else = 13;
inline constexpr std::uint8_t CreateDirectory = 17;
inline constexpr std::uint8_t InstallFiles2 = 18;
inline constexpr std::uint8_t GetTempFileName = 22;
inline constexpr std::uint8_t ExitInstallation = 24;
inline constexpr std::uint8_t Filler = 27;
inline constexpr std::uint8_t AddToLog = 28;
inline constexpr std::uint8_t RenameFile = 29;
inline constexpr std::uint8_t SetLogFile = 30;
inline constexpr std::uint8_t EndOfScript = 63;
/// Opcodes 0 to LastAction have records (some of them not valid); 63 ends the script.
inline constexpr std::uint8_t LastAction = 30;
} // namespace op

/// The shape of one opcode's records.
struct RecordShape {
    /// Fixed bytes, the opcode byte included; 0 for an opcode that is not valid.
    std::uint8_t FixedBytes;
    std::uint8_t OnceStrings;
    std::uint8_t StringsPerLanguage;
};

/// The shape of an opcode's records, or nullopt for opcodes that are not valid
/// (1, 14, 19, 31 to 62, above 63). Opcode 63 has a 1-byte record.
std::optional<RecordShape> ShapeOf(std::uint8_t opcode);

/// True when the per-language strings stand between the first once-only string and
/// the others (the file-installation records), rather than after all of them.
bool LanguageGroupsAfterFirstString(std::uint8_t opcode);

/// Extra fixed bytes opcode 6 carries after its strings for each language after the first.
inline constexpr std::size_t GraphicBytesPerExtraLanguage = 12;

/// One record of the script, checked to lie wholly inside it: every string it has is
/// terminated before the script's end. Handlers read fields and strings in place and
/// may change the flag byte (the loops keep state bits there).
class ActionRecord {
public:
    std::uint8_t Opcode() const { return Bytes[0]; }
    /// The second byte, the record's flag byte (0 for 1-byte records).
    std::uint8_t Flags() const { return FixedBytes >= 2 ? Bytes[1] : 0; }
    void SetFlags(std::uint8_t flags);
    /// Byte `index` of the fixed part (0 is the opcode); 0 past the fixed part.
    std::uint8_t FixedByte(std::size_t index) const;
    /// Little-endian 16- and 32-bit fields of the fixed part.
    std::uint16_t FixedWord(std::size_t index) const;
    std::uint32_t FixedDword(std::size_t index) const;

    /// The index-th string that occurs once (empty when the record has fewer).
    std::string_view Once(std::size_t index) const;
    /// The index-th string of the current language's group.
    std::string_view PerLanguage(std::size_t index) const;
    /// Writes `text` over the current language's string `index` from `offset` on; the
    /// string keeps its length. False when the text would not fit or holds a zero byte.
    bool OverwritePerLanguage(std::size_t index, std::size_t offset, std::string_view text);
    /// The bytes after the strings (opcode 6's per-language fixed bytes).
    std::span<const std::uint8_t> Trailing() const;

    std::uint32_t Offset() const { return RecordOffset; }
    std::size_t Size() const { return Bytes.size(); }

private:
    friend class Script;
    ActionRecord() = default;

    /// The n-th string after the fixed part, counting every string of the record.
    std::string_view NthString(std::size_t n) const;

    std::span<std::uint8_t> Bytes;
    std::uint32_t RecordOffset = 0;
    RecordShape Shape{};
    std::size_t FixedBytes = 0;
    std::size_t StringBytes = 0;
    std::uint8_t Languages = 1;
    std::uint8_t Language = 0;
};

/// The script in memory (header and records), writable, not owned: the loops write
/// their state bits back into it. A record that runs past the end, or an opcode that
/// is not valid, makes RecordAt give nullopt.
class Script {
public:
    /// `languages` is N of the header (at least 1 is assumed); `language` the chosen
    /// index, below N.
    Script(std::span<std::uint8_t> bytes, std::uint8_t languages, std::uint8_t language);

    std::optional<ActionRecord> RecordAt(std::uint32_t offset) const;
    std::optional<ActionRecord> Current() const { return RecordAt(Position); }
    /// The byte at an offset, or nullopt past the end.
    std::optional<std::uint8_t> ByteAt(std::uint32_t offset) const;

    std::size_t Size() const { return Bytes.size(); }
    std::uint8_t Languages() const { return LanguageCount; }
    std::uint8_t Language() const { return LanguageIndex; }

    /// Offset of the current record.
    std::uint32_t Position = 0;

private:
    std::span<std::uint8_t> Bytes;
    std::uint8_t LanguageCount;
    std::uint8_t LanguageIndex;
};

} // namespace vorn
