// Replacing a file in use at the next start of the machine.
#pragma once

#include <string>
#include <string_view>

namespace vorn {

class Engine;

/// The version of Windows the run is on, as the file actions need it.
struct WindowsKind {
    bool Nt = false;
    bool Windows95 = false;
    /// Version 4 or later.
    bool Version4 = false;
};
WindowsKind ReadWindowsKind(Engine& engine);

/// Schedules `newFile` to replace `destination` when the machine starts again, if the
/// context allows replacing files in use at restart. With `checkVersion` the new file
/// must be newer by version; with `outsideSource` too, it is first copied beside the
/// destination and `newFile` becomes that copy. Returns 1 when scheduled ("RESTART"
/// becomes "S" on Windows NT, else "W" unless it starts with S or E already), 0 when
/// not, -2 to abort (a copy that could not be made, reported).
int ScheduleReplace(Engine& engine, bool checkVersion, bool outsideSource, std::string& newFile,
                    std::string_view destination);

} // namespace vorn
