// The uninstaller's picture of an installation: one list per kind of change, each item
// listed once with the installation numbers that touched it.
#pragma once

#include "installer/log/log_records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rescind {

/// A file the installation copied, replaced or linked.
struct FileItem {
    std::string Path;
    std::string Backup; ///< empty when the replaced file was not saved
    int CopyInstallation = 0;
    int BackupInstallation = 0;
    /// Where the shared-DLL count was raised; 0 when marked "Shared DLL counter ignored:".
    int SharedInstallation = 0;
    int RegisterInstallation = 0; ///< "Self-Register: " for this path
    int DeviceInstallation = 0;   ///< "Add Device: " for this path
    bool Selected = false;
    /// The earliest record for the path says the installation put the file there
    /// ("File Copy: " or "Shell Link: "); only such files are ever deleted.
    bool Created = false;
};

struct EditedFileItem {
    std::string Path;
    std::string Backup;
    int Installation = 0;
};

/// The log's own directory stands in the list as if named by this installation number.
inline constexpr int LogDirectoryInstallation = 32767;

struct DirectoryItem {
    std::string Path; ///< with a trailing "\"
    /// Set by "File Tree: ": the whole tree with its files was installed.
    int TreeInstallation = 0;
    int LastInstallation = 0;
    bool Selected = true;
};

struct IniFileItem {
    std::string Path;
    int Installation = 0;
    bool Selected = true;
};

struct IniEntryItem {
    std::string File;
    std::string Section;
    std::string Key;
    /// The values before the first and before the last installation that set the key;
    /// none means the key did not exist and is removed.
    std::optional<std::string> UninstallValue;
    std::optional<std::string> RollbackValue;
    int Installation = 0;
    bool Selected = true;
};

struct RegValueItem {
    std::string Key;
    std::string Name;
    int Root = 0;
    int Type = 0;
    /// The strings before the first and before the last installation (one for every
    /// type but multi-string); empty for values the installation created.
    std::vector<std::string> UninstallValue;
    std::vector<std::string> RollbackValue;
    int Installation = 0;
    bool Selected = true;
};

struct RegTreeItem {
    std::string Key;
    int Root = 0;
    int Installation = 0;
    bool Selected = true;
};

struct ProgramItemEntry {
    std::string Group;
    std::string Name;
    std::string Command;
    int Installation = 0;
    bool Selected = true;
    bool Gone = false;
};

struct ExternalProgramItem {
    std::string Command;
    std::string Name;
    int Installation = 0;
    bool Selected = true;
};

struct ServiceItem {
    std::string Name;
    int Installation = 0;
    bool Selected = true;
};

/// Everything the removal engine and the wizard work through.
struct ItemLists {
    std::string Title;
    std::string ApplicationDirectory; ///< with a trailing "\"
    vorn::UninstallInfo Info;
    int Sections = 0;
    std::uint64_t LastSectionOffset = 0;
    bool HasBackups = false;
    /// "User Rights: Admin" stood in the log.
    bool AdminInstall = false;

    std::vector<FileItem> PrivateFiles;
    std::vector<FileItem> SystemFiles;
    std::vector<EditedFileItem> EditedFiles;
    std::vector<DirectoryItem> Directories;
    std::vector<IniFileItem> IniFiles;
    std::vector<IniEntryItem> IniEntries;
    std::vector<RegValueItem> RegValuesToRemove;
    std::vector<RegValueItem> RegValuesToRestore;
    std::vector<RegTreeItem> RegTrees;
    std::vector<ProgramItemEntry> ProgramItems;
    std::vector<ExternalProgramItem> ExternalPrograms;
    std::vector<ServiceItem> Services;
    std::string SubSystem; ///< empty when none
    bool SubSystemSelected = true;
};

} // namespace rescind
