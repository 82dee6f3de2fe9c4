// The setup archive as the file actions read it: where its offsets count from, how it
// is cut into disk parts, and the part open now; the disk prompt that asks for a part.
#pragma once

#include "platform/calling_convention.h"
#include "platform/files.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorn {

class Engine;

struct ArchiveParts {
    /// Archive offset the records' start and end fields count from.
    std::uint32_t Base = 0;
    /// The script header's bytes per disk (0: one file) and first-disk offset.
    std::uint32_t BytesPerDisk = 0;
    std::uint32_t FirstDiskOffset = 0;
    /// The setup program's path: the parts carry its name, in "%INST%".
    std::string SetupProgram;
    /// Disk number of the part open now; 0 when none is.
    std::uint32_t OpenDisk = 0;
    platform::UniqueFile OpenPart;
    /// Separately stored library files: the header's base name of their names, the
    /// identifier each starts with, and the copy of the one fetched last (empty: none).
    std::string LibraryBaseName;
    std::uint32_t ArchiveIdentifier = 0;
    std::uint32_t LibraryNumber = 0;
    std::string LibraryCopy;
    /// The disk-prompt dialog set the archive carries; empty: the engine's box asks.
    std::vector<std::uint8_t> PromptSet;
};

/// The disk (1 and up) whose part holds archive offset `archiveOffset`.
std::uint32_t DiskOf(const ArchiveParts& parts, std::uint32_t archiveOffset);

/// The archive offset where disk `disk`'s part starts.
std::uint32_t PartStart(const ArchiveParts& parts, std::uint32_t disk);

/// The part file of `disk` in `directory`: the setup program's name with the extension
/// "EXE" for disk 1 and "W02", "W03", ... for the later ones.
std::string PartPath(const ArchiveParts& parts, std::string_view directory, std::uint32_t disk);

/// Sets the context's archive offset to `archiveOffset`; on a multi-disk archive opens
/// the part that holds it (prompting for the disk when needed) and seeks inside it.
/// False when the run must end.
bool SeekArchive(Engine& engine, std::uint32_t archiveOffset);

/// Decompresses the archive's item from `start` to `end` (counted from the archive base)
/// into `target`, which must hold the whole item, through the setup program's
/// decompressor. False when the archive cannot be read there or the run must end.
bool DecompressToMemory(Engine& engine, std::uint32_t start, std::uint32_t end,
                        std::span<std::uint8_t> target);

/// Opens the part of the disk that holds the context's archive offset, or the one after
/// the open part with `next`; with `force` the part is opened again even when it is the
/// open one. Prompts until the part can be opened. 0 ready, 1 abort (the abort flag set).
int OpenArchivePart(Engine& engine, bool next, bool force);

} // namespace vorn

extern "C" {
/// The engine's disk prompt for the running installation: 0 ready, 1 abort.
std::int32_t PLATFORM_WINAPI DiskPrompt(std::int32_t next, std::int32_t force);
}
