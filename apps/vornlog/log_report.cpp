// What `vornlog` prints about a read installation log.
#include "log_report.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vorn::cli {

namespace {

// The log is code page 1252 text; the terminal and JSON want UTF-8.
std::string AnsiToUtf8(std::string_view text) {
    // Code points of bytes 0x80 to 0x9F; the rest of the page equals Latin-1, and the
    // bytes the page leaves undefined keep their own value.
    static constexpr std::array<std::uint16_t, 32> High = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::string utf8;
    utf8.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        std::uint32_t code = byte >= 0x80 && byte <= 0x9F ? High[byte - 0x80] : byte;
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (code >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xE0 | (code >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
    return utf8;
}

std::string JsonString(std::string_view ansi) {
    std::string json = "\"";
    for (char c : AnsiToUtf8(ansi)) {
        switch (c) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned char>(c));
                json += escape;
            } else {
                json += c;
            }
        }
    }
    return json + "\"";
}

/// A field's value: text, a number, a flag, nothing (an absent old value), or a list.
using FieldValue =
    std::variant<std::string, long long, bool, std::monostate, std::vector<std::string>>;

struct Field {
    const char* Name;
    FieldValue Value;
};

struct RecordReport {
    const char* Kind;
    std::vector<Field> Fields;
};

const char* FileKindName(FileRecordKind kind) {
    switch (kind) {
    case FileRecordKind::Copy:
        return "fileCopy";
    case FileRecordKind::Overwrite:
        return "fileOverwrite";
    case FileRecordKind::ShellLink:
        return "shellLink";
    }
    return "fileCopy";
}

// Fields are named after the log's own words, in the order of the log's lines.
struct RecordReporter {
    RecordReport operator()(const AdminRightsRecord&) const { return {"adminRights", {}}; }
    RecordReport operator()(const FileRecord& r) const {
        return {FileKindName(r.Kind),
                {{"path", r.Path},
                 {"backup", r.Backup},
                 {"nonSystem", r.NonSystem},
                 {"sharedCountIgnored", r.SharedCountIgnored}}};
    }
    RecordReport operator()(const FileEditRecord& r) const {
        return {"fileEdit", {{"path", r.Path}, {"backup", r.Backup}}};
    }
    RecordReport operator()(const SelfRegisterRecord& r) const {
        return {"selfRegister", {{"path", r.Path}}};
    }
    RecordReport operator()(const MadeDirRecord& r) const {
        return {"madeDir", {{"path", r.Path}}};
    }
    RecordReport operator()(const FileTreeRecord& r) const {
        return {"fileTree", {{"path", r.Path}}};
    }
    RecordReport operator()(const IconGroupRecord& r) const {
        return {"iconGroup", {{"group", r.Group}}};
    }
    RecordReport operator()(const IconItemRecord& r) const {
        return {"iconItem", {{"group", r.Group}, {"name", r.Name}, {"command", r.Command}}};
    }
    RecordReport operator()(const IniNewRecord& r) const { return {"iniNew", {{"file", r.File}}}; }
    RecordReport operator()(const IniEntryRecord& r) const {
        FieldValue old = std::monostate{};
        if (r.Old) {
            old = *r.Old;
        }
        return {"iniEntry",
                {{"file", r.File},
                 {"section", r.Section},
                 {"key", r.Key},
                 {"value", r.Value},
                 {"old", old}}};
    }
    RecordReport operator()(const RegValueRecord& r) const {
        return {"regValue",
                {{"key", r.Key},
                 {"value", r.Value},
                 {"name", r.Name},
                 {"type", static_cast<long long>(r.Type)},
                 {"root", static_cast<long long>(r.Root)},
                 {"olds", r.Olds}}};
    }
    RecordReport operator()(const RegTreeRecord& r) const {
        return {"regTree", {{"key", r.Key}, {"root", static_cast<long long>(r.Root)}}};
    }
    RecordReport operator()(const ServiceRecord& r) const {
        return {"service", {{"name", r.Name}}};
    }
    RecordReport operator()(const AddDeviceRecord& r) const {
        return {"addDevice", {{"device", r.Device}}};
    }
    RecordReport operator()(const UninstallProgramRecord& r) const {
        return {"uninstallProgram", {{"command", r.Command}, {"name", r.Name}}};
    }
    RecordReport operator()(const SubSystemRecord& r) const {
        return {"subSystem", {{"name", r.Name}}};
    }
};

struct JsonValue {
    std::ostream& Out;
    void operator()(const std::string& text) const { Out << JsonString(text); }
    void operator()(long long number) const { Out << number; }
    void operator()(bool flag) const { Out << (flag ? "true" : "false"); }
    void operator()(std::monostate) const { Out << "null"; }
    void operator()(const std::vector<std::string>& list) const {
        Out << "[";
        for (std::size_t i = 0; i < list.size(); ++i) {
            Out << (i > 0 ? ", " : "") << JsonString(list[i]);
        }
        Out << "]";
    }
};

struct TextValue {
    std::ostream& Out;
    void operator()(const std::string& text) const { Out << "\"" << AnsiToUtf8(text) << "\""; }
    void operator()(long long number) const { Out << number; }
    void operator()(bool flag) const { Out << (flag ? "yes" : "no"); }
    void operator()(std::monostate) const { Out << "(none)"; }
    void operator()(const std::vector<std::string>& list) const {
        Out << "[";
        for (std::size_t i = 0; i < list.size(); ++i) {
            Out << (i > 0 ? ", " : "") << "\"" << AnsiToUtf8(list[i]) << "\"";
        }
        Out << "]";
    }
};

} // namespace

void WriteLogText(std::ostream& out, const InstallLog& log) {
    out << "title: " << AnsiToUtf8(log.Title) << "\n"
        << "sections: " << log.Sections << "\n"
        << "last section offset: " << log.LastSectionOffset << "\n"
        << "uninstall MIF: " << AnsiToUtf8(log.Info.Mif) << "\n"
        << "manufacturer: " << AnsiToUtf8(log.Info.Manufacturer) << "\n"
        << "product: " << AnsiToUtf8(log.Info.Product) << "\n"
        << "version number: " << AnsiToUtf8(log.Info.VersionNumber) << "\n"
        << "serial number: " << AnsiToUtf8(log.Info.SerialNumber) << "\n"
        << "records: " << log.Records.size() << "\n";
    for (const LogEntry& entry : log.Records) {
        RecordReport report = std::visit(RecordReporter{}, entry.Record);
        out << "  " << entry.Installation << " " << report.Kind;
        for (const Field& field : report.Fields) {
            out << " " << field.Name << "=";
            std::visit(TextValue{out}, field.Value);
        }
        out << "\n";
    }
}

void WriteLogJson(std::ostream& out, const InstallLog& log) {
    out << "{\"title\": " << JsonString(log.Title) << ", \"sections\": " << log.Sections
        << ", \"lastSectionOffset\": " << log.LastSectionOffset
        << ", \"info\": {\"mif\": " << JsonString(log.Info.Mif)
        << ", \"manufacturer\": " << JsonString(log.Info.Manufacturer)
        << ", \"product\": " << JsonString(log.Info.Product)
        << ", \"version\": " << JsonString(log.Info.VersionNumber)
        << ", \"serial\": " << JsonString(log.Info.SerialNumber) << "}, \"records\": [";
    for (std::size_t i = 0; i < log.Records.size(); ++i) {
        const LogEntry& entry = log.Records[i];
        RecordReport report = std::visit(RecordReporter{}, entry.Record);
        out << (i > 0 ? ", " : "") << "{\"kind\": \"" << report.Kind
            << "\", \"installation\": " << entry.Installation;
        for (const Field& field : report.Fields) {
            out << ", \"" << field.Name << "\": ";
            std::visit(JsonValue{out}, field.Value);
        }
        out << "}";
    }
    out << "]}\n";
}

} // namespace vorn::cli
