// The uninstaller's side of the installation log.
#include "install_log_reader.h"

#include "log_line_source.h"
#include "oem_to_char.h"
#include "platform/ansi_text.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <system_error>
#include <utility>

namespace vorn {

namespace {

/// The text after `prefix` when the line begins with it, in any case.
std::optional<std::string_view> After(std::string_view line, std::string_view prefix) {
    if (!platform::StartsWithIgnoringCase(line, prefix)) {
        return std::nullopt;
    }
    return line.substr(prefix.size());
}

// A number as atoi reads it: leading white space, a sign, then digits up to the first
// other character; no digits read as 0. Too large a number stops at the int limit.
int DecimalNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long number = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = std::min(number * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    if (negative) {
        return static_cast<int>(-number);
    }
    return static_cast<int>(std::min(number, static_cast<long long>(INT_MAX)));
}

std::string TrimmedTitle(std::string_view title) {
    constexpr std::string_view Installation = " INSTALLATION";
    constexpr std::string_view Install = " INSTALL";
    // A title that is no more than the ending itself keeps it.
    if (title.size() > Installation.size() && platform::EndsWithIgnoringCase(title, Installation)) {
        title.remove_suffix(Installation.size());
    }
    if (title.size() > Install.size() && platform::EndsWithIgnoringCase(title, Install)) {
        title.remove_suffix(Install.size());
    }
    return std::string(title);
}

// The marks the lines before a file record set for it.
struct FileMarks {
    bool NonSystem = false;
    bool SharedCountIgnored = false;
};

class LogParser {
public:
    /// `logSize` is the log's size in bytes, where known, to size the record list.
    LogParser(LogLineSource& lines, std::uint64_t logSize) : Lines(lines), LogSize(logSize) {}

    LogReadResult Parse();

private:
    void HandleLine();
    void StartSection();
    void ReadFileRecord(FileRecordKind kind, std::string_view path, FileMarks marks);
    void ReadFileEdit(std::string_view path);
    void ReadIniNew();
    void ReadIniEntry(std::string_view file);
    void ReadUninstallProgram(std::string_view command);
    void ReadIconItem(std::string_view name);
    void ReadFileTree(std::string_view path);
    void ReadRegTree(std::string_view key);
    void ReadRegValue(std::string_view key);

    /// The next line's text after `prefix`. A line without it is put back to be read
    /// as a record of its own. The text lives until the next line is read.
    std::optional<std::string_view> FollowOn(std::string_view prefix);

    /// A file, directory or INI path in ANSI, converted when the section is OEM text.
    std::string PathText(std::string_view text) const {
        return OemSection ? OemToChar(text) : std::string(text);
    }

    void Add(LogRecord record) { Log.Records.push_back({Installation, std::move(record)}); }

    LogLineSource& Lines;
    std::uint64_t LogSize;
    InstallLog Log;
    int Installation = 1;
    bool OemSection = false;
    /// The group of the section's last "Icon Group: " line, which the items after it
    /// went into; whether its record was added yet (only with its first item).
    std::optional<std::string> IconGroup;
    bool IconGroupAdded = false;
};

LogReadResult LogParser::Parse() {
    if (!Lines.Next() || !Lines.Line().starts_with("*** ")) {
        return {LogReadError::Invalid, {}};
    }
    StartSection();
    // Growing the list by doubling would move every record again and touch twice the
    // memory. Logs the engine writes hold about one record per 100 bytes; room for one
    // per 64 bytes is enough for nearly every log and costs little where it is too much.
    // Beyond a million records (a 64 MB log) the list grows as it must, so that an
    // outsized file cannot claim more room up front than a 32-bit process has.
    constexpr std::uint64_t BytesPerRecord = 64;
    constexpr std::uint64_t MostRecordsMadeRoomFor = 1 << 20;
    Log.Records.reserve(
        static_cast<std::size_t>(std::min(LogSize / BytesPerRecord, MostRecordsMadeRoomFor)));
    do {
        if (!Lines.Next()) {
            return {LogReadError::Invalid, {}};
        }
    } while (!Lines.Line().starts_with("Title:"));
    std::string_view title = Lines.Line();
    constexpr std::size_t TitleStart = std::string_view("Title: ").size();
    // The title is the product's name, at most 255 characters; the log's lines may be
    // longer, for the registry values they carry.
    constexpr std::size_t MaxTitleLength = 255;
    Log.Title =
        TrimmedTitle(title.size() > TitleStart ? title.substr(TitleStart, MaxTitleLength) : "");
    while (Lines.Next()) {
        HandleLine();
    }
    Log.Sections = Installation;
    return {std::nullopt, std::move(Log)};
}

void LogParser::StartSection() {
    std::string_view header = Lines.Line();
    // The engine writes two blanks after "***"; one blank marks OEM text.
    OemSection = header.size() < 5 || header[4] != ' ';
    Log.LastSectionOffset = Lines.Offset();
    IconGroup.reset();
}

void LogParser::HandleLine() {
    FileMarks marks;
    for (;;) {
        std::string_view line = Lines.Line();
        if (platform::EqualsIgnoringCase(line, "Non-System File:")) {
            marks.NonSystem = true;
        } else if (platform::EqualsIgnoringCase(line, "Shared DLL counter ignored:")) {
            marks.SharedCountIgnored = true;
        } else {
            break;
        }
        if (!Lines.Next()) {
            return;
        }
    }

    // Only the prefixes that begin with the line's first letter are tried, in a fixed
    // order, and the first that matches wins: that keeps a long log quick to read.
    // Anything that matches none is information only or of no known kind. A line that
    // begins with a blank, like the file record after "Version: Following file not
    // copied.", matches none, so a file that was not copied is never removed.
    std::string_view line = Lines.Line();
    switch (platform::UpperAnsi(line.front())) {
    case '*':
        if (line.starts_with("*** ")) {
            ++Installation;
            StartSection();
        }
        break;
    case 'U':
        if (auto mif = After(line, "Uninstall MIF: ")) {
            Log.Info.Mif = *mif;
        } else if (platform::EqualsIgnoringCase(line, "User Rights: Admin")) {
            Add(AdminRightsRecord{});
        }
        break;
    case 'M':
        if (auto manufacturer = After(line, "Manufacturer: ")) {
            Log.Info.Manufacturer = *manufacturer;
        } else if (auto directory = After(line, "Made Dir: ")) {
            Add(MadeDirRecord{PathText(*directory)});
        }
        break;
    case 'P':
        if (auto product = After(line, "Product: ")) {
            Log.Info.Product = *product;
        }
        break;
    case 'V':
        if (auto version = After(line, "Version Number: ")) {
            Log.Info.VersionNumber = *version;
        }
        break;
    case 'S':
        if (auto serial = After(line, "Serial Number: ")) {
            Log.Info.SerialNumber = *serial;
        } else if (auto link = After(line, "Shell Link: ")) {
            ReadFileRecord(FileRecordKind::ShellLink, *link, marks);
        } else if (auto server = After(line, "Self-Register: ")) {
            Add(SelfRegisterRecord{PathText(*server)});
        } else if (platform::StartsWithIgnoringCase(line, "SubSystem: B")) {
            Add(SubSystemRecord{std::string(line.substr(std::string_view("SubSystem: ").size()))});
        }
        break;
    case 'F':
        if (auto path = After(line, "File Copy: ")) {
            ReadFileRecord(FileRecordKind::Copy, *path, marks);
        } else if (auto replaced = After(line, "File Overwrite: ")) {
            ReadFileRecord(FileRecordKind::Overwrite, *replaced, marks);
        } else if (auto edited = After(line, "File Edit: ")) {
            ReadFileEdit(*edited);
        } else if (auto tree = After(line, "File Tree: ")) {
            ReadFileTree(*tree);
        }
        break;
    case 'C':
        if (auto service = After(line, "Create Service: ")) {
            Add(ServiceRecord{std::string(*service)});
        }
        break;
    case 'A':
        if (auto device = After(line, "Add Device: ")) {
            Add(AddDeviceRecord{PathText(*device)});
        }
        break;
    case 'I':
        if (platform::StartsWithIgnoringCase(line, "INI New: ")) {
            ReadIniNew();
        } else if (auto file = After(line, "INI File: ")) {
            ReadIniEntry(*file);
        } else if (auto group = After(line, "Icon Group: ")) {
            IconGroup = std::string(*group);
            IconGroupAdded = false;
        } else if (auto name = After(line, "Icon Name: ")) {
            ReadIconItem(*name);
        }
        break;
    case 'E':
        if (auto command = After(line, "Execute Path: ")) {
            ReadUninstallProgram(*command);
        } else if (auto program = After(line, "Execute Program: ")) {
            ReadUninstallProgram(*program);
        }
        break;
    case 'R':
        if (auto registryTree = After(line, "RegDB Tree: ")) {
            ReadRegTree(*registryTree);
        } else if (auto key = After(line, "RegDB Key: ")) {
            ReadRegValue(*key);
        }
        break;
    default:
        break;
    }
}

std::optional<std::string_view> LogParser::FollowOn(std::string_view prefix) {
    if (!Lines.Next()) {
        return std::nullopt;
    }
    auto text = After(Lines.Line(), prefix);
    if (!text) {
        Lines.PutBack();
    }
    return text;
}

void LogParser::ReadFileRecord(FileRecordKind kind, std::string_view path, FileMarks marks) {
    FileRecord file{kind, PathText(path), {}, marks.NonSystem, marks.SharedCountIgnored};
    if (auto backup = FollowOn("Backup Copy: ")) {
        file.Backup = PathText(*backup);
    }
    Add(std::move(file));
}

void LogParser::ReadFileEdit(std::string_view path) {
    FileEditRecord edit{PathText(path), {}};
    if (auto backup = FollowOn("Backup Copy: ")) {
        edit.Backup = PathText(*backup);
    }
    Add(std::move(edit));
}

void LogParser::ReadIniNew() {
    auto file = FollowOn("INI File: ");
    if (!file) {
        return;
    }
    Add(IniNewRecord{PathText(*file)});
    // The rest of the new file's first entry is not an INI change of its own: skip the
    // lines that begin with "INI " but are not "INI File: " or "INI New: ".
    while (Lines.Next()) {
        std::string_view line = Lines.Line();
        bool entryLine = platform::StartsWithIgnoringCase(line, "INI ") &&
                         (line.size() < 5 || (platform::UpperAnsi(line[4]) != 'F' &&
                                              platform::UpperAnsi(line[4]) != 'N'));
        if (!entryLine) {
            Lines.PutBack();
            return;
        }
    }
}

void LogParser::ReadIniEntry(std::string_view file) {
    IniEntryRecord entry;
    entry.File = PathText(file);
    auto section = FollowOn("INI Sect: ");
    if (!section) {
        return;
    }
    entry.Section = *section;
    auto key = FollowOn("INI Item: ");
    if (!key) {
        return;
    }
    entry.Key = *key;
    if (auto value = FollowOn("INI Val: ")) {
        entry.Value = *value;
        if (auto old = FollowOn("INI Old: ")) {
            entry.Old = std::string(*old);
        }
    }
    Add(std::move(entry));
}

void LogParser::ReadUninstallProgram(std::string_view command) {
    UninstallProgramRecord program{std::string(command), {}};
    if (auto name = FollowOn("Execute Name: ")) {
        program.Name = *name;
    }
    Add(std::move(program));
}

// An item goes into the group Program Manager had active: the one the last "Icon
// Group: " line of the section named, however many items or other records came after
// it. An item before any group line is not known to be ours and is passed over.
void LogParser::ReadIconItem(std::string_view name) {
    if (!IconGroup) {
        return;
    }
    std::string itemName(name);
    auto command = FollowOn("Icon Cmd: ");
    if (!command) {
        return;
    }
    if (!IconGroupAdded) {
        Add(IconGroupRecord{*IconGroup});
        IconGroupAdded = true;
    }
    Add(IconItemRecord{*IconGroup, std::move(itemName), std::string(*command)});
}

void LogParser::ReadFileTree(std::string_view path) {
    constexpr std::string_view AllFiles = "\\*.*";
    if (path.ends_with(AllFiles)) {
        path.remove_suffix(AllFiles.size());
    }
    Add(FileTreeRecord{PathText(path)});
}

void LogParser::ReadRegTree(std::string_view key) {
    RegTreeRecord tree{std::string(key), 0};
    if (auto root = FollowOn("RegDB Root: ")) {
        tree.Root = DecimalNumber(*root);
    }
    Add(std::move(tree));
}

void LogParser::ReadRegValue(std::string_view key) {
    RegValueRecord value;
    value.Key = key;
    auto data = FollowOn("RegDB Val: ");
    if (!data) {
        return;
    }
    value.Value = *data;
    if (auto name = FollowOn("RegDB Name: ")) {
        value.Name = *name;
    }
    if (auto type = FollowOn("RegDB Type: ")) {
        value.Type = DecimalNumber(*type);
    }
    if (auto root = FollowOn("RegDB Root: ")) {
        value.Root = DecimalNumber(*root);
    }
    while (auto old = FollowOn("RegDB Old: ")) {
        value.Olds.emplace_back(*old);
    }
    Add(std::move(value));
}

} // namespace

std::string_view LogReadErrorText(LogReadError error) {
    switch (error) {
    case LogReadError::CannotOpen:
        return "Could not open INSTALL.LOG file.";
    case LogReadError::Invalid:
        return "Invalid INSTALL.LOG file.";
    }
    return "Invalid INSTALL.LOG file.";
}

LogReadResult ReadInstallLog(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return {LogReadError::CannotOpen, {}};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {LogReadError::CannotOpen, {}};
    }
    std::uint64_t size = std::filesystem::file_size(path, error);
    StreamByteSource bytes(file);
    LogLineSource lines(bytes);
    return LogParser(lines, error ? 0 : size).Parse();
}

LogReadResult ParseInstallLog(std::string_view text) {
    LogLineSource lines(text);
    return LogParser(lines, text.size()).Parse();
}

} // namespace vorn
