// The status file in the Windows directory: the header's template, expanded with the
// variables "1" to "7" that describe how the run went.
#pragma once

#include "installer/log/date_time_text.h"

#include <string_view>

namespace platform {
class FileService;
}

namespace vorn {

class Engine;
struct ScriptHeader;

/// What the status file says.
struct RunOutcome {
    bool Success = false;
    /// Empty on success; else why the run failed.
    std::string_view Message;
};

/// The message of the status file written at start-up, before any action.
inline constexpr std::string_view AbnormalEndText = "Installation terminated abnormally.";

/// Writes the status file when the header's status-file name expands to a text: sets
/// "1" to "7" (manufacturer, product, version number, serial number, date and time,
/// "Success" or "Failed", the message), expands the template and writes it as the
/// file's whole content. False when the file could not be written.
bool WriteStatusFile(Engine& engine, platform::FileService& files, const ScriptHeader& header,
                     std::string_view windowsDirectory, const LocalDateTime& now,
                     const RunOutcome& outcome);

} // namespace vorn
