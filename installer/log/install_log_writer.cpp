// The engine's side of the installation log.
#include "install_log_writer.h"

namespace vorn {

namespace {

constexpr std::string_view LineEnd = "\r\n";

// Builds one write of the log: fixed words as they stand, fields made safe for one line.
class RecordText {
public:
    RecordText& Words(std::string_view words) {
        Text.append(words);
        return *this;
    }

    RecordText& Field(std::string_view field) {
        for (char c : field) {
            Text.push_back(c == '\r' || c == '\n' ? ' ' : c);
        }
        return *this;
    }

    RecordText& Number(int number) { return Words(std::to_string(number)); }

    RecordText& Line(std::string_view words, std::string_view field) {
        return Words(words).Field(field).Words(LineEnd);
    }

    std::string Text;
};

} // namespace

bool InstallLogWriter::Write(std::string_view text) {
    if (Sink == nullptr || Paused) {
        return true;
    }
    return Sink->Append(text);
}

bool InstallLogWriter::Header(const LocalDateTime& started, std::string_view title,
                              std::string_view source) {
    RecordText record;
    record.Words("***  Installation Started ")
        .Words(LogHeaderDateTimeText(started))
        .Words("  ***\r\n")
        .Line("Title: ", title)
        .Line("Source: ", source);
    return Write(record.Text);
}

bool InstallLogWriter::Information(const UninstallInfo& info) {
    RecordText record;
    record.Line("Uninstall MIF: ", info.Mif)
        .Line("Manufacturer: ", info.Manufacturer)
        .Line("Product: ", info.Product)
        .Line("Version Number: ", info.VersionNumber)
        .Line("Serial Number: ", info.SerialNumber);
    return Write(record.Text);
}

bool InstallLogWriter::AdminRights() {
    return Write("User Rights: Admin\r\n");
}

bool InstallLogWriter::FileCopied(std::string_view path) {
    return Write(RecordText().Line("File Copy: ", path).Text);
}

bool InstallLogWriter::FileOverwritten(std::string_view path) {
    return Write(RecordText().Line("File Overwrite: ", path).Text);
}

bool InstallLogWriter::BackupCopy(std::string_view path) {
    return Write(RecordText().Line("Backup Copy: ", path).Text);
}

bool InstallLogWriter::SharedCountIgnored() {
    return Write("Shared DLL counter ignored:\r\n");
}

bool InstallLogWriter::InUse(std::string_view path) {
    return Write(RecordText().Words("In Use: ").Field(path).Words(" Not Copied\r\n").Text);
}

bool InstallLogWriter::VersionKept(NextLineBlank blank) {
    return Write(blank == NextLineBlank::Written ? "Version: Following file not copied.\r\n "
                                                 : "Version: Following file not copied.\r\n");
}

bool InstallLogWriter::DateKept(std::string_view path) {
    RecordText record;
    record.Words("Date/Time: Following file not copied.\r\n").Line(" File Copy: ", path);
    return Write(record.Text);
}

bool InstallLogWriter::DateKept() {
    return Write("Date/Time: Following file not copied.\r\n");
}

bool InstallLogWriter::FileEdit(std::string_view path, std::string_view backup) {
    return Write(RecordText().Line("File Edit: ", path).Line("Backup Copy: ", backup).Text);
}

bool InstallLogWriter::SelfRegistered(std::string_view path) {
    return Write(RecordText().Line("Self-Register: ", path).Text);
}

bool InstallLogWriter::SelfRegisterFailed(std::string_view path) {
    return Write(RecordText().Line("Could not Self-Register: ", path).Text);
}

bool InstallLogWriter::MadeDir(std::string_view path) {
    return Write(RecordText().Line("Made Dir: ", path).Text);
}

bool InstallLogWriter::IconGroup(std::string_view group) {
    return Write(RecordText().Line("Icon Group: ", group).Text);
}

bool InstallLogWriter::IconItem(std::string_view name, std::string_view command) {
    return Write(RecordText().Line("Icon Name: ", name).Line("Icon Cmd: ", command).Text);
}

bool InstallLogWriter::IniNew() {
    return Write("INI New: Created INI\r\n");
}

bool InstallLogWriter::IniEntry(const IniEntryRecord& entry) {
    RecordText record;
    record.Line("INI File: ", entry.File)
        .Line("INI Sect: ", entry.Section)
        .Line("INI Item: ", entry.Key)
        .Line("INI Val: ", entry.Value);
    if (entry.Old) {
        record.Line("INI Old: ", *entry.Old);
    }
    return Write(record.Text);
}

bool InstallLogWriter::RegValue(const RegValueRecord& value) {
    RecordText record;
    record.Line("RegDB Key: ", value.Key).Words("RegDB Val: ").Field(value.Value);
    if (!value.Name.empty()) {
        record.Words("\r\nRegDB Name: ").Field(value.Name);
    }
    if (value.Type != 0) {
        record.Words("\r\nRegDB Type: ").Number(value.Type);
    }
    if (value.Root != 0) {
        record.Words("\r\nRegDB Root: ").Number(value.Root);
    }
    record.Words(LineEnd);
    for (const std::string& old : value.Olds) {
        record.Line("RegDB Old: ", old);
    }
    return Write(record.Text);
}

bool InstallLogWriter::AddDevice(std::string_view device) {
    return Write(RecordText().Line("Add Device: ", device).Text);
}

bool InstallLogWriter::Line(std::string_view text) {
    return Write(RecordText().Line("", text).Text);
}

bool InstallLogWriter::Text(std::string_view text) {
    return Write(text);
}

} // namespace vorn
