// Prints a compiled script back in the installation script language.
#include "installer/engine/script.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/script_header.h"
#include "script_compiler.h"
#include "script_lexer.h"
#include "script_words.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace vorn::authoring {

namespace {

std::string HexText(std::span<const std::uint8_t> bytes) {
    static const char* const Digits = "0123456789abcdef";
    std::string text = "\"";
    for (const std::uint8_t b : bytes) {
        text += Digits[b >> 4];
        text += Digits[b & 15];
    }
    return text + "\"";
}

std::string LanguageText(const std::vector<std::string>& texts) {
    if (std::all_of(texts.begin(), texts.end(), [&](const auto& t) { return t == texts[0]; })) {
        return Quote(texts[0]);
    }
    std::string out = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out += (i == 0 ? "" : ", ") + Quote(texts[i]);
    }
    return out + "]";
}

std::string FlagWords(std::span<const FlagWord> table, std::uint8_t& bits) {
    std::string out;
    for (const FlagWord& word : table) {
        if ((bits & word.Bits) == word.Bits) {
            out += " " + std::string(word.Word);
            bits = static_cast<std::uint8_t>(bits & ~word.Bits);
        }
    }
    return out;
}

class Lister {
public:
    Lister(std::span<const std::uint8_t> script, const ArchiveHeader& archive,
           const std::vector<PayloadEntry>& payload)
        : Bytes(script.begin(), script.end()), Archive(archive) {
        for (const PayloadEntry& entry : payload) {
            Stored.emplace(std::pair{entry.Offset, entry.Offset + entry.CompressedSize},
                           entry.Name);
        }
    }

    std::string Run() {
        HeaderReadResult read = ReadScriptHeader(Bytes);
        if (read.Error) {
            throw std::runtime_error(std::string("the script's header: ") +
                                     HeaderErrorText(*read.Error));
        }
        const ScriptHeader& h = read.Header;
        Languages = static_cast<std::uint8_t>(h.Texts.size());
        PrintHeader(h);
        for (std::uint8_t language = 0; language < Languages; ++language) {
            Views.emplace_back(Bytes, Languages, language);
        }
        std::uint32_t at = read.RecordsOffset;
        for (;;) {
            Section(at, Archive.FinishOffset, "finish");
            Section(at, Archive.CancelOffset, "cancel");
            const std::optional<std::uint8_t> opcode = Views[0].ByteAt(at);
            if (!opcode || *opcode == op::EndOfScript) {
                break;
            }
            std::optional<ActionRecord> record = Views[0].RecordAt(at);
            if (!record) {
                throw std::runtime_error("the record at offset " + std::to_string(at) +
                                         " is not valid");
            }
            Print(*record);
            at += static_cast<std::uint32_t>(record->Size());
        }
        return Out.str();
    }

private:
    void Section(std::uint32_t at, std::uint32_t offset, const char* keyword) {
        if (offset != 0 && offset == at) {
            Out << keyword << "\n";
        }
    }
    /// Indentation shows nesting up to a depth; deeper blocks of a damaged or odd script
    /// do not make the listing grow beyond its records.
    void Line(const std::string& text) {
        Out << std::string(4 * std::min<std::size_t>(Depth, MaxIndent), ' ') << text << "\n";
    }
    std::vector<std::string> PerLanguage(const ActionRecord& record, std::size_t index) const {
        std::vector<std::string> texts;
        for (const Script& view : Views) {
            texts.emplace_back(view.RecordAt(record.Offset())->PerLanguage(index));
        }
        return texts;
    }
    std::string Per(const ActionRecord& record, std::size_t index) const {
        return LanguageText(PerLanguage(record, index));
    }
    std::string Once(const ActionRecord& record, std::size_t index) const {
        return Quote(record.Once(index));
    }

    void PrintHeader(const ScriptHeader& h) {
        for (const ScriptLanguage& language : h.Languages) {
            Out << "language " << Quote(language.Name)
                << (h.Texts.size() > 1 ? " " + Quote(language.SystemName) : "") << "\n";
        }
        if (h.Texts.size() > 1) {
            Out << "language-dialog " << Quote(h.LanguageDialogTitle) << " "
                << Quote(h.LanguageDialogPrompt) << "\n";
        }
        if (h.Flags != 0) {
            Out << "header-flags " << unsigned(h.Flags) << "\n";
        }
        if (h.ArchiveIdentifier != 0) {
            Out << "archive-id " << h.ArchiveIdentifier << "\n";
        }
        if (!h.FontFace.empty() || h.FontPointSize != 0 || h.FontCharacterSet != 0) {
            Out << "font " << Quote(h.FontFace) << " " << unsigned(h.FontPointSize) << " "
                << unsigned(h.FontCharacterSet) << "\n";
        }
        const std::pair<const char*, const std::string*> fields[] = {
            {"library-base", &h.LibraryBaseName},
            {"log-path", &h.LogPath},
            {"status-file", &h.StatusFileName},
            {"status-template", &h.StatusFileTemplate},
            {"manufacturer", &h.Manufacturer},
            {"product", &h.Product},
            {"version", &h.VersionNumber},
            {"serial", &h.SerialNumber},
            {"uninstall-status", &h.UninstallStatusName}};
        for (const auto& [keyword, value] : fields) {
            if (!value->empty()) {
                Out << keyword << " " << Quote(*value) << "\n";
            }
        }
        std::vector<std::string> texts;
        for (const LanguageTexts& language : h.Texts) {
            texts.push_back(language.WindowTitle);
        }
        Out << "title " << LanguageText(texts) << "\n";
        for (std::size_t index = 0; index < ScriptHeader::MessageCount; ++index) {
            texts.clear();
            for (const LanguageTexts& language : h.Texts) {
                texts.push_back(index < language.Messages.size() ? language.Messages[index] : "");
            }
            if (std::any_of(texts.begin(), texts.end(), [](const auto& t) { return !t.empty(); })) {
                Out << "text " << index << " " << LanguageText(texts) << "\n";
            }
        }
    }

    void Raw(const ActionRecord& record) {
        const std::optional<RecordShape> shape = ShapeOf(record.Opcode());
        std::vector<std::uint8_t> fixed;
        for (std::size_t i = 1; i < shape->FixedBytes; ++i) {
            fixed.push_back(record.FixedByte(i));
        }
        std::string text = "record " + std::to_string(record.Opcode()) + " " + HexText(fixed);
        for (std::size_t i = 0; i < shape->OnceStrings; ++i) {
            text += " " + Once(record, i);
        }
        for (std::size_t i = 0; i < shape->StringsPerLanguage; ++i) {
            text += " " + Per(record, i);
        }
        if (record.Opcode() == op::DisplayGraphic && Languages > 1) {
            text += " " + HexText(record.Trailing());
        }
        Line(text);
    }

    std::string CallText(const ActionRecord& record, std::uint8_t flags) {
        const bool own = (flags & call::OwnFunction) != 0;
        if (own && !record.Once(0).empty()) {
            throw std::runtime_error("an engine function call names a library");
        }
        std::string text = "call " + (own ? std::string("engine") : Once(record, 0)) + " " +
                           Once(record, 1) + " " + Per(record, 0);
        if ((flags & call::CloseProgress) != 0) {
            text += " close-progress";
        }
        if ((flags & 3) == call::AbortWhenTrue) {
            text += " abort-if-true";
        }
        return text;
    }

    bool Install(const ActionRecord& record) {
        std::uint8_t a = record.FixedByte(1);
        std::uint8_t b = record.FixedByte(2);
        // For a file from the archive, stamp, size, version and checksum come from the
        // file itself; the other forms carry none of them.
        std::uint32_t numbers = 0;
        std::string text;
        if (record.Opcode() == op::InstallFiles2) {
            if ((b & WildcardSource) == 0 || (a & OutsideSource) != 0 || !record.Once(1).empty()) {
                return false;
            }
            for (std::size_t at = 3; at < 43; at += 4) {
                numbers |= record.FixedDword(at);
            }
            text = "install-wildcard " + Once(record, 2);
            b = static_cast<std::uint8_t>(b & ~WildcardSource);
        } else if ((a & OutsideSource) != 0) {
            for (std::size_t at = 3; at < 43; at += 4) {
                numbers |= record.FixedDword(at);
            }
            text = "install-from " + Once(record, 1);
            a = static_cast<std::uint8_t>(a & ~OutsideSource);
        } else {
            const std::uint32_t start = record.FixedDword(3);
            const std::uint32_t end = record.FixedDword(7);
            auto entry = Stored.find({start, end});
            if (entry == Stored.end() || !record.Once(1).empty() || (b & WildcardSource) != 0) {
                return false;
            }
            text = "install " + Quote(entry->second);
        }
        if (numbers != 0) {
            return false;
        }
        text += " to " + Once(record, 0);
        const std::vector<std::string> description = PerLanguage(record, 0);
        if (std::any_of(description.begin(), description.end(),
                        [](const auto& t) { return !t.empty(); })) {
            text += " description " + LanguageText(description);
        }
        const std::uint8_t rule = (a >> 3) & 3;
        a = static_cast<std::uint8_t>(a & ~0x18);
        text += FlagWords(InstallFlagsA, a) + FlagWords(InstallFlagsB, b);
        if (rule != 0) {
            text += " " + std::string(DateRuleWords[rule]);
        }
        if (a != 0 || b != 0) {
            return false;
        }
        Line(text);
        return true;
    }

    void Print(const ActionRecord& record) {
        const std::uint8_t flags = record.Flags();
        switch (record.Opcode()) {
        case op::InstallFiles:
        case op::InstallFiles2:
            if (!Install(record)) {
                Raw(record);
            }
            return;
        case op::DisplayMessage: {
            std::uint8_t style = flags & 0xFE;
            const std::uint8_t icon = style & IconField;
            std::string words;
            const auto named = std::find_if(MessageIcons.begin(), MessageIcons.end(),
                                            [&](const FlagWord& w) { return w.Bits == icon; });
            if ((style & 0x20) != 0 || (icon != 0 && named == MessageIcons.end())) {
                words = " style " + std::to_string(style);
            } else {
                style = static_cast<std::uint8_t>(style & ~IconField);
                words = FlagWords(MessageFlags, style) +
                        (icon != 0 ? " " + std::string(named->Word) : "");
            }
            Line(((flags & 1) != 0 ? "ask" : "message") + words + " " + Per(record, 0) + " " +
                 Per(record, 1));
            Depth += flags & 1;
            return;
        }
        case op::IfWhile: {
            const std::uint8_t comparison = flags & 0x0F;
            if (comparison >= ComparisonWords.size() || (flags & 0x40) != 0 ||
                (flags & 0x30) == 0x20) {
                throw std::runtime_error("the condition at offset " +
                                         std::to_string(record.Offset()) + " cannot be listed");
            }
            const char* head = (flags & 0x10) == 0   ? "if "
                               : (flags & 0x20) != 0 ? "do while "
                                                     : "while ";
            Line(head + std::string(record.Once(0)) + " " +
                 std::string(ComparisonWords[comparison]) + " " + Once(record, 1));
            ++Depth;
            return;
        }
        case op::CallDll: {
            const std::uint8_t form = flags & 3;
            if ((flags & 0x20) != 0 || ((flags & call::TestAtEnd) != 0 && form != call::While)) {
                throw std::runtime_error("the call at offset " + std::to_string(record.Offset()) +
                                         " cannot be listed");
            }
            const char* head = form == call::If                 ? "if "
                               : form != call::While            ? ""
                               : (flags & call::TestAtEnd) != 0 ? "do while "
                                                                : "while ";
            Line(head + CallText(record, flags));
            Depth += form >= call::If ? 1 : 0;
            return;
        }
        case op::Else:
            if (Depth == 0) {
                throw std::runtime_error("an else record stands outside every block");
            }
            --Depth;
            Line("else");
            ++Depth;
            return;
        case op::EndBlock:
            if (Depth == 0) {
                throw std::runtime_error("an end record closes no block");
            }
            --Depth;
            Line("end");
            return;
        case 11:
            if ((flags & ~0x0D) == 0) {
                std::uint8_t bits = flags;
                Line("delete " + Once(record, 0) + FlagWords(DeleteFlags, bits));
                return;
            }
            break;
        case 17:
            Line("mkdir " + Once(record, 0));
            return;
        case 29:
            Line("rename " + Once(record, 0) + " " + Once(record, 1));
            return;
        case op::GetTempFileName:
            Line("tempfile " + std::string(record.Once(0)));
            return;
        case op::ExitInstallation:
            Line("exit");
            return;
        case op::Filler:
            Line("filler");
            return;
        case op::AddToLog:
            Line("log " + Once(record, 0));
            return;
        case op::SetLogFile:
            if (flags == 2 || (flags < 2 && record.Once(0).empty())) {
                Line("log-file " + (flags == 2   ? Once(record, 0)
                                    : flags == 1 ? "pause"
                                                 : "resume"));
                return;
            }
            break;
        default:
            break;
        }
        Raw(record);
    }

    std::vector<std::uint8_t> Bytes;
    const ArchiveHeader& Archive;
    /// Payload names by where their data starts and ends.
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::string> Stored;
    static constexpr std::size_t MaxIndent = 32;
    std::uint8_t Languages = 1;
    std::vector<Script> Views;
    std::ostringstream Out;
    std::size_t Depth = 0;
};

} // namespace

std::string ListScript(std::span<const std::uint8_t> script, const ArchiveHeader& archive,
                       const std::vector<PayloadEntry>& payload) {
    return Lister(script, archive, payload).Run();
}

} // namespace vorn::authoring
