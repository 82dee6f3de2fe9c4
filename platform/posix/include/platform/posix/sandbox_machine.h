// A folder on Linux that plays one Windows machine: its drives, its description, the
// moves it carries out at its next start, and how Windows paths map into it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace platform {

namespace sandbox {
/// A folder as the file system knows it, whatever its path.
struct FolderId {
    dev_t Device = 0;
    ino_t Inode = 0;
    auto operator<=>(const FolderId&) const = default;
};
} // namespace sandbox

enum class WindowsFamily { Windows95, WindowsNT };

struct SandboxDrive {
    char Letter = 'C';      ///< Upper case.
    std::uint32_t Type = 3; ///< file::Drive* value.
    std::uint64_t TotalBytes = 2048ull << 20;
    std::uint64_t FreeBytes = 1024ull << 20;
};

/// What machine.ini says. Only [Machine] Family must be there; every other key falls
/// back to the default written here (Windows folders, version and temporary folder by
/// family: 95 gives 4.0.950, C:\WINDOWS, C:\WINDOWS\SYSTEM, C:\WINDOWS\TEMP; NT gives
/// 4.0.1381, C:\WINNT, C:\WINNT\SYSTEM32, C:\TEMP).
struct MachineDescription {
    WindowsFamily Family = WindowsFamily::WindowsNT;
    std::uint32_t MajorVersion = 4;
    std::uint32_t MinorVersion = 0;
    std::uint32_t BuildNumber = 1381;
    std::string ServicePack;
    std::string UserName = "Installer";
    std::string ComputerName = "SANDBOX";
    bool Admin = true;
    std::string WindowsDirectory = "C:\\WINNT";
    std::string SystemDirectory = "C:\\WINNT\\SYSTEM32";
    std::string TempDirectory = "C:\\TEMP";
    int ScreenWidth = 800;
    int ScreenHeight = 600;
    int ColorBits = 8;
    std::uint32_t MemoryKilobytes = 32768;
    /// Without a [Drives] section, one fixed drive C of 2 GB with 1 GB free.
    std::vector<SandboxDrive> Drives{SandboxDrive{}};
    /// [Environment]: variables besides and over the family's own (COMSPEC, PATH, TEMP,
    /// TMP, windir), in file order.
    std::vector<std::pair<std::string, std::string>> Environment;
    /// How far the machine's local time is ahead of UTC, in minutes ([Time] Zone, "+HH:MM"
    /// or "-HH:MM"; UTC without one). Local times are file stamps in DOS form.
    int UtcOffsetMinutes = 0;
};

/// A Windows path taken apart and found in the machine folder.
struct SandboxPath {
    /// winerror code of a path Windows would refuse; 0 when the path is sound.
    std::uint32_t Error = 0;
    char Drive = 'C';
    /// The names from the root down, as Windows keeps them: "." and ".." resolved,
    /// trailing dots and blanks dropped.
    std::vector<std::string> Names;
    /// Where it lies in the machine folder: existing entries with their stored
    /// spelling, the rest as given. Only set when Error is 0.
    std::filesystem::path Native;
    /// Every folder above the last name exists.
    bool ParentExists = false;
    /// The last name exists (the root always does).
    bool Exists = false;
    /// The last name exists and is a folder, or a link to one (the root is one).
    bool IsFolder = false;
    /// The folder holding the last name, when resolving looked at its path as a whole:
    /// reading that folder's entry list in the same call needs no look of its own.
    std::optional<sandbox::FolderId> Folder;
    /// It lies on an installation medium, which nothing writes to.
    bool ReadOnly = false;

    /// "C:\A\B", the canonical Windows form.
    std::string Windows() const;
};

/// A pending move recorded by MoveFileExA with delay-until-reboot: the source and the
/// target as full Windows paths; an empty target deletes the source.
struct PendingRename {
    std::string Source;
    std::string Target;
    bool ReplaceExisting = false;
};

class SandboxMachine {
public:
    struct OpenResult {
        std::unique_ptr<SandboxMachine> Machine;
        /// Why the machine could not be opened: no machine.ini, a missing or wrong key.
        std::string Error;
    };

    /// Opens the machine described by `folder`/machine.ini.
    static OpenResult Open(const std::filesystem::path& folder);
    /// Makes `folder` a fresh machine of that family with a standard Windows layout
    /// (Windows, system, temporary and program folders, WIN.INI, SYSTEM.INI, start-up
    /// files) and opens it. The folder may exist but must not hold a machine yet.
    static OpenResult Create(const std::filesystem::path& folder, WindowsFamily family);

    /// Reads a description from machine.ini text; the error names the key at fault.
    static bool ParseDescription(std::string_view machineIni, MachineDescription& description,
                                 std::string& error);
    static std::string DescriptionText(const MachineDescription& description);

    const MachineDescription& Description() const { return Machine; }
    const std::filesystem::path& Folder() const { return Root; }
    const SandboxDrive* FindDrive(char letter) const;
    /// Takes `bytes` of the drive's free space (gives it back when negative); false,
    /// taking nothing, when the drive has not that much free. A machine.ini that declares
    /// a drive with little free space so makes a full disk for this run.
    bool UseSpace(char letter, std::int64_t bytes);
    /// `Folder()`/drive_c for 'C'; a medium's host folder for its letter.
    std::filesystem::path DriveFolder(char letter) const;
    /// DriveFolder as text without a closing separator, to build paths under it by
    /// appending "/" and a name.
    std::string DriveFolderText(char letter) const;
    /// The installation media: drives that show a host folder, read-only, named in
    /// media.txt in the machine folder ("D: /host/folder" a line), so that every program
    /// opening the machine sees them. A letter the description lacks becomes a CD-ROM drive.
    bool IsMedium(char letter) const;
    /// Makes `letter` show `hostFolder` from now on, for this and later openings.
    bool SetMedium(char letter, const std::filesystem::path& hostFolder, std::string& error);

    /// The current directory relative paths start from, "C:\" at first.
    const std::string& CurrentDirectory() const { return Current; }
    /// `folder` in its canonical Windows form ("C:\\" or "C:\\A\\B").
    void SetCurrentDirectory(std::string folder) { Current = std::move(folder); }

    /// Takes a Windows path apart (either separator, any case) and looks it up. With
    /// `wildcards` the last name may hold "*" and "?".
    SandboxPath Resolve(std::string_view path, bool wildcards = false) const;

    /// The moves waiting for the next start, oldest first; kept in the machine folder
    /// (pending_renames.txt) in the order Windows keeps them.
    std::vector<PendingRename> PendingRenames() const;
    bool AddPendingRename(const PendingRename& rename);
    /// Starts the machine again: carries out the pending moves in order and forgets them.
    /// Returns how many failed.
    int Restart();
    /// Whether a program of the machine holds the file open without sharing it: the
    /// file is named (a Windows path a line) in held_open.txt in the machine folder.
    bool HeldOpen(const std::filesystem::path& native) const;
    /// The first `maxLines` lines of a list file in the machine folder (held_open.txt, say),
    /// without their line ends; none when there is no such file.
    std::vector<std::string> ListLines(std::string_view fileName, std::size_t maxLines) const;

private:
    SandboxMachine(std::filesystem::path root, MachineDescription machine)
        : Root(std::move(root)), Machine(std::move(machine)) {}

    std::string LoadMedia();

    std::filesystem::path Root;
    MachineDescription Machine;
    std::string Current = "C:\\";
    std::vector<std::pair<char, std::filesystem::path>> Media;
};

/// What Windows keeps of an entry beyond Linux's: its attributes and its 8.3 name.
/// They live in a list file in each folder, "sandbox:entries", a name no Windows path
/// can reach.
struct EntryInfo {
    /// file::Attribute* bits; 0 means the default (archive for files).
    std::uint32_t Attributes = 0;
    /// Empty until one is needed, and for names that are 8.3 names already.
    std::string ShortName;
};
/// `folder`, when given, is the identity of the entry's folder that the caller has just
/// looked at (SandboxPath::Folder).
EntryInfo ReadEntryInfo(const std::filesystem::path& entry,
                        std::optional<sandbox::FolderId> folder = std::nullopt);
void WriteEntryInfo(const std::filesystem::path& entry, const EntryInfo& info);
void ForgetEntryInfo(const std::filesystem::path& entry);
/// Renames an entry on Linux and carries its information along; `folder` as for
/// ReadEntryInfo, of the source's folder.
bool MoveEntry(const std::filesystem::path& from, const std::filesystem::path& to,
               std::optional<sandbox::FolderId> folder = std::nullopt);

/// Whether a name needs no other 8.3 name: at most eight characters, a dot and three,
/// none of them a blank or one of "+,;=[]".
bool IsShortName(std::string_view name);
/// The entry's 8.3 name: itself when it is one, else its stored one, else a new one
/// made as Windows makes them ("PROGRA~1") and stored.
std::string ShortNameOf(const std::filesystem::path& entry);

/// A Linux file name as Windows text; false when it has no code page 1252 form.
bool NativeNameToAnsi(const std::string& native, std::string& ansi);

} // namespace platform
