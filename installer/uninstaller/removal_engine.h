// The removal engine: works through the item lists in a fixed order and reverses each
// recorded change, saying what it left behind and why.
#pragma once

#include "item_lists.h"
#include "string_table.h"
#include "uninstall_services.h"

#include <string>
#include <vector>

namespace platform {
class FileService;
}

namespace rescind {

enum class RemovalMode {
    Automatic, ///< every item, whatever its selected flag
    Custom,    ///< only the items the user selected
};

struct RemovalOptions {
    RemovalMode Mode = RemovalMode::Automatic;
    /// Undo only the last installation, putting replaced files back. Ignored in custom
    /// mode and for a log without backups.
    bool Rollback = false;
    /// No questions: shared files at count 1 are kept, no reboot is asked for.
    bool Silent = false;
    /// The log's full Windows path; it is deleted or cut back at the end.
    std::string LogPath;
    /// The uninstaller's own executable, when it runs from a file the log may name.
    std::string OwnExecutable;
    /// The local date and time the status file records, "MM/DD/YY H:MM".
    std::string DateTime;
};

/// Why something the log names is still there after the run.
struct LeftBehind {
    std::string Item;
    std::string Reason;
    /// A later run may still remove it (it was in use, access was denied).
    bool Retry = false;
};

struct RemovalReport {
    bool Cancelled = false;
    /// Abort on the question about the running database server.
    bool Aborted = false;
    bool RebootNeeded = false;
    bool RolledBack = false;
    /// The uninstaller's own executable was among the files to delete.
    bool OwnExecutableToDelete = false;
    bool LogRemoved = false;
    std::vector<LeftBehind> Left;
};

/// Runs the whole removal: every step, then the log, then the status file. Nothing is
/// deleted that the log does not record as created by the installation.
RemovalReport RunRemoval(ItemLists& lists, const RemovalOptions& options,
                         const UninstallServices& services, const StringTable& strings,
                         RemovalUi& ui);

/// Windows 95 family: has the file deleted at the next start by a "NUL=" line in the
/// "[rename]" section of WININIT.INI in `windowsFolder`, which is made when missing.
bool AppendWininitDelete(platform::FileService& files, std::string_view windowsFolder,
                         std::string_view path);

/// Removes the folder and the folders below it that are empty, keeping every file; a
/// system folder or a path shorter than 4 characters is left alone.
void RemoveEmptyFolders(const UninstallServices& services, std::string_view folder);

/// A path of more than 48 characters shortened for display: its first name, "..." and
/// as much of its end as fits.
std::string ShortDisplayPath(std::string_view path);

} // namespace rescind
