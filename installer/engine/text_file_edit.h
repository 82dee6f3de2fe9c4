// Editing text files in place (the start-up files AUTOEXEC.BAT and CONFIG.SYS, SYSTEM.INI,
// any text file a script names): the file read as lines, the edited lines written to a
// copy beside it, the copy put in its place, the old file kept as a numbered backup that
// the log names so that the uninstaller can put it back.
#pragma once

#include "engine.h"
#include "installer/log/log_sink.h"
#include "platform/files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

/// Files larger than this are not read as text (they are no start-up files).
inline constexpr std::uint32_t MaxTextFileSize = 4u << 20;

/// The copy an edited text file is written to, beside it.
inline constexpr std::string_view TextEditCopyName = "~KTRS383.TMP";

/// The engine's log as the log writer's sink, so that records keep the writer's format.
class EngineLogSink final : public LogSink {
public:
    explicit EngineLogSink(EngineLog& log) : Log(log) {}
    bool Append(std::string_view text) override {
        Log.AddText(text);
        return true;
    }

private:
    EngineLog& Log;
};

/// What the start-up file functions remember for one run.
struct StartupFileState {
    /// Upper-cased paths of the text files edited so far.
    std::vector<std::string> Edited;
    /// f33's open files, by the input handle the script's state field names.
    struct LineFile {
        platform::UniqueFile Input;
        /// The copy the lines are written through to; closed when there is none.
        platform::UniqueFile Output;
        std::string Path;
        std::string Copy;
    };
    std::vector<LineFile> LineFiles;
};

/// The run's state, made on first use.
StartupFileState& StartupFiles(Engine& engine);

/// The whole content of a file; nullopt when it cannot be opened or read, or is larger
/// than MaxTextFileSize.
std::optional<std::string> ReadWholeFile(platform::FileService& files, std::string_view path);

/// A text split into lines at LF, each without its CR; a DOS end-of-file mark (Ctrl+Z)
/// ends the text.
std::vector<std::string> SplitTextLines(std::string_view text);

/// "X:\name" on the boot drive (the drive of the Windows directory; C: when unknown).
std::string BootDriveFile(Engine& engine, std::string_view name);

/// Whether the file was edited before in this run.
bool EditedInRun(Engine& engine, std::string_view path);

/// Shows the error box naming a text file that cannot be read or written (message 26).
void ReportTextFileError(Engine& engine, std::string_view path);

/// Writes `lines` (each ended with CR LF) to `copyName` beside `path` and puts the copy
/// in the file's place. With `backup` the old file stays under the first free name with
/// a three-digit extension and the log gets "File Edit:" and "Backup Copy:"; otherwise
/// it is deleted. The old file is put back when the copy cannot take its place. False
/// (after the error box) when the copy cannot be made or the file not replaced; nothing
/// is logged then. The file counts as edited in the run once this succeeds.
bool ReplaceTextFile(Engine& engine, std::string_view path, const std::vector<std::string>& lines,
                     bool backup, std::string_view copyName = TextEditCopyName);

/// The second half of ReplaceTextFile: puts the finished `copy` in the place of `path`.
bool PutCopyInPlace(Engine& engine, std::string_view path, const std::string& copy, bool backup);

/// "RESTART" becomes `value`, unless a reboot ("S...") is asked for already.
void RequestRestart(Engine& engine, char value);

/// The edit f1, f2 and f25 make.
struct LineEdit {
    long Flags = 0;
    std::string_view Search;
    std::string_view NewLine;
    std::string_view Comment;
    long LineNumber = 0;
};

/// Puts the edit's new line into `lines`. False (nothing changed) when a line equal to
/// it (ignoring case and surrounding blanks) is there already.
bool ApplyLineEdit(std::vector<std::string>& lines, const LineEdit& edit);

/// Who decides about the backup of an edited file.
enum class BackupRule {
    /// Any text file: a backup unless flag bit 2 asks for none.
    UnlessFlag,
    /// AUTOEXEC.BAT and CONFIG.SYS: only with flag bit 2, on the file's first edit in the run.
    StartupFile,
};

/// f1, f2, f25: edits `path`. True when the line is in the file afterwards.
std::int32_t EditTextFile(Engine& engine, std::string_view path, const LineEdit& edit,
                          BackupRule rule);

} // namespace vorn
