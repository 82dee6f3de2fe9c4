// The file actions of a script: install file (opcodes 0 and 18), create directory (17),
// delete file (11) and rename file (29).
#pragma once

#include "script.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

class Engine;

/// Flag bits of an install-file record.
namespace install_flag {
inline constexpr std::uint8_t CompareVersions = 0x01;
inline constexpr std::uint8_t Shared = 0x02;
inline constexpr std::uint8_t Private = 0x04;
inline constexpr std::uint8_t DateRuleMask = 0x18;
inline constexpr std::uint8_t NoProgress = 0x20;
inline constexpr std::uint8_t OutsideSource = 0x40;
// Flags B.
inline constexpr std::uint8_t Subdirectories = 0x01;
inline constexpr std::uint8_t MainArchive = 0x08;
inline constexpr std::uint8_t SelfRegister = 0x10;
inline constexpr std::uint8_t NotSystemShared = 0x20;
inline constexpr std::uint8_t MainArchiveNoByteProgress = 0x40;
inline constexpr std::uint8_t WildcardSource = 0x80;
} // namespace install_flag

/// An install-file record's fields, with its strings copied out so that the wildcard
/// form can install each file it finds under a destination and source of its own.
struct InstallFileRecord {
    std::uint8_t FlagsA = 0;
    std::uint8_t FlagsB = 0;
    std::uint32_t Start = 0;
    std::uint32_t End = 0;
    std::uint16_t DosDate = 0;
    std::uint16_t DosTime = 0;
    std::uint32_t Size = 0;
    std::uint32_t VersionMs = 0;
    std::uint32_t VersionLs = 0;
    std::uint32_t Os = 0;
    std::uint32_t Type = 0;
    std::uint32_t Subtype = 0;
    std::uint32_t Checksum = 0;
    std::string Destination;
    std::string Description;
    std::string Source;
    std::string Wildcard;
};

InstallFileRecord ReadInstallFileRecord(const ActionRecord& record);

/// Puts the file actions into the engine's action table.
void RegisterFileActions(Engine& engine);

/// One file (the wildcard form walks its matches through this): 0 go on, -2 abort.
int InstallOneFile(Engine& engine, const InstallFileRecord& record);

/// The wildcard form: every file matching the source pattern, subfolders too when asked.
int InstallWildcard(Engine& engine, const InstallFileRecord& record);

/// Message 26 with the short form of `path` (a file that cannot be created); -2.
int ReportCannotCreate(Engine& engine, std::string_view path);

int InstallFileAction(Engine& engine, ActionRecord& record);
int CreateDirectoryAction(Engine& engine, ActionRecord& record);
int DeleteFileAction(Engine& engine, ActionRecord& record);
int RenameFileAction(Engine& engine, ActionRecord& record);

} // namespace vorn
