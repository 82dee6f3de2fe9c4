// Program Manager of the sandbox machine: groups and items as files in the Windows folder.
#include "platform/posix/sandbox_program_manager.h"

#include "platform/ansi_text.h"
#include "platform/ini_text.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace platform {

namespace {

constexpr const char* ListFile = "PROGMAN.INI";
// A group file holds a few kilobytes; anything past this is not one.
constexpr std::size_t MaxFileBytes = 1u << 20;
constexpr std::uint32_t ErrorCallNotImplemented = 120;
// Program Manager's groups hold at most this many items, and it keeps at most this many
// groups; the limits keep a runaway script from filling the disk.
constexpr std::size_t MaxItems = 50;
constexpr std::size_t MaxGroups = 40;

bool ParseInt(std::string_view text, int& value) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return true;
    }
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc{} && stop == end;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// The program's file name without folder and extension, the name Program Manager gives an
// item that has none.
std::string DefaultItemName(std::string_view commandLine) {
    std::string_view program = TrimBlanks(commandLine);
    if (!program.empty() && program.front() == '"') {
        program = program.substr(1, program.find('"', 1) - 1);
    } else {
        program = program.substr(0, program.find(' '));
    }
    const std::size_t slash = program.find_last_of("\\/:");
    if (slash != std::string_view::npos) {
        program.remove_prefix(slash + 1);
    }
    return std::string(program.substr(0, program.rfind('.')));
}

std::vector<ProgramGroup>::iterator FindGroup(std::vector<ProgramGroup>& groups,
                                              std::string_view name) {
    return std::find_if(groups.begin(), groups.end(), [&](const ProgramGroup& group) {
        return EqualsIgnoringCase(group.Name, TrimBlanks(name));
    });
}

std::string GroupText(const ProgramGroup& group) {
    IniText document;
    document.SetValue("Group", "Name", group.Name);
    document.SetValue("Group", "ShowCommand", std::to_string(group.ShowCommand));
    for (std::size_t i = 0; i < group.Items.size(); ++i) {
        const ProgramItem& item = group.Items[i];
        const std::string section = "Item" + std::to_string(i + 1);
        document.SetValue(section, "Name", item.Name);
        document.SetValue(section, "Command", item.CommandLine);
        document.SetValue(section, "IconPath", item.IconPath);
        document.SetValue(section, "IconIndex", std::to_string(item.IconIndex));
        document.SetValue(section, "X", std::to_string(item.X));
        document.SetValue(section, "Y", std::to_string(item.Y));
        document.SetValue(section, "DefDir", item.DefaultDirectory);
        document.SetValue(section, "HotKey", std::to_string(item.HotKey));
        document.SetValue(section, "Minimize", item.Minimized ? "1" : "0");
    }
    return document.Text();
}

bool ParseGroup(std::string_view text, ProgramGroup& group) {
    const IniText document = IniText::Parse(text);
    const std::optional<std::string> name = document.Value("Group", "Name");
    if (!name || name->empty() ||
        !ParseInt(document.Value("Group", "ShowCommand").value_or(""), group.ShowCommand)) {
        return false;
    }
    group.Name = *name;
    for (const std::string& section : document.SectionNames()) {
        if (!StartsWithIgnoringCase(section, "Item") || group.Items.size() >= MaxItems) {
            continue;
        }
        ProgramItem item;
        const auto value = [&](const char* key) {
            return document.Value(section, key).value_or("");
        };
        item.Name = value("Name");
        item.CommandLine = value("Command");
        item.IconPath = value("IconPath");
        item.DefaultDirectory = value("DefDir");
        int minimized = 0;
        if (!ParseInt(value("IconIndex"), item.IconIndex) || !ParseInt(value("X"), item.X) ||
            !ParseInt(value("Y"), item.Y) || !ParseInt(value("HotKey"), item.HotKey) ||
            !ParseInt(value("Minimize"), minimized)) {
            return false;
        }
        item.Minimized = minimized != 0;
        group.Items.push_back(std::move(item));
    }
    return true;
}

bool Fail(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

} // namespace

bool SandboxProgramManager::ReadText(const std::string& path, std::string& text) {
    UniqueFile file(Files.CreateFileA(path, file::GenericRead, file::ShareRead, file::OpenExisting,
                                      file::AttributeNormal),
                    FileCloser{&Files});
    text.clear();
    std::array<char, 4096> chunk{};
    std::uint32_t read = 0;
    FileError = file ? winerror::Success : Files.GetLastError();
    while (file && text.size() < MaxFileBytes) {
        if (!Files.ReadFile(file.Get(), chunk, read)) {
            FileError = Files.GetLastError();
            return false;
        }
        if (read == 0) {
            return true;
        }
        text.append(chunk.data(), read);
    }
    return false;
}

bool SandboxProgramManager::WriteText(const std::string& path, const std::string& text) {
    std::string temporary;
    if (Files.GetTempFileNameA(WindowsDirectory, "GRP", 0, temporary) == 0) {
        FileError = Files.GetLastError();
        return false;
    }
    bool written = false;
    {
        UniqueFile file(Files.CreateFileA(temporary, file::GenericWrite, 0, file::CreateAlways,
                                          file::AttributeNormal),
                        FileCloser{&Files});
        std::uint32_t count = 0;
        written = file && Files.WriteFile(file.Get(), text, count) && count == text.size();
        FileError = Files.GetLastError();
    }
    if (written && !Files.MoveFileExA(temporary, path.c_str(), file::MoveReplaceExisting)) {
        // A Windows 95 machine has no MoveFileExA: the old file makes way first.
        written = Files.GetLastError() == ErrorCallNotImplemented &&
                  (Files.DeleteFileA(path) || Files.GetLastError() == winerror::FileNotFound) &&
                  Files.MoveFileA(temporary, path);
        FileError = Files.GetLastError();
    }
    if (!written) {
        Files.DeleteFileA(temporary);
    }
    return written;
}

bool SandboxProgramManager::Load(std::vector<ProgramGroup>& groups, std::string& error) {
    groups.clear();
    std::string text;
    const std::string list = WindowsDirectory + "\\" + ListFile;
    if (!ReadText(list, text)) {
        return FileError == winerror::FileNotFound ||
               Fail(error, "cannot read " + list + " (error " + std::to_string(FileError) + ")");
    }
    const IniText document = IniText::Parse(text);
    for (const std::string& key : document.KeyNames("Groups")) {
        ProgramGroup group;
        group.File = document.Value("Groups", key).value_or("");
        std::string groupText;
        // A group whose file is gone or damaged is left out, as Program Manager does.
        if (ReadText(group.File, groupText) && ParseGroup(groupText, group) &&
            FindGroup(groups, group.Name) == groups.end() && groups.size() < MaxGroups) {
            groups.push_back(std::move(group));
        }
    }
    return true;
}

bool SandboxProgramManager::SaveGroup(const ProgramGroup& group, std::string& error) {
    return WriteText(group.File, GroupText(group)) ||
           Fail(error, "cannot write " + group.File + " (error " + std::to_string(FileError) + ")");
}

bool SandboxProgramManager::SaveList(const std::vector<ProgramGroup>& groups, std::string& error) {
    IniText document;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        document.SetValue("Groups", "Group" + std::to_string(i + 1), groups[i].File);
    }
    const std::string list = WindowsDirectory + "\\" + ListFile;
    return WriteText(list, document.Text()) ||
           Fail(error, "cannot write " + list + " (error " + std::to_string(FileError) + ")");
}

std::vector<ProgramGroup> SandboxProgramManager::Groups() {
    std::vector<ProgramGroup> groups;
    std::string error;
    Load(groups, error);
    return groups;
}

bool SandboxProgramManager::Execute(std::string_view commands, std::string& error) {
    std::vector<ProgmanCommand> parsed;
    if (!ParseProgmanCommands(commands, parsed, error)) {
        return false;
    }
    for (const ProgmanCommand& command : parsed) {
        if (!Run(command, error)) {
            error = command.Name + ": " + error;
            return false;
        }
    }
    return true;
}

bool SandboxProgramManager::Run(const ProgmanCommand& command, std::string& error) {
    const std::vector<std::string>& arguments = command.Arguments;
    const auto argument = [&](std::size_t index) {
        return index < arguments.size() ? arguments[index] : std::string();
    };
    const auto is = [&](const char* name) { return EqualsIgnoringCase(command.Name, name); };
    for (const std::string& text : arguments) {
        if (text.find_first_of("\r\n") != std::string::npos) {
            return Fail(error, "an argument holds a line break");
        }
    }
    if (is("Reload") || is("ExitProgman")) {
        return true;
    }
    if (!is("CreateGroup") && !is("ShowGroup") && !is("DeleteGroup") && !is("AddItem") &&
        !is("DeleteItem") && !is("ReplaceItem")) {
        return Fail(error, "unknown command");
    }
    std::vector<ProgramGroup> groups;
    if (!Load(groups, error)) {
        return false;
    }
    if (is("CreateGroup")) {
        const std::string name(TrimBlanks(argument(0)));
        if (name.empty()) {
            return Fail(error, "the group name is missing");
        }
        ActiveGroup = name;
        ReplacedAt.reset();
        if (FindGroup(groups, name) != groups.end()) {
            return true;
        }
        if (groups.size() >= MaxGroups) {
            return Fail(error, "too many groups");
        }
        ProgramGroup group;
        group.Name = name;
        // The lowest GROUPn.GRP no group uses yet.
        for (int n = 1; group.File.empty(); ++n) {
            const std::string file = WindowsDirectory + "\\GROUP" + std::to_string(n) + ".GRP";
            if (std::none_of(groups.begin(), groups.end(), [&](const ProgramGroup& other) {
                    return EqualsIgnoringCase(other.File, file);
                })) {
                group.File = file;
            }
        }
        groups.push_back(group);
        return SaveGroup(group, error) && SaveList(groups, error);
    }
    if (is("ShowGroup")) {
        const auto group = FindGroup(groups, argument(0));
        int show = 0;
        if (group == groups.end()) {
            return Fail(error, "no group \"" + argument(0) + "\"");
        }
        if (!ParseInt(argument(1), show) || show < 1 || show > 8) {
            return Fail(error, "the show command must be 1 to 8, not \"" + argument(1) + "\"");
        }
        ActiveGroup = group->Name;
        ReplacedAt.reset();
        group->ShowCommand = show;
        return SaveGroup(*group, error);
    }
    if (is("DeleteGroup")) {
        const auto group = FindGroup(groups, argument(0));
        if (group == groups.end()) {
            return Fail(error, "no group \"" + argument(0) + "\"");
        }
        const std::string file = group->File;
        if (EqualsIgnoringCase(ActiveGroup, group->Name)) {
            ActiveGroup.clear();
        }
        groups.erase(group);
        if (!SaveList(groups, error)) {
            return false;
        }
        Files.DeleteFileA(file);
        return true;
    }
    const auto group = FindGroup(groups, ActiveGroup);
    if (group == groups.end()) {
        return Fail(error, "no group is active");
    }
    if (is("AddItem")) {
        ProgramItem item;
        item.CommandLine = argument(0);
        if (TrimBlanks(item.CommandLine).empty()) {
            return Fail(error, "the command line is missing");
        }
        item.Name = arguments.size() > 1 && !argument(1).empty()
                        ? argument(1)
                        : DefaultItemName(item.CommandLine);
        item.IconPath = argument(2);
        item.DefaultDirectory = argument(6);
        int minimized = 0;
        if (!ParseInt(argument(3), item.IconIndex) || !ParseInt(argument(4), item.X) ||
            !ParseInt(argument(5), item.Y) || !ParseInt(argument(7), item.HotKey) ||
            !ParseInt(argument(8), minimized)) {
            return Fail(error, "a number is expected for the icon index, position, hot key "
                               "or minimize flag");
        }
        item.Minimized = minimized != 0;
        if (group->Items.size() >= MaxItems) {
            return Fail(error, "the group is full");
        }
        const std::size_t at =
            std::min(ReplacedAt.value_or(group->Items.size()), group->Items.size());
        group->Items.insert(group->Items.begin() + static_cast<std::ptrdiff_t>(at),
                            std::move(item));
        ReplacedAt.reset();
        return SaveGroup(*group, error);
    }
    if (is("DeleteItem") || is("ReplaceItem")) {
        const std::string name(TrimBlanks(argument(0)));
        const auto item =
            std::find_if(group->Items.begin(), group->Items.end(), [&](const ProgramItem& each) {
                return EqualsIgnoringCase(each.Name, name);
            });
        if (item == group->Items.end()) {
            return Fail(error, "no item \"" + name + "\" in group \"" + group->Name + "\"");
        }
        const auto index = static_cast<std::size_t>(item - group->Items.begin());
        group->Items.erase(item);
        if (!SaveGroup(*group, error)) {
            return false;
        }
        if (is("ReplaceItem")) {
            ReplacedAt = index;
        }
    }
    return true;
}

std::optional<std::string> SandboxProgramManager::Request(std::string_view item) {
    std::vector<ProgramGroup> groups;
    std::string error;
    if (!Load(groups, error)) {
        return std::nullopt;
    }
    std::string text;
    if (EqualsIgnoringCase(item, "Groups") || EqualsIgnoringCase(item, "PROGMAN")) {
        for (const ProgramGroup& group : groups) {
            text += group.Name + "\r\n";
        }
        return text + '\0';
    }
    const auto group = FindGroup(groups, item);
    if (group == groups.end()) {
        return std::nullopt;
    }
    text = Quoted(group->Name) + "," + group->File + "," + std::to_string(group->Items.size()) +
           "," + std::to_string(group->ShowCommand) + "\r\n";
    for (const ProgramItem& each : group->Items) {
        text += Quoted(each.Name) + "," + Quoted(each.CommandLine) + "," + each.DefaultDirectory +
                "," + each.IconPath + "," + std::to_string(each.X) + "," + std::to_string(each.Y) +
                "," + std::to_string(each.IconIndex) + "," + std::to_string(each.HotKey) + "," +
                (each.Minimized ? "1" : "0") + "\r\n";
    }
    return text + '\0';
}

} // namespace platform
