// The engine's side of the installation log: every line group it writes, one call each.
#pragma once

#include "date_time_text.h"
#include "log_records.h"
#include "log_sink.h"

#include <string>
#include <string_view>

namespace vorn {

/// Whether the blank that starts the next line follows "Version: Following file not copied.".
enum class NextLineBlank { Written, Omitted };

/// Formats each record in the log's exact text, CR LF line ends included, and hands it
/// to the sink as a single write. Without a sink, or while paused, nothing is written
/// and every call reports success.
///
/// A carriage return or line feed inside a field would end the line early and let the
/// rest pass for a record of its own (a registry value could make the uninstaller
/// delete any file), so each one in a field is written as a blank.
///
/// Every call returns false only when the sink failed to write.
class InstallLogWriter {
public:
    InstallLogWriter() = default;
    explicit InstallLogWriter(LogSink& sink) : Sink(&sink) {}

    /// The sink the writer writes to from now on; nullptr writes nowhere. Not owned.
    void SetSink(LogSink* sink) { Sink = sink; }

    void Pause() { Paused = true; }
    void Resume() { Paused = false; }
    bool IsPaused() const { return Paused; }

    /// The three header lines that open an installation section.
    bool Header(const LocalDateTime& started, std::string_view title, std::string_view source);
    /// The information block for the uninstaller's status file.
    bool Information(const UninstallInfo& info);

    bool AdminRights();
    bool FileCopied(std::string_view path);
    bool FileOverwritten(std::string_view path);
    /// "Backup Copy: ", right after the file record whose earlier file it saved.
    bool BackupCopy(std::string_view path);
    /// "Shared DLL counter ignored:", right before the file record it marks.
    bool SharedCountIgnored();
    bool InUse(std::string_view path);
    /// The existing file was newer. With NextLineBlank::Written the next record's line
    /// begins with a blank, which makes the reader pass over it.
    bool VersionKept(NextLineBlank blank = NextLineBlank::Written);
    /// The existing file's date was newer; the file record follows with a leading blank.
    bool DateKept(std::string_view path);
    /// The notice alone, when the file record is written later.
    bool DateKept();
    bool FileEdit(std::string_view path, std::string_view backup);
    bool SelfRegistered(std::string_view path);
    bool SelfRegisterFailed(std::string_view path);
    bool MadeDir(std::string_view path);
    /// A group once, then each item added to it: the reader puts every item into the
    /// group of the last group record before it.
    bool IconGroup(std::string_view group);
    bool IconItem(std::string_view name, std::string_view command);
    /// "INI New: Created INI"; the entry record of that INI file must follow it.
    bool IniNew();
    bool IniEntry(const IniEntryRecord& entry);
    /// The key, value, and the name, type and root lines where they are not empty or 0,
    /// then one "RegDB Old: " line per old string.
    bool RegValue(const RegValueRecord& value);
    bool AddDevice(std::string_view device);

    /// A line of the engine's own (the reason a run was aborted), with a line end.
    bool Line(std::string_view text);
    /// Text exactly as given, without a line end (the script's add-to-log action).
    bool Text(std::string_view text);

private:
    bool Write(std::string_view text);

    LogSink* Sink = nullptr;
    bool Paused = false;
};

} // namespace vorn
