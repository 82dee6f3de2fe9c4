// The uninstaller's side of the installation log: the whole file read back as typed
// records, numbered by the installation section they stand in.
#pragma once

#include "log_records.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

struct InstallLog {
    /// From the first section's "Title:" line (its first 255 characters), without a
    /// trailing " INSTALLATION" and then " INSTALL" (any case).
    std::string Title;
    /// Number of installation sections; the last one's installation number.
    int Sections = 0;
    /// Where the last section's header line begins; rolling back the last installation
    /// truncates the log there.
    std::uint64_t LastSectionOffset = 0;
    /// The information block; where several sections hold one, the last line of each
    /// kind wins.
    UninstallInfo Info;
    /// Every record in file order.
    std::vector<LogEntry> Records;
};

enum class LogReadError {
    CannotOpen, ///< the file is missing or cannot be read
    Invalid,    ///< no "*** " header first, or no "Title:" line
};

/// The message the uninstaller shows for the error, e.g. "Invalid INSTALL.LOG file.".
std::string_view LogReadErrorText(LogReadError error);

/// The log, or the error that stopped reading it.
struct LogReadResult {
    std::optional<LogReadError> Error;
    InstallLog Log; ///< empty when Error is set
};

/// Reads an INSTALL.LOG file. Lines of no known kind and records that lack a required
/// line are skipped; only a missing file or header is an error.
LogReadResult ReadInstallLog(const std::filesystem::path& path);

/// Reads a log held in memory, by the same rules.
LogReadResult ParseInstallLog(std::string_view text);

} // namespace vorn
