// Installation scripts that install files from an archive's payload, for the file
// installer's tests in-process and through the setup program.
#pragma once

#include "installer/archive/setup_archive.h"
#include "installer/engine/date_rules.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vorn {

struct FileToInstall {
    std::string Payload; ///< Name of the payload entry.
    std::string Destination;
    std::uint8_t FlagsA = 0;
    std::uint8_t FlagsB = 0;
    DosStamp Stamp{0x5A21, 0x6000}; ///< 1 January 2025, 12:00.
    /// The number of the library file that holds the payload stored as it is; -1: the archive.
    int Library = -1;
};

/// The sample's library files: "http://media/LIB" and three base-36 digits, each starting
/// with the identifier "VLB1".
inline constexpr const char* SampleLibraryBase = "http://media/LIB";
inline constexpr std::uint32_t SampleLibraryIdentifier = 0x31424C56;

/// Flags A of the files to install: the date rules, shared, compare versions.
namespace install_flags {
inline constexpr std::uint8_t Rule1 = 0x08, Rule2 = 0x10, Rule3 = 0x18, Shared = 0x02,
                              Versions = 0x01;
}

/// The sample header and one install record per file (the checksum replaced by
/// `badChecksum` when that is not 0); "BACKUPDIR" becomes C:\BACKUP before record
/// `backupFrom`.
std::vector<std::uint8_t> FileInstallScript(const PackedPayload& payload,
                                            const std::vector<FileToInstall>& files,
                                            std::size_t backupFrom = SIZE_MAX,
                                            std::uint32_t badChecksum = 0);

/// The change records of an installation log, in order: the header, information and
/// run lines are left out.
std::vector<std::string> LogChanges(const std::filesystem::path& log);

/// The sample installation into C:\APP: every date rule, a shared file installed twice,
/// VER2.DLL over VER1.DLL with a backup in C:\BACKUP, and BUSY.TXT, which another
/// program holds open, replaced at the next start.
struct FileInstallSample {
    struct Existing {
        std::string Name;
        std::string Content;
        DosStamp Stamp;
    };
    /// The files in C:\APP before the run, with their stamps.
    std::vector<Existing> Before;
    /// The files in C:\APP after the run, before the restart, with their contents.
    std::vector<std::pair<std::string, std::string>> After;
    /// The log's changes after the run.
    std::vector<std::string> Changes;
};
/// Writes the sample's archive to `archive`, `ver1` and `ver2` being the two DLLs'
/// contents; returns the sample, or an empty one when the archive cannot be written.
FileInstallSample WriteFileInstallSample(const std::filesystem::path& archive,
                                         const std::string& ver1, const std::string& ver2);

} // namespace vorn
