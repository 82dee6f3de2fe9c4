// The extract modes (/X and /Z): the archive's files are written out as they are
// stored, without running the script.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vorn {

class Engine;

/// One file of the archive, from an install-file record.
struct ExtractEntry {
    /// The destination's file name, at most 19 characters, zero-terminated.
    std::array<char, 20> Name{};
    std::uint32_t Start = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t Size = 0;
    std::uint16_t DosDate = 0;
    std::uint16_t DosTime = 0;
    std::uint8_t FlagsA = 0;
    std::array<std::uint8_t, 7> Reserved{};
};
static_assert(sizeof(ExtractEntry) == 44);

inline constexpr std::size_t MaxExtractEntries = 1024;

/// Walks the records from `recordsOffset` to the script's end without running them and
/// lists the files of install-file records (opcode 0) whose data lies in the main
/// archive and that are not for the installation's own use; at most MaxExtractEntries.
std::vector<ExtractEntry> ListArchiveFiles(const Engine& engine, std::uint32_t recordsOffset);

/// Writes every listed file into `directory` (made for the first file), decompressed
/// and stamped with its date and time. Returns the run's result: -1 done, -2 aborted.
int ExtractArchiveFiles(Engine& engine, std::uint32_t recordsOffset, std::string_view directory);

} // namespace vorn
