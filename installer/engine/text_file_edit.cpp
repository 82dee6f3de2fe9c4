// Editing text files in place through a copy beside them, with numbered backups.
#include "text_file_edit.h"

#include "backup_copy.h"
#include "engine_message_box.h"
#include "installer/log/install_log_writer.h"
#include "message_table.h"
#include "path_parts.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"

#include <algorithm>
#include <array>

namespace vorn {

namespace {

using platform::FileService;
namespace file = platform::file;

constexpr std::size_t CannotOpenMessage = 26;
constexpr long NoBackupFlag = 0x04;

bool Exists(FileService& files, std::string_view path) {
    return files.GetFileAttributesA(path) != platform::file::InvalidAttributes;
}

std::string BesideFile(std::string_view path, std::string_view name) {
    std::string_view directory = DirectoryPart(path);
    return directory.empty() ? std::string(name)
                             : std::string(directory) + "\\" + std::string(name);
}

bool WriteLines(FileService& files, const std::string& target,
                const std::vector<std::string>& lines) {
    platform::UniqueFile out(files.CreateFileA(target, platform::file::GenericWrite, 0,
                                               platform::file::CreateAlways,
                                               platform::file::AttributeNormal),
                             {&files});
    if (!out) {
        return false;
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    std::uint32_t written = 0;
    return files.WriteFile(out.Get(), text, written) && written == text.size();
}

// The line of a file as the search sees it.
std::string SearchForm(std::string_view line, long flags) {
    constexpr long CaseSensitive = 0x01;
    constexpr long SkipLeadingBlanks = 0x02;
    if ((flags & SkipLeadingBlanks) != 0) {
        line.remove_prefix(std::min(line.size(), line.find_first_not_of(" \t")));
    }
    return (flags & CaseSensitive) != 0 ? std::string(line) : platform::UpperAnsi(line);
}

bool Matches(std::string_view line, const LineEdit& edit) {
    constexpr long WhereMask = 0x60;
    constexpr long Contains = 0x20;
    constexpr long EndsWith = 0x40;
    std::string text = SearchForm(line, edit.Flags);
    std::string search = SearchForm(edit.Search, edit.Flags & ~0x02L);
    switch (edit.Flags & WhereMask) {
    case Contains:
        return text.find(search) != std::string::npos;
    case EndsWith:
        return text.ends_with(search);
    default:
        return text.starts_with(search);
    }
}

} // namespace

StartupFileState& StartupFiles(Engine& engine) {
    if (!engine.TextFiles) {
        engine.TextFiles = std::make_shared<StartupFileState>();
    }
    return *engine.TextFiles;
}

std::optional<std::string> ReadWholeFile(FileService& files, std::string_view path) {
    platform::UniqueFile in(files.CreateFileA(path, platform::file::GenericRead,
                                              platform::file::ShareRead,
                                              platform::file::OpenExisting, 0),
                            {&files});
    if (!in) {
        return std::nullopt;
    }
    std::string text;
    std::array<char, 4096> buffer{};
    std::uint32_t read = 0;
    for (;;) {
        if (!files.ReadFile(in.Get(), buffer, read)) {
            return std::nullopt;
        }
        if (read == 0) {
            return text;
        }
        if (text.size() + read > MaxTextFileSize) {
            return std::nullopt;
        }
        text.append(buffer.data(), read);
    }
}

std::vector<std::string> SplitTextLines(std::string_view text) {
    text = text.substr(0, text.find('\x1A'));
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

std::string BootDriveFile(Engine& engine, std::string_view name) {
    std::array<char, PathSize> windows{};
    std::uint32_t length = engine.Services.Machine->System().GetWindowsDirectoryA(windows);
    std::string drive = "C:";
    if (length >= 2 && length < windows.size() && windows[1] == ':') {
        drive.assign(windows.data(), 2);
    }
    return drive + "\\" + std::string(name);
}

bool EditedInRun(Engine& engine, std::string_view path) {
    const std::vector<std::string>& edited = StartupFiles(engine).Edited;
    return std::find(edited.begin(), edited.end(), platform::UpperAnsi(path)) != edited.end();
}

void ReportTextFileError(Engine& engine, std::string_view path) {
    EngineMessageBox(
        engine, 0,
        FormatMessageText(engine.Message(CannotOpenMessage, "%s"), path, MessageTextSize),
        engine.Message(msg::ErrorTitle), box::NoCancel | box::IconStop);
}

bool PutCopyInPlace(Engine& engine, std::string_view path, const std::string& copy, bool backup) {
    FileService& files = engine.Services.Machine->Files();
    const std::string target(path);
    bool done = false;
    if (!Exists(files, target)) {
        // A file made new has nothing to keep and nothing to log.
        done = files.MoveFileA(copy, target);
    } else {
        // The old file moves to its backup name first, so that it is never lost: it comes
        // back when the copy cannot take its place, and goes only afterwards.
        constexpr std::uint32_t Kept =
            file::AttributeReadOnly | file::AttributeHidden | file::AttributeSystem;
        const std::uint32_t attributes = files.GetFileAttributesA(target) & Kept;
        std::string aside = FreeBackupName(engine, DirectoryPart(target), NamePart(target));
        if (!Exists(files, aside) && files.MoveFileA(target, aside)) {
            if (files.MoveFileA(copy, target)) {
                done = true;
                // A hidden or read-only start-up file stays so.
                if (attributes != 0) {
                    files.SetFileAttributesA(target, attributes);
                }
                if (backup) {
                    EngineLogSink sink(engine.Services.Log);
                    InstallLogWriter(sink).FileEdit(target, aside);
                } else {
                    files.SetFileAttributesA(aside, platform::file::AttributeNormal);
                    files.DeleteFileA(aside);
                }
            } else {
                files.MoveFileA(aside, target);
            }
        }
    }
    if (!done) {
        files.DeleteFileA(copy);
        ReportTextFileError(engine, path);
        return false;
    }
    std::vector<std::string>& edited = StartupFiles(engine).Edited;
    if (!EditedInRun(engine, path)) {
        edited.push_back(platform::UpperAnsi(path));
    }
    return true;
}

bool ReplaceTextFile(Engine& engine, std::string_view path, const std::vector<std::string>& lines,
                     bool backup, std::string_view copyName) {
    FileService& files = engine.Services.Machine->Files();
    const std::string copy = BesideFile(path, copyName);
    if (!WriteLines(files, copy, lines)) {
        files.DeleteFileA(copy);
        ReportTextFileError(engine, path);
        return false;
    }
    return PutCopyInPlace(engine, path, copy, backup);
}

void RequestRestart(Engine& engine, char value) {
    std::string restart = engine.Variables.GetVariable("RESTART");
    if (restart.empty() || platform::UpperAnsi(restart[0]) != 'S') {
        engine.Variables.SetVariable("RESTART", std::string(1, value));
    }
}

bool ApplyLineEdit(std::vector<std::string>& lines, const LineEdit& edit) {
    constexpr long PlaceMask = 0x18;
    constexpr long Replace = 0x08;
    const std::string_view wanted = platform::TrimBlanks(edit.NewLine);
    for (const std::string& line : lines) {
        if (platform::EqualsIgnoringCase(platform::TrimBlanks(line), wanted)) {
            return false;
        }
    }
    const std::string added(edit.NewLine);
    if (!edit.Search.empty()) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!Matches(lines[i], edit)) {
                continue;
            }
            const long place = edit.Flags & PlaceMask;
            if (place == 0) {
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), added);
            } else if (place == Replace && edit.Comment.empty()) {
                lines[i] = added;
            } else {
                // A replaced line stays behind the comment text, the new line after it.
                if (place == Replace) {
                    lines[i] = std::string(edit.Comment) + lines[i];
                }
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i + 1), added);
            }
            return true;
        }
    }
    if (edit.LineNumber > 0 && static_cast<std::size_t>(edit.LineNumber) <= lines.size()) {
        lines.insert(lines.begin() + (edit.LineNumber - 1), added);
    } else {
        lines.push_back(added);
    }
    return true;
}

std::int32_t EditTextFile(Engine& engine, std::string_view path, const LineEdit& edit,
                          BackupRule rule) {
    if (engine.Services.Machine == nullptr || path.empty()) {
        return 0;
    }
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    std::optional<std::string> text = ReadWholeFile(engine.Services.Machine->Files(), path);
    if (!text) {
        ReportTextFileError(engine, path);
        return 0;
    }
    std::vector<std::string> lines = SplitTextLines(*text);
    if (!ApplyLineEdit(lines, edit)) {
        return 1;
    }
    const bool flagged = (edit.Flags & NoBackupFlag) != 0;
    const bool backup =
        rule == BackupRule::UnlessFlag ? !flagged : flagged && !EditedInRun(engine, path);
    if (!ReplaceTextFile(engine, path, lines, backup)) {
        return 0;
    }
    if (rule == BackupRule::StartupFile) {
        RequestRestart(engine, 'S');
    }
    return 1;
}

} // namespace vorn
