// Builds the uninstaller's item lists from an installation log read back, asking the
// machine only the few facts the lists depend on.
#pragma once

#include "installer/log/install_log_reader.h"
#include "item_lists.h"

#include <optional>
#include <string>
#include <string_view>

namespace rescind {

/// The machine as the log model sees it; the program answers from the platform
/// services, the fuzz target and tests from fixed answers.
class MachineFacts {
public:
    virtual ~MachineFacts() = default;
    virtual bool FileExists(std::string_view path) = 0;
    /// The path lies on drive A: or B: and that drive is removable.
    virtual bool OnRemovableFloppy(std::string_view path) = 0;
    /// The path is a value of the shared-DLL table and the shell keeps such counts.
    virtual bool IsCountedSharedFile(std::string_view path) = 0;
    /// The key holds a value in the INI file.
    virtual bool IniHasValue(std::string_view file, std::string_view section,
                             std::string_view key) = 0;
    /// Without a trailing "\".
    virtual std::string WindowsDirectory() = 0;
    virtual std::string SystemDirectory() = 0;
};

/// Each list holds at most this many items; records beyond it are left alone.
inline constexpr std::size_t MaxListItems = 4096;

struct ModelResult {
    /// A path the removal could not follow safely (".." names, a device name, a path
    /// that is not a full path on a drive); the lists are then empty.
    std::optional<std::string> RefusedPath;
    /// Records that found their list full and are not removed.
    int DroppedRecords = 0;
    ItemLists Lists;
};

/// Builds the lists from `log`, read from `logPath` (a full Windows path).
ModelResult BuildItemLists(const vorn::InstallLog& log, std::string_view logPath,
                           MachineFacts& facts);

/// A full path on a drive ("C:\..."), without "." or ".." names or a DOS device name
/// (CON, NUL, COM1 ...) among its names.
bool IsSafeMachinePath(std::string_view path);

/// The folder part of a path, without its trailing "\" ("C:\APP" for "C:\APP\A.EXE").
std::string_view ParentFolder(std::string_view path);

/// The Windows folder, the System folder or the System folder's WIN32S folder, with or
/// without a trailing "\".
bool IsSystemFolder(std::string_view folder, MachineFacts& facts);
bool IsSystemFolder(std::string_view folder, std::string_view windows, std::string_view system);

} // namespace rescind
