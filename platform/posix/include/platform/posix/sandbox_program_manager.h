// Program Manager of the sandbox machine: the groups and items that installers make over
// DDE, kept as files in the machine's Windows folder.
#pragma once

#include "platform/files.h"
#include "platform/progman_commands.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct ProgramItem {
    std::string Name;
    std::string CommandLine;
    std::string IconPath;
    int IconIndex = 0;
    int X = -1;
    int Y = -1;
    std::string DefaultDirectory;
    int HotKey = 0;
    bool Minimized = false;
};

struct ProgramGroup {
    std::string Name;
    /// The group's file, a full Windows path.
    std::string File;
    int ShowCommand = 1;
    std::vector<ProgramItem> Items;
};

/// The groups are listed, as Windows 3.1 lists them, in PROGMAN.INI in the Windows folder
/// (section [Groups], keys Group1, Group2, ... naming each group's file). A group's file
/// is GROUPn.GRP in the Windows folder, in INI form: [Group] with Name and ShowCommand,
/// then one section per item in order ([Item1], [Item2], ...) with Name, Command,
/// IconPath, IconIndex, X, Y, DefDir, HotKey and Minimize. Every file is read and
/// written through `files`, a file replaced through a temporary one, so injected faults
/// reach the commands and a failed write leaves the old file whole.
class SandboxProgramManager {
public:
    SandboxProgramManager(FileService& files, std::string windowsDirectory)
        : Files(files), WindowsDirectory(std::move(windowsDirectory)) {}

    /// Runs each command of an execute string in turn: CreateGroup, ShowGroup, AddItem,
    /// ReplaceItem, DeleteItem, DeleteGroup, Reload, ExitProgman (names in any case).
    /// Stops at the first that fails, returning false with `error` saying why; the
    /// commands before it stay done.
    bool Execute(std::string_view commands, std::string& error);
    /// The answer to a request in text form, with its terminating zero: "Groups" (or
    /// "PROGMAN") lists the group names, each followed by CR LF; a group's name gives the
    /// group line and one line per item. nullopt for anything else.
    std::optional<std::string> Request(std::string_view item);

    /// Every group, in the order PROGMAN.INI lists them; files that cannot be read are
    /// left out.
    std::vector<ProgramGroup> Groups();

private:
    bool Run(const ProgmanCommand& command, std::string& error);
    bool Load(std::vector<ProgramGroup>& groups, std::string& error);
    bool SaveGroup(const ProgramGroup& group, std::string& error);
    bool SaveList(const std::vector<ProgramGroup>& groups, std::string& error);
    bool ReadText(const std::string& path, std::string& text);
    bool WriteText(const std::string& path, const std::string& text);

    FileService& Files;
    std::string WindowsDirectory;
    /// The group AddItem, DeleteItem and ReplaceItem work on: the last one created or
    /// shown.
    std::string ActiveGroup;
    /// Where ReplaceItem took an item out: the next AddItem in that group goes there.
    std::optional<std::size_t> ReplacedAt;
    /// Why the last ReadText or WriteText failed.
    std::uint32_t FileError = 0;
};

} // namespace platform
