// What `vornlog` prints about a read installation log.
#include "log_report.h"

#include "apps/common/json_text.h"
#include "platform/ansi_text.h"

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
    void operator()(const std::string& text) const { Out << apps::JsonString(text); }
    void operator()(long long number) const { Out << number; }
    void operator()(bool flag) const { Out << (flag ? "true" : "false"); }
    void operator()(std::monostate) const { Out << "null"; }
    void operator()(const std::vector<std::string>& list) const {
        Out << "[";
        for (std::size_t i = 0; i < list.size(); ++i) {
            Out << (i > 0 ? ", " : "") << apps::JsonString(list[i]);
        }
        Out << "]";
    }
};

struct TextValue {
    std::ostream& Out;
    void operator()(const std::string& text) const {
        Out << "\"" << platform::AnsiToUtf8(text) << "\"";
    }
    void operator()(long long number) const { Out << number; }
    void operator()(bool flag) const { Out << (flag ? "yes" : "no"); }
    void operator()(std::monostate) const { Out << "(none)"; }
    void operator()(const std::vector<std::string>& list) const {
        Out << "[";
        for (std::size_t i = 0; i < list.size(); ++i) {
            Out << (i > 0 ? ", " : "") << "\"" << platform::AnsiToUtf8(list[i]) << "\"";
        }
        Out << "]";
    }
};

} // namespace

void WriteLogText(std::ostream& out, const InstallLog& log) {
    out << "title: " << platform::AnsiToUtf8(log.Title) << "\n"
        << "sections: " << log.Sections << "\n"
        << "last section offset: " << log.LastSectionOffset << "\n"
        << "uninstall MIF: " << platform::AnsiToUtf8(log.Info.Mif) << "\n"
        << "manufacturer: " << platform::AnsiToUtf8(log.Info.Manufacturer) << "\n"
        << "product: " << platform::AnsiToUtf8(log.Info.Product) << "\n"
        << "version number: " << platform::AnsiToUtf8(log.Info.VersionNumber) << "\n"
        << "serial number: " << platform::AnsiToUtf8(log.Info.SerialNumber) << "\n"
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
    out << "{\"title\": " << apps::JsonString(log.Title) << ", \"sections\": " << log.Sections
        << ", \"lastSectionOffset\": " << log.LastSectionOffset
        << ", \"info\": {\"mif\": " << apps::JsonString(log.Info.Mif)
        << ", \"manufacturer\": " << apps::JsonString(log.Info.Manufacturer)
        << ", \"product\": " << apps::JsonString(log.Info.Product)
        << ", \"version\": " << apps::JsonString(log.Info.VersionNumber)
        << ", \"serial\": " << apps::JsonString(log.Info.SerialNumber) << "}, \"records\": [";
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
