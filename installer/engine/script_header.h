// The compiled script's header: flags, sizes, the log path, the status-file texts,
// the languages and, per language, the window title and the 45 messages.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vorn {

/// Bits of the header's flag byte that the run itself reads.
namespace header_flag {
/// Clear: never wait on timer ticks.
inline constexpr std::uint8_t WaitOnTicks = 0x20;
inline constexpr std::uint8_t NoLogFile = 0x40;
} // namespace header_flag

/// One language's name and the system's name for it.
struct ScriptLanguage {
    std::string Name;
    std::string SystemName;
};

/// One language's texts: the window title and the messages of the message table.
struct LanguageTexts {
    std::string WindowTitle;
    std::vector<std::string> Messages;
};

struct ScriptHeader {
    /// Messages per language after the window title.
    static constexpr std::size_t MessageCount = 45;

    std::uint8_t Flags = 0;
    std::uint32_t Reserved = 0;
    std::uint32_t TotalBytes = 0;
    std::uint32_t BytesPerDisk = 0;
    std::uint32_t ArchiveIdentifier = 0;
    std::string ReservedText;
    std::string LibraryBaseName;
    std::string LogPath;
    std::string FontFace;
    std::uint8_t FontPointSize = 0;
    std::uint8_t FontCharacterSet = 0;
    std::uint32_t FirstDiskOffset = 0;
    std::string StatusFileName;
    std::string StatusFileTemplate;
    std::string Manufacturer;
    std::string Product;
    std::string VersionNumber;
    std::string SerialNumber;
    std::string UninstallStatusName;
    /// With more than one language: the language dialog's title and prompt.
    std::string LanguageDialogTitle;
    std::string LanguageDialogPrompt;
    /// One entry per language, N of them; with one language only its Name is stored.
    std::vector<ScriptLanguage> Languages;
    /// One entry per language, in the same order.
    std::vector<LanguageTexts> Texts;
};

/// Why a header could not be read.
enum class HeaderError {
    /// The language count is 0.
    NoLanguage,
    /// The script ends inside the header: a string, a language or a message is missing
    /// (also what a language count too large for the script gives).
    Truncated,
};

struct HeaderReadResult {
    std::optional<HeaderError> Error;
    ScriptHeader Header;
    /// Offset of the first action record, right after the header.
    std::uint32_t RecordsOffset = 0;
};

/// Reads the header at the start of `script`; never reads past its end.
HeaderReadResult ReadScriptHeader(std::span<const std::uint8_t> script);

/// The header's bytes, as a script compiler writes them (the inverse of ReadScriptHeader).
/// Each language's messages are written 45 exactly, missing ones empty.
std::vector<std::uint8_t> WriteScriptHeader(const ScriptHeader& header);

/// A short text for the error, for the box that ends the run.
const char* HeaderErrorText(HeaderError error);

} // namespace vorn
