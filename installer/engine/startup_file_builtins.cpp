// The built-in functions over start-up files and single files.
#include "startup_file_builtins.h"

#include "builtin_functions.h"
#include "engine_message_box.h"
#include "installer/log/install_log_writer.h"
#include "message_table.h"
#include "numbered_temp_file.h"
#include "path_parts.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"
#include "script_interpreter.h"
#include "text_file_edit.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace vorn {

namespace {

using platform::FileService;
namespace file = platform::file;

constexpr std::size_t CannotOpenMessage = 26;
constexpr std::string_view EnvironmentKey =
    "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

std::string_view SkipBlanks(std::string_view text) {
    text.remove_prefix(std::min(text.size(), text.find_first_not_of(" \t")));
    return text;
}

std::uint32_t Attributes(FileService& files, std::string_view path) {
    return files.GetFileAttributesA(path);
}

// True when one of the ";"-separated entries of `list` is `directory` (ignoring case).
bool ListHolds(std::string_view list, std::string_view directory) {
    for (;;) {
        std::size_t semicolon = list.find(';');
        if (platform::EqualsIgnoringCase(platform::TrimBlanks(list.substr(0, semicolon)),
                                         directory)) {
            return true;
        }
        if (semicolon == std::string_view::npos) {
            return false;
        }
        list.remove_prefix(semicolon + 1);
    }
}

std::string AppendToList(std::string list, std::string_view directory) {
    if (!list.empty() && list.back() != ';') {
        list += ';';
    }
    return list + std::string(directory);
}

std::string Directory(Engine& engine, bool system) {
    std::array<char, PathSize> buffer{};
    platform::SystemInfoService& info = engine.Services.Machine->System();
    std::uint32_t length =
        system ? info.GetSystemDirectoryA(buffer) : info.GetWindowsDirectoryA(buffer);
    return length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

bool IsWindowsNt(Engine& engine) {
    platform::OsVersionInfo version;
    return engine.Services.Machine->System().GetVersionExA(version) &&
           version.PlatformId == platform::sysinfo::PlatformNT;
}

// The lines of a text file that may be missing; nullopt (after the error box) when it
// is there but cannot be read.
std::optional<std::vector<std::string>> LinesOrNone(Engine& engine, const std::string& path) {
    FileService& files = engine.Services.Machine->Files();
    if (Attributes(files, path) == file::InvalidAttributes) {
        return std::vector<std::string>();
    }
    std::optional<std::string> text = ReadWholeFile(files, path);
    if (!text) {
        ReportTextFileError(engine, path);
        return std::nullopt;
    }
    return SplitTextLines(*text);
}

// f0 on Windows NT: the system's "Path" value.
std::int32_t AddToSystemPath(Engine& engine, std::string_view directory) {
    platform::RegistryService& registry = engine.Services.Machine->Registry();
    platform::HKEY handle = nullptr;
    if (registry.RegCreateKeyExA(platform::HKEY_LOCAL_MACHINE, EnvironmentKey, 0,
                                 platform::reg::KeyRead | platform::reg::KeyWrite, handle,
                                 nullptr) != platform::reg::Success) {
        ReportError(engine, engine.Message(msg::RegistryWriteFailed));
        return 0;
    }
    platform::UniqueRegistryKey key(handle, {&registry});
    unsigned long type = platform::reg::ExpandSz;
    unsigned long size = LongTextSize;
    std::string old;
    const long status = registry.RegQueryValueExA(key.Get(), "Path", type, old, size);
    // A value that cannot be read whole is never written over with a part of it.
    if (status != platform::reg::Success && status != platform::reg::FileNotFound) {
        return 0;
    }
    const bool existed = status == platform::reg::Success;
    old = old.substr(0, old.find('\0'));
    if (!existed || (type != platform::reg::Sz && type != platform::reg::ExpandSz)) {
        type = platform::reg::ExpandSz;
    }
    if (existed && ListHolds(old, directory)) {
        return 1;
    }
    std::string value = AppendToList(existed ? old : std::string(), directory);
    if (registry.RegSetValueExA(key.Get(), "Path", static_cast<std::uint32_t>(type),
                                std::span<const char>(value.c_str(), value.size() + 1)) !=
        platform::reg::Success) {
        ReportError(engine, engine.Message(msg::RegistryWriteFailed));
        return 0;
    }
    engine.SettingsChanged = true;
    RegValueRecord record;
    record.Key = std::string(EnvironmentKey);
    record.Value = value;
    record.Name = "Path";
    record.Root = 2;
    if (existed) {
        record.Type = type == platform::reg::ExpandSz ? 1 : 0;
        record.Olds.push_back(old);
    }
    EngineLogSink sink(engine.Services.Log);
    InstallLogWriter(sink).RegValue(record);
    RequestRestart(engine, 'W');
    return 1;
}

// Where the value of a "PATH ..." or "SET PATH=..." line of a batch file starts; npos
// for other lines.
std::size_t PathValueStart(std::string_view line) {
    std::string_view body = line;
    body.remove_prefix(std::min(body.size(), body.find_first_not_of(" \t@")));
    bool set = platform::StartsWithIgnoringCase(body, "set ");
    if (set) {
        body = SkipBlanks(body.substr(4));
    }
    if (!platform::StartsWithIgnoringCase(body, "path")) {
        return std::string_view::npos;
    }
    std::string_view rest = SkipBlanks(body.substr(4));
    if (set ? !rest.starts_with('=')
            : !(rest.empty() || rest.starts_with('=') || body.substr(4).starts_with(' '))) {
        return std::string_view::npos;
    }
    if (rest.starts_with('=')) {
        rest = SkipBlanks(rest.substr(1));
    }
    return line.size() - rest.size();
}

// f0 elsewhere: the path lines of AUTOEXEC.BAT.
std::int32_t AddToBatchPath(Engine& engine, std::string_view directory) {
    const std::string path = BootDriveFile(engine, "AUTOEXEC.BAT");
    std::optional<std::vector<std::string>> lines = LinesOrNone(engine, path);
    if (!lines) {
        return 0;
    }
    bool found = false;
    bool changed = false;
    for (std::string& line : *lines) {
        std::size_t start = PathValueStart(line);
        if (start == std::string::npos) {
            continue;
        }
        found = true;
        if (!ListHolds(std::string_view(line).substr(start), directory)) {
            line = AppendToList(line, directory);
            changed = true;
        }
    }
    if (!found) {
        lines->push_back("SET PATH=" + std::string(directory) + ";%PATH%");
        changed = true;
    }
    if (!changed) {
        return 1;
    }
    if (!ReplaceTextFile(engine, path, *lines, !EditedInRun(engine, path))) {
        return 0;
    }
    RequestRestart(engine, 'S');
    return 1;
}

bool Skipped(Engine& engine) {
    return engine.Services.Machine == nullptr;
}

std::int32_t EditStartupFile(Engine& engine, const DllCallBlock& block, std::string_view name) {
    if (Skipped(engine)) {
        return 0;
    }
    ArgumentFields fields(block);
    LineEdit edit{fields.Number(0), fields.Text(1), fields.Text(2), fields.Text(3),
                  fields.Number(4)};
    return EditTextFile(engine, BootDriveFile(engine, name), edit, BackupRule::StartupFile);
}

// f21: one setting; true when the lines changed.
bool RaiseSetting(std::vector<std::string>& lines, std::vector<std::string>& added,
                  std::string_view name, long minimum, std::string_view newLine) {
    if (minimum <= 0) {
        return false;
    }
    for (std::string& line : lines) {
        if (!platform::StartsWithIgnoringCase(SkipBlanks(line), name)) {
            continue;
        }
        std::size_t digits = line.find_first_of("0123456789");
        std::size_t end = digits == std::string::npos
                              ? line.size()
                              : std::min(line.size(), line.find_first_not_of("0123456789", digits));
        if (digits == std::string::npos) {
            digits = line.size();
        }
        long number = 0;
        std::from_chars(line.data() + digits, line.data() + std::min(end, digits + 9), number);
        if (number >= minimum) {
            return false;
        }
        line.replace(digits, end - digits, std::to_string(minimum));
        return true;
    }
    added.push_back(std::string(newLine) + std::to_string(minimum));
    return true;
}

// f33's state in the script: the input handle, the output handle and the copy's name,
// each followed by 0x7F, written over the blanks after the record's third field.
struct LineState {
    std::intptr_t Input = -1;
    std::intptr_t Output = -1;
    std::string Copy;
};

std::string StateText(const LineState& state) {
    return std::to_string(state.Input) + FieldSeparator + std::to_string(state.Output) +
           FieldSeparator + state.Copy + FieldSeparator;
}

// Writes the state (or blanks for none) into the running record's argument text.
bool KeepState(Engine& engine, const LineState* state) {
    std::optional<ActionRecord> record = engine.Program.Current();
    if (!record || record->Opcode() != op::CallDll) {
        return false;
    }
    std::string_view raw = record->PerLanguage(0);
    std::size_t at = 0;
    for (int separators = 0; separators < 3; ++separators) {
        at = raw.find(FieldSeparator, at);
        if (at == std::string_view::npos) {
            return false;
        }
        ++at;
    }
    std::string text = state != nullptr ? StateText(*state) : std::string();
    if (text.size() > raw.size() - at) {
        return false;
    }
    text.resize(raw.size() - at, ' ');
    return record->OverwritePerLanguage(0, at, text);
}

std::intptr_t HandleNumber(std::string_view text) {
    text = platform::TrimBlanks(text);
    std::intptr_t value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : -1;
}

using LineFile = StartupFileState::LineFile;

// The open file the script's state names; null when it names none this run opened.
LineFile* OpenLineFile(Engine& engine, const ArgumentFields& fields) {
    std::intptr_t input = HandleNumber(fields.Text(3));
    for (LineFile& open : StartupFiles(engine).LineFiles) {
        if (static_cast<std::intptr_t>(open.Input.Get()) == input &&
            static_cast<std::intptr_t>(open.Output.Get()) == HandleNumber(fields.Text(4))) {
            return &open;
        }
    }
    return nullptr;
}

// The next line, at most 255 characters of it; nullopt at the end of the file.
std::optional<std::string> NextLine(FileService& files, platform::FileHandle input) {
    constexpr std::size_t MaxLine = VariableTable::ValueSize - 1;
    std::string line;
    std::array<char, 512> buffer{};
    bool any = false;
    for (;;) {
        std::uint32_t read = 0;
        if (!files.ReadFile(input, buffer, read) || read == 0) {
            break;
        }
        std::string_view chunk(buffer.data(), read);
        std::size_t end = chunk.find('\n');
        any = true;
        line.append(chunk.substr(0, std::min(end, MaxLine + 1 - std::min(line.size(), MaxLine))));
        if (end != std::string_view::npos) {
            // Back to just after the line end for the next call.
            auto back = static_cast<std::int32_t>(read - end - 1);
            files.SetFilePointer(input, -back, nullptr, file::Current);
            break;
        }
    }
    if (line.ends_with('\r')) {
        line.pop_back();
    }
    line.resize(std::min(line.size(), MaxLine));
    if (!any || line.starts_with('\x1A')) {
        return std::nullopt;
    }
    return line;
}

bool AbortOnFile(Engine& engine, std::string_view path) {
    ReportError(engine,
                FormatMessageText(engine.Message(CannotOpenMessage, "%s"), path, MessageTextSize));
    engine.Services.Host.SetAbortFlag();
    return false;
}

// f33's first call: opens the file (and the copy) and keeps the state in the script.
LineFile* StartLineFile(Engine& engine, std::string_view path, bool writeThrough) {
    FileService& files = engine.Services.Machine->Files();
    LineFile opened{platform::UniqueFile(files.CreateFileA(path, file::GenericRead, file::ShareRead,
                                                           file::OpenExisting, 0),
                                         {&files}),
                    platform::UniqueFile(platform::InvalidFileHandle, {&files}), std::string(path),
                    std::string()};
    if (!opened.Input) {
        AbortOnFile(engine, path);
        return nullptr;
    }
    if (writeThrough) {
        opened.Copy = CreateNumberedTempFile(files, DirectoryPart(path));
        opened.Output.Reset(opened.Copy.empty()
                                ? platform::InvalidFileHandle
                                : files.CreateFileA(opened.Copy, file::GenericWrite, 0,
                                                    file::CreateAlways, file::AttributeNormal));
        if (!opened.Output) {
            AbortOnFile(engine, opened.Copy.empty() ? path : std::string_view(opened.Copy));
            return nullptr;
        }
    }
    LineState state{static_cast<std::intptr_t>(opened.Input.Get()),
                    static_cast<std::intptr_t>(opened.Output.Get()),
                    std::string(NamePart(opened.Copy))};
    if (!KeepState(engine, &state)) {
        // Without room for its state in the script the loop could never go on.
        if (!opened.Copy.empty()) {
            opened.Output.Reset();
            files.DeleteFileA(opened.Copy);
        }
        AbortBrokenScript(engine);
        return nullptr;
    }
    std::vector<LineFile>& all = StartupFiles(engine).LineFiles;
    all.push_back(std::move(opened));
    return &all.back();
}

// f33 at the end of the file: closes it, puts the copy in its place and clears the state.
void FinishLineFile(Engine& engine, LineFile& open, bool backup) {
    std::vector<LineFile>& all = StartupFiles(engine).LineFiles;
    open.Input.Reset();
    if (open.Output) {
        open.Output.Reset();
        PutCopyInPlace(engine, open.Path, open.Copy, backup);
    }
    all.erase(std::find_if(all.begin(), all.end(), [&](const LineFile& f) { return &f == &open; }));
    KeepState(engine, nullptr);
}

// f19's conditions (flags & 0xC1).
bool PathCondition(Engine& engine, long condition, std::string_view path) {
    FileService& files = engine.Services.Machine->Files();
    std::uint32_t attributes = Attributes(files, path);
    const bool exists = attributes != file::InvalidAttributes;
    const bool directory = exists && (attributes & file::AttributeDirectory) != 0;
    switch (condition) {
    case 0x00:
        return exists;
    case 0x01:
        return !exists;
    case 0x40:
        return exists && !directory;
    case 0x41:
        return directory;
    case 0x80: {
        std::string probe = CreateNumberedTempFile(files, path);
        if (probe.empty()) {
            return true;
        }
        files.DeleteFileA(probe);
        return false;
    }
    case 0x81:
        return engine.Services.Machine->Libraries().GetModuleHandleA(path) != nullptr;
    default:
        return false;
    }
}

// f20: the files matching `pattern` in `directory`, and below it when asked.
bool SetAttributesIn(FileService& files, const std::string& directory, std::string_view pattern,
                     std::uint32_t attributes, bool recurse, int depth, int& done) {
    constexpr int MaxDepth = 32;
    bool sound = true;
    platform::FindData found;
    platform::UniqueFind search(
        files.FindFirstFileA(directory + "\\" + std::string(pattern), found), {&files});
    for (bool more = static_cast<bool>(search); more;
         more = files.FindNextFileA(search.Get(), found)) {
        if ((found.FileAttributes & file::AttributeDirectory) == 0) {
            sound =
                files.SetFileAttributesA(directory + "\\" + found.FileName, attributes) && sound;
            ++done;
        }
    }
    if (!recurse || depth >= MaxDepth) {
        return sound;
    }
    platform::UniqueFind folders(files.FindFirstFileA(directory + "\\*.*", found), {&files});
    for (bool more = static_cast<bool>(folders); more;
         more = files.FindNextFileA(folders.Get(), found)) {
        if ((found.FileAttributes & file::AttributeDirectory) != 0 && found.FileName != "." &&
            found.FileName != "..") {
            sound = SetAttributesIn(files, directory + "\\" + found.FileName, pattern, attributes,
                                    true, depth + 1, done) &&
                    sound;
        }
    }
    return sound;
}

} // namespace

std::int32_t f0(Engine& engine, const DllCallBlock& block) {
    std::string_view directory =
        platform::TrimBlanks(block.Argument != nullptr ? block.Argument : "");
    if (Skipped(engine) || directory.empty()) {
        return 0;
    }
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    return IsWindowsNt(engine) ? AddToSystemPath(engine, directory)
                               : AddToBatchPath(engine, directory);
}

std::int32_t f1(Engine& engine, const DllCallBlock& block) {
    return EditStartupFile(engine, block, "AUTOEXEC.BAT");
}

std::int32_t f2(Engine& engine, const DllCallBlock& block) {
    return EditStartupFile(engine, block, "CONFIG.SYS");
}

std::int32_t f3(Engine& engine, const DllCallBlock& block) {
    std::string_view device = platform::TrimBlanks(ArgumentFields(block).Text(0));
    if (Skipped(engine) || device.empty()) {
        return 0;
    }
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    const std::string path = Directory(engine, false) + "\\SYSTEM.INI";
    std::optional<std::string> text = ReadWholeFile(engine.Services.Machine->Files(), path);
    if (!text) {
        ReportTextFileError(engine, path);
        return 0;
    }
    std::vector<std::string> lines = SplitTextLines(*text);
    const std::string wanted = "device=" + std::string(device);
    // The device line of a line, ";" and blanks in front and around "=" left out.
    auto deviceOf = [](std::string_view line, bool& commented) {
        line = SkipBlanks(line);
        commented = line.starts_with(';');
        if (commented) {
            line = SkipBlanks(line.substr(1));
        }
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos ||
            !platform::EqualsIgnoringCase(platform::TrimBlanks(line.substr(0, equals)), "device")) {
            return std::string_view();
        }
        return platform::TrimBlanks(line.substr(equals + 1));
    };
    std::optional<std::size_t> section;
    std::optional<std::size_t> commentedLine;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = SkipBlanks(lines[i]);
        if (line.starts_with('[')) {
            if (section) {
                break;
            }
            if (platform::StartsWithIgnoringCase(line, "[386Enh]")) {
                section = i;
            }
            continue;
        }
        bool commented = false;
        if (section && platform::EqualsIgnoringCase(deviceOf(line, commented), device)) {
            if (!commented) {
                return 1;
            }
            commentedLine = commentedLine.value_or(i);
        }
    }
    if (commentedLine) {
        lines[*commentedLine] = wanted;
    } else if (section) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*section + 1), wanted);
    } else {
        lines.push_back("[386Enh]");
        lines.push_back(wanted);
    }
    if (!ReplaceTextFile(engine, path, lines, false, "~KTRS382.TMP")) {
        return 0;
    }
    EngineLogSink sink(engine.Services.Log);
    InstallLogWriter(sink).AddDevice(Directory(engine, true) + "\\" + std::string(device));
    RequestRestart(engine, 'W');
    return 1;
}

std::int32_t f15(Engine& engine, const DllCallBlock& block) {
    constexpr long ReadBytes = 0x01;
    constexpr long WithZero = 0x02;
    constexpr long MaxWrite = 512;
    ArgumentFields fields(block);
    const long flags = fields.Number(0);
    const bool reading = (flags & ReadBytes) != 0;
    std::string_view variable = fields.Text(2);
    const long offset = fields.Number(3);
    long length = fields.Number(4);
    if (Skipped(engine) || variable.empty() || offset < 0) {
        return 0;
    }
    if (!reading && engine.Mode == RunMode::Test) {
        return 1;
    }
    FileService& files = engine.Services.Machine->Files();
    platform::UniqueFile handle(files.CreateFileA(fields.Text(1),
                                                  reading ? file::GenericRead : file::GenericWrite,
                                                  file::ShareRead, file::OpenExisting, 0),
                                {&files});
    if (!handle || files.SetFilePointer(handle.Get(), static_cast<std::int32_t>(offset), nullptr,
                                        file::Begin) == file::InvalidSetFilePointer) {
        return 0;
    }
    if (reading) {
        std::array<char, VariableTable::ValueSize - 1> buffer{};
        length = std::clamp(length, 0L, static_cast<long>(buffer.size()));
        std::uint32_t read = 0;
        if (!files.ReadFile(handle.Get(),
                            std::span(buffer.data(), static_cast<std::size_t>(length)), read)) {
            return 0;
        }
        std::string_view text(buffer.data(), read);
        text = text.substr(0, text.find('\0'));
        text.remove_suffix(text.size() - std::min(text.size(), text.find_last_not_of(' ') + 1));
        engine.Variables.SetVariable(variable, text);
        return 1;
    }
    std::string value = engine.Variables.GetVariable(variable);
    if (length > 0 && length < MaxWrite) {
        value.resize(std::min(value.size(), static_cast<std::size_t>(length)));
    }
    if ((flags & WithZero) != 0) {
        value.push_back('\0');
    }
    std::uint32_t written = 0;
    return files.WriteFile(handle.Get(), value, written) && written == value.size() ? 1 : 0;
}

std::int32_t f19(Engine& engine, const DllCallBlock& block) {
    constexpr long ConditionMask = 0xC1;
    constexpr long CancelBox = 0x06;
    ArgumentFields fields(block);
    const long flags = fields.Number(0);
    if (Skipped(engine)) {
        return 0;
    }
    const bool holds = PathCondition(engine, flags & ConditionMask, fields.Text(1));
    if (holds && !fields.Text(2).empty()) {
        int style = (flags & CancelBox) == CancelBox ? 0 : box::NoCancel;
        if (EngineMessageBox(engine, 0, fields.Text(2), fields.Text(3), style) ==
            answer::Cancelled) {
            engine.Services.Host.SetAbortFlag();
        }
    }
    return holds ? 1 : 0;
}

std::int32_t f20(Engine& engine, const DllCallBlock& block) {
    constexpr long NoArchive = 0x10;
    constexpr long Recurse = 0x08;
    ArgumentFields fields(block);
    const long flags = fields.Number(0);
    std::string_view path = fields.Text(1);
    if (Skipped(engine) || path.empty()) {
        return 0;
    }
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    std::uint32_t attributes = (flags & NoArchive) != 0 ? 0 : file::AttributeArchive;
    attributes |= static_cast<std::uint32_t>(flags) &
                  (file::AttributeReadOnly | file::AttributeHidden | file::AttributeSystem);
    if (attributes == 0) {
        attributes = file::AttributeNormal;
    }
    int done = 0;
    bool sound = SetAttributesIn(engine.Services.Machine->Files(), std::string(DirectoryPart(path)),
                                 NamePart(path), attributes, (flags & Recurse) != 0, 0, done);
    return sound && done > 0 ? 1 : 0;
}

std::int32_t f21(Engine& engine, const DllCallBlock& block) {
    ArgumentFields fields(block);
    if (Skipped(engine)) {
        return 0;
    }
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    const std::string path = BootDriveFile(engine, "CONFIG.SYS");
    std::optional<std::vector<std::string>> lines = LinesOrNone(engine, path);
    if (!lines) {
        return 0;
    }
    std::vector<std::string> added;
    bool changed = RaiseSetting(*lines, added, "files", fields.Number(0), "Files=");
    changed = RaiseSetting(*lines, added, "buffers", fields.Number(1), "Buffers=") || changed;
    if (!changed) {
        return 1;
    }
    lines->insert(lines->begin(), added.begin(), added.end());
    if (!ReplaceTextFile(engine, path, *lines, !EditedInRun(engine, path))) {
        return 0;
    }
    RequestRestart(engine, 'S');
    return 1;
}

std::int32_t f25(Engine& engine, const DllCallBlock& block) {
    if (Skipped(engine)) {
        return 0;
    }
    ArgumentFields fields(block);
    LineEdit edit{fields.Number(0), fields.Text(2), fields.Text(3), fields.Text(4),
                  fields.Number(5)};
    return EditTextFile(engine, fields.Text(1), edit, BackupRule::UnlessFlag);
}

std::int32_t f33(Engine& engine, const DllCallBlock& block) {
    constexpr long WriteThrough = 0x01;
    constexpr long Backup = 0x02;
    ArgumentFields fields(block);
    const long flags = fields.Number(0);
    std::string_view variable = fields.Text(1);
    if (Skipped(engine) || variable.empty()) {
        return 0;
    }
    FileService& files = engine.Services.Machine->Files();
    LineFile* open = OpenLineFile(engine, fields);
    if (open == nullptr) {
        open = StartLineFile(engine, fields.Text(2),
                             (flags & WriteThrough) != 0 && engine.Mode != RunMode::Test);
        if (open == nullptr) {
            return 0;
        }
    } else if (open->Output) {
        std::string line = engine.Variables.GetVariable(variable) + "\r\n";
        std::uint32_t written = 0;
        if (!files.WriteFile(open->Output.Get(), line, written) || written != line.size()) {
            // The copy is incomplete: the file stays as it was.
            const std::string copy = open->Copy;
            open->Output.Reset();
            files.DeleteFileA(copy);
            FinishLineFile(engine, *open, false);
            engine.Variables.SetVariable(variable, "");
            return AbortOnFile(engine, copy) ? 1 : 0;
        }
    }
    std::optional<std::string> line = NextLine(files, open->Input.Get());
    engine.Variables.SetVariable(variable, line.value_or(std::string()));
    if (!line) {
        FinishLineFile(engine, *open, (flags & Backup) != 0);
        return 0;
    }
    return 1;
}

} // namespace vorn
