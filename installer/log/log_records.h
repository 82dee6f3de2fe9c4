// The changes an installation log records, as the uninstaller reads them back.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vorn {

/// The five lines of the information block: what the uninstaller's status file says.
struct UninstallInfo {
    std::string Mif; ///< base name of the status file
    std::string Manufacturer;
    std::string Product;
    std::string VersionNumber;
    std::string SerialNumber;

    friend bool operator==(const UninstallInfo&, const UninstallInfo&) = default;
};

/// "User Rights: Admin": the installation ran with administrator rights.
struct AdminRightsRecord {
    friend bool operator==(const AdminRightsRecord&, const AdminRightsRecord&) = default;
};

/// Which line named a file record.
enum class FileRecordKind {
    Copy,      ///< "File Copy: ": no file stood at the path before
    Overwrite, ///< "File Overwrite: ": an existing file was replaced
    ShellLink, ///< "Shell Link: ": a shortcut, treated like a copy
};

struct FileRecord {
    FileRecordKind Kind = FileRecordKind::Copy;
    std::string Path;
    /// Where the replaced file was saved ("Backup Copy: "); empty when there is none.
    std::string Backup;
    /// Marked "Non-System File:": not a system file even in a system directory.
    bool NonSystem = false;
    /// Marked "Shared DLL counter ignored:": the shared-DLL count must not be lowered.
    bool SharedCountIgnored = false;

    friend bool operator==(const FileRecord&, const FileRecord&) = default;
};

/// "File Edit: ": a start-up file changed in place; Backup holds its earlier content
/// (empty when the log names no backup).
struct FileEditRecord {
    std::string Path;
    std::string Backup;

    friend bool operator==(const FileEditRecord&, const FileEditRecord&) = default;
};

struct SelfRegisterRecord {
    std::string Path;

    friend bool operator==(const SelfRegisterRecord&, const SelfRegisterRecord&) = default;
};

struct MadeDirRecord {
    std::string Path;

    friend bool operator==(const MadeDirRecord&, const MadeDirRecord&) = default;
};

/// "File Tree: ": a whole directory tree; a trailing "\*.*" is already dropped.
struct FileTreeRecord {
    std::string Path;

    friend bool operator==(const FileTreeRecord&, const FileTreeRecord&) = default;
};

/// "Icon Group: ". The reader yields one just before the first item of the group.
struct IconGroupRecord {
    std::string Group;

    friend bool operator==(const IconGroupRecord&, const IconGroupRecord&) = default;
};

/// "Icon Name: " and "Icon Cmd: ", with the group of the section's last "Icon Group: "
/// line before them: the engine logs a group once and then each item added to it.
struct IconItemRecord {
    std::string Group;
    std::string Name;
    std::string Command;

    friend bool operator==(const IconItemRecord&, const IconItemRecord&) = default;
};

/// "INI New: ": the INI file did not exist before; its path comes from the entry after it.
struct IniNewRecord {
    std::string File;

    friend bool operator==(const IniNewRecord&, const IniNewRecord&) = default;
};

struct IniEntryRecord {
    std::string File;
    std::string Section;
    std::string Key;
    std::string Value;
    /// The value the key held before; absent when the key did not exist, so that
    /// uninstalling removes it instead of setting it empty.
    std::optional<std::string> Old;

    friend bool operator==(const IniEntryRecord&, const IniEntryRecord&) = default;
};

struct RegValueRecord {
    std::string Key; ///< relative to the root
    std::string Value;
    std::string Name; ///< empty for the key's default value
    /// Type digit of the value that stood there before; 2 marks a multi-string. 0 is not written.
    int Type = 0;
    int Root = 0; ///< root key number; 0 is not written
    /// The old value, one entry per string of a multi-string; empty when the value
    /// did not exist before.
    std::vector<std::string> Olds;

    friend bool operator==(const RegValueRecord&, const RegValueRecord&) = default;
};

struct RegTreeRecord {
    std::string Key;
    int Root = 0;

    friend bool operator==(const RegTreeRecord&, const RegTreeRecord&) = default;
};

/// "Create Service: ": a Windows NT service.
struct ServiceRecord {
    std::string Name;

    friend bool operator==(const ServiceRecord&, const ServiceRecord&) = default;
};

/// "Add Device: ": a "device=" line in the [386Enh] section of SYSTEM.INI.
struct AddDeviceRecord {
    std::string Device;

    friend bool operator==(const AddDeviceRecord&, const AddDeviceRecord&) = default;
};

/// "Execute Path: " or "Execute Program: ", with the optional "Execute Name: ".
struct UninstallProgramRecord {
    std::string Command;
    std::string Name;

    friend bool operator==(const UninstallProgramRecord&, const UninstallProgramRecord&) = default;
};

/// "SubSystem: B...": the name, its leading "B" included.
struct SubSystemRecord {
    std::string Name;

    friend bool operator==(const SubSystemRecord&, const SubSystemRecord&) = default;
};

using LogRecord =
    std::variant<AdminRightsRecord, FileRecord, FileEditRecord, SelfRegisterRecord, MadeDirRecord,
                 FileTreeRecord, IconGroupRecord, IconItemRecord, IniNewRecord, IniEntryRecord,
                 RegValueRecord, RegTreeRecord, ServiceRecord, AddDeviceRecord,
                 UninstallProgramRecord, SubSystemRecord>;

/// A record with the number of the installation section it stands in (1 for the oldest).
struct LogEntry {
    int Installation = 0;
    LogRecord Record;

    friend bool operator==(const LogEntry&, const LogEntry&) = default;
};

} // namespace vorn
