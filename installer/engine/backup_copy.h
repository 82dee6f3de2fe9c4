// Directories made level by level, and file copies through the engine's copy buffer:
// backups of replaced files, copies of outside sources.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorn {

class Engine;

/// Creates every missing level of `path` from its first backslash on and logs each level
/// made as "Made Dir: ". False when a level is missing and cannot be made.
bool CreateDirectoryPath(Engine& engine, std::string_view path);

struct CopyOutcome {
    bool Done = false;
    /// The file written: the target given, or the backup's path.
    std::string Target;
    std::uint32_t Size = 0;
    /// Content checksum by the setup program's function; nullopt without one.
    std::optional<std::uint32_t> Checksum;
};

/// Copies `source` to `target` through the 30,720-byte buffer; with no target, to a free
/// backup name in "%BACKUPDIR%" (name.ext, then name.001, name.002, ...), whose directory
/// is made first. A failed copy leaves no partial file behind.
CopyOutcome CopyFileWithBackup(Engine& engine, std::string_view source,
                               std::optional<std::string_view> target);

/// The checksum and size of a whole file by the setup program's function; nullopt when
/// there is no such function or the file cannot be read.
std::optional<std::uint32_t> FileChecksum(Engine& engine, std::string_view path,
                                          std::uint32_t& size);
/// The same for a file the caller holds open for reading, read from its start.
std::optional<std::uint32_t> FileChecksum(Engine& engine, platform::FileHandle file,
                                          std::uint32_t& size);

/// The backup name for `fileName` in `directory`: the plain name when free, else the name
/// with ".001" to ".999" in place of its extension (the last one tried when all are taken).
std::string FreeBackupName(Engine& engine, std::string_view directory, std::string_view fileName);

} // namespace vorn
