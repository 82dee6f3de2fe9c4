// The installation script language: a readable, line-oriented text compiled into the
// engine's script (header and action records, through ScriptBuilder) and the packed
// payload of the files it installs. docs/installer-scripts.md describes the language.
#pragma once

#include "installer/archive/setup_archive.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorn::authoring {

/// A mistake in a script, at its place: "FILE:LINE:COLUMN: what was expected".
class CompileError : public std::runtime_error {
public:
    CompileError(std::string file, int line, int column, const std::string& message);
    std::string File;
    int Line;
    int Column;
};

/// A file of the build machine: its content and its stamp as a DOS date and time.
struct BuildFile {
    std::vector<std::uint8_t> Content;
    std::uint16_t DosDate = 0;
    std::uint16_t DosTime = 0;
};

/// Reads a file of the build machine (included scripts, files to install); nullopt
/// when it cannot be read.
using FileReader = std::function<std::optional<BuildFile>(const std::filesystem::path&)>;

/// Reads from the disk, stamping with the file's modification time (UTC).
std::optional<BuildFile> ReadBuildFile(const std::filesystem::path& path);

/// A Windows program's version resource as an install record carries it: file version
/// (most and least significant halves), operating system, file type and subtype; all 0
/// for a file without one.
std::array<std::uint32_t, 5> ReadVersionFields(std::span<const std::uint8_t> content);

/// A separately stored library file, written beside the archive: its file name and its
/// bytes (the archive identifier, then the raw deflate data of the one file it keeps).
struct LibraryFile {
    std::string Name;
    std::vector<std::uint8_t> Content;
};

struct CompiledSetup {
    std::vector<std::uint8_t> Script; ///< Header and records.
    PackedPayload Payload;
    ArchiveExtras Extras; ///< Finish and cancel offsets, the transfer library.
    std::vector<LibraryFile> Libraries;
};

/// Engine limits the compiler enforces.
inline constexpr std::size_t MaxVariableName = 15;
inline constexpr std::size_t MaxLoopDepth = 32;
inline constexpr std::size_t MaxLanguages = 255;
/// Variables a script may make: 250 slots, 249 usable, 10 taken at start-up.
inline constexpr std::size_t MaxScriptVariables = 239;
inline constexpr int MaxIncludeDepth = 16;

/// Compiles `text`, the script kept at `path` (relative names in it are found beside
/// it). `storage` chooses how the files it installs are kept in the archive. Throws
/// CompileError.
CompiledSetup CompileScript(const std::string& text, const std::filesystem::path& path,
                            const FileReader& reader = ReadBuildFile,
                            ItemStorage storage = ItemStorage::Deflated);

/// The uncompressed content of a payload item, or nullopt when it cannot be had.
using PayloadReader =
    std::function<std::optional<std::vector<std::uint8_t>>(const PayloadEntry& entry)>;

/// Prints the archive's script back in the language: compiling the listing (beside the
/// payload's files) gives the same script again. With `read`, dialog sets are printed as
/// page statements. Throws std::runtime_error on a script that cannot be read.
std::string ListScript(std::span<const std::uint8_t> script, const ArchiveHeader& archive,
                       const std::vector<PayloadEntry>& payload, const PayloadReader& read = {});

/// ListScript of an opened archive, its dialog sets read from its payload.
std::string ListArchive(SetupArchive& archive);

} // namespace vorn::authoring
