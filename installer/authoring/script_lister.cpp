// Prints a compiled script back in the installation script language.
#include "dialog_page_compiler.h"
#include "installer/engine/custom_dialog_set.h"
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

/// Payload files larger than this are not read for a listing.
constexpr std::uint32_t MaxListedItem = 16u << 20;

std::string HexText(std::span<const std::uint8_t> bytes) {
    static const char* const Digits = "0123456789abcdef";
    std::string text = "\"";
    for (const std::uint8_t b : bytes) {
        text += Digits[b >> 4];
        text += Digits[b & 15];
    }
    return text + "\"";
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
           const std::vector<PayloadEntry>& payload, const PayloadReader& read)
        : Bytes(script.begin(), script.end()), Archive(archive), ReadItem(read) {
        for (const PayloadEntry& entry : payload) {
            Stored.emplace(std::pair{entry.Offset, entry.Offset + entry.CompressedSize}, entry);
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
            text = "install " + Quote(entry->second.Name);
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

    // ----- system configuration, display and built-in calls -----

    /// A text joined with the field separator as a list: [a, b].
    static std::string ListText(std::string_view text) {
        if (text.empty()) {
            return "[]";
        }
        std::string out = "[";
        for (std::size_t start = 0;;) {
            const std::size_t end = std::min(text.find(FieldSeparator, start), text.size());
            out += (start == 0 ? "" : ", ") + Quote(text.substr(start, end - start));
            if (end == text.size()) {
                return out + "]";
            }
            start = end + 1;
        }
    }

    static std::optional<std::uint32_t> Decimal(std::string_view text, std::uint32_t max) {
        std::uint32_t value = 0;
        if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == '0')) {
            return std::nullopt;
        }
        for (const char c : text) {
            if (c < '0' || c > '9' || value > (max - static_cast<std::uint32_t>(c - '0')) / 10) {
                return std::nullopt;
            }
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
        }
        return value;
    }

    std::optional<std::string> Registry(const ActionRecord& record) {
        const std::uint8_t flags = record.FixedByte(1);
        const std::uint8_t root = flags & RegistryRootField;
        const std::uint8_t type = record.FixedByte(2);
        if (root >= RegistryRoots.size()) {
            return std::nullopt;
        }
        const std::string head = std::string(RegistryRoots[root]) + " " + Once(record, 0);
        const std::string name = record.Once(2).empty() && (flags & RegistryDefaultValue) != 0
                                     ? "default"
                                     : Once(record, 2);
        if ((flags & RegistryDelete) != 0) {
            if (type != 0 || !record.Once(1).empty() ||
                ((flags & RegistryDefaultValue) == 0 && !record.Once(2).empty())) {
                return std::nullopt;
            }
            return "registry-delete " + head +
                   ((flags & RegistryDefaultValue) != 0 ? " " + name : "");
        }
        const std::string_view data = record.Once(1);
        if (type >= RegistryTypes.size() ||
            ((flags & RegistryDefaultValue) != 0 && !record.Once(2).empty()) ||
            (type == RegistryBinary && !IsHexText(data))) {
            return std::nullopt;
        }
        const std::string value = type == RegistryMultiString ? ListText(data)
                                  : type == RegistryDword && Decimal(data, 0xFFFFFFFFu)
                                      ? std::string(data)
                                      : Quote(data);
        return "registry " + head + " " + name + " " + std::string(RegistryTypes[type]) + " " +
               value;
    }

    /// A group or icon command in every language, or nullopt when one is not.
    std::optional<std::string> ProgmanItem(const ActionRecord& record) {
        const std::uint8_t flags = record.Flags();
        const std::vector<std::string> texts = PerLanguage(record, 0);
        std::vector<std::string> names;
        std::vector<std::string> lines;
        auto plain = [](std::string_view text) {
            return text.find_first_of(ProgmanSpecial) == std::string_view::npos;
        };
        for (const std::string& text : texts) {
            if ((flags | 1) == (ProgmanEngineCloses | 1) && text.starts_with(CreateGroupText) &&
                plain(text.substr(CreateGroupText.size()))) {
                names.push_back(text.substr(CreateGroupText.size()));
            } else if (flags == 0 && text.starts_with(AddItemText) && text.ends_with(")]")) {
                const std::string inner =
                    text.substr(AddItemText.size(), text.size() - AddItemText.size() - 2);
                const std::size_t comma = inner.find(',');
                if (comma == std::string::npos || !plain(inner.substr(0, comma)) ||
                    !plain(inner.substr(comma + 1))) {
                    return std::nullopt;
                }
                lines.push_back(inner.substr(0, comma));
                names.push_back(inner.substr(comma + 1));
            } else {
                return std::nullopt;
            }
        }
        if (lines.empty()) {
            return "group " + LanguageText(names) + ((flags & 1) != 0 ? " common" : "");
        }
        return "icon " + LanguageText(names) + " " + LanguageText(lines);
    }

    std::optional<std::string> Billboard(const ActionRecord& record) {
        const std::uint16_t flags = record.FixedWord(1);
        const std::uint16_t x = record.FixedWord(3);
        const std::uint16_t y = record.FixedWord(5);
        std::vector<std::uint8_t> images;
        for (std::size_t i = 7; i < 19; ++i) {
            images.push_back(record.FixedByte(i));
        }
        images.insert(images.end(), record.Trailing().begin(), record.Trailing().end());
        const unsigned removals = ((flags & 0x3800u) >> 8 | (flags & 4u)) >> 2;
        const std::string removal = (flags & BillboardRemoveAll) != 0 ? " all"
                                    : removals != 0 ? " " + std::to_string(removals)
                                                    : "";
        if (std::all_of(images.begin(), images.end(), [](std::uint8_t b) { return b == 0; })) {
            if (x != 0 || y != 0 || removal.empty() ||
                (flags & ~(BillboardRemoveAll | BillboardRemoveCount | BillboardCloseProgress)) !=
                    0 ||
                ((flags & BillboardRemoveAll) != 0 && removals != 0)) {
                return std::nullopt;
            }
            return "billboard-remove" + removal +
                   ((flags & BillboardCloseProgress) != 0 ? " close-progress" : "");
        }
        std::vector<std::string> files;
        for (std::size_t at = 0; at < images.size(); at += 12) {
            auto dword = [&](std::size_t i) {
                return static_cast<std::uint32_t>(images[at + i] | images[at + i + 1] << 8 |
                                                  images[at + i + 2] << 16 |
                                                  std::uint32_t{images[at + i + 3]} << 24);
            };
            const auto entry = Stored.find({dword(0), dword(4)});
            if (entry == Stored.end() || entry->second.Size != dword(8)) {
                return std::nullopt;
            }
            files.push_back(entry->second.Name);
        }
        std::string text = "billboard " + LanguageText(files);
        if ((x & PositionField) != 0 || (y & PositionField) != 0) {
            text += " at " + std::to_string(x & PositionField) + " " +
                    std::to_string(y & PositionField);
        }
        text += (x & FromFarSide) != 0 ? " right-aligned" : "";
        text += (y & FromFarSide) != 0 ? " bottom-aligned" : "";
        text += (x & InProgressSequence) != 0 ? " progress-sequence" : "";
        if (!removal.empty()) {
            text += (flags & BillboardRemoveAll) != 0 && removals == 0 ? " remove all"
                                                                       : " remove" + removal;
        }
        const unsigned effect = (flags & BillboardEffectField) >> 7;
        if (effect >= BillboardEffects.size() || (y & InProgressSequence) != 0 ||
            ((flags & BillboardRemoveAll) != 0 && removals != 0)) {
            return std::nullopt;
        }
        text += effect != 0 ? " effect " + std::string(BillboardEffects[effect]) : "";
        std::uint16_t rest =
            flags & static_cast<std::uint16_t>(
                        ~(BillboardRemoveAll | BillboardRemoveCount | BillboardEffectField));
        for (const WideFlagWord& word : BillboardFlags) {
            if ((rest & word.Bits) != 0) {
                text += " " + std::string(word.Word);
                rest = static_cast<std::uint16_t>(rest & ~word.Bits);
            }
        }
        return rest == 0 ? std::optional<std::string>(text) : std::nullopt;
    }

    std::optional<std::string> Sound(const ActionRecord& record) {
        const std::uint8_t flags = record.Flags();
        const std::uint16_t x = record.FixedWord(2);
        const std::uint16_t y = record.FixedWord(4);
        if ((flags & IsVideo) != 0) {
            if ((flags & ~(IsVideo | VideoWaits)) != 0 || x > PositionField || y > PositionField) {
                return std::nullopt;
            }
            return "video " + Once(record, 0) +
                   (x != 0 || y != 0 ? " at " + std::to_string(x) + " " + std::to_string(y) : "") +
                   ((flags & VideoWaits) != 0 ? " wait" : "");
        }
        if (x != 0 || y != 0 || (flags & ~SoundLoops) != 0) {
            return std::nullopt;
        }
        if (record.Once(0).empty()) {
            return flags == 0 ? std::optional<std::string>("stop-sound") : std::nullopt;
        }
        return "sound " + Once(record, 0) + ((flags & SoundLoops) != 0 ? " loop" : "");
    }

    /// A built-in call as its statement, when its argument has the statement's fields.
    std::optional<std::string> BuiltinCall(const Builtin& builtin, const ActionRecord& record) {
        std::vector<std::vector<std::string>> fields(builtin.FieldCount);
        for (const std::string& argument : PerLanguage(record, 0)) {
            std::vector<std::string> split;
            for (std::size_t start = 0; builtin.FieldCount != 0;) {
                const std::size_t end =
                    std::min(argument.find(FieldSeparator, start), argument.size());
                split.push_back(argument.substr(start, end - start));
                if (end == argument.size()) {
                    break;
                }
                start = end + 1;
            }
            if (split.size() != builtin.FieldCount || (split.empty() && !argument.empty())) {
                return std::nullopt;
            }
            for (std::size_t i = 0; i < split.size(); ++i) {
                fields[i].push_back(split[i]);
            }
        }
        auto same = [&](std::size_t field) -> std::optional<std::string> {
            const std::vector<std::string>& texts = fields[field];
            if (std::any_of(texts.begin(), texts.end(),
                            [&](const std::string& t) { return t != texts[0]; })) {
                return std::nullopt;
            }
            return texts[0];
        };
        std::uint32_t flags = 0;
        std::uint32_t root = 0;
        const bool hasRoot =
            std::any_of(builtin.Parts.begin(), builtin.Parts.end(), [](const BuiltinPart& part) {
                return part.Type == BuiltinPart::Kind::Root;
            });
        if (builtin.FlagsField >= 0) {
            const auto text = same(static_cast<std::size_t>(builtin.FlagsField));
            const auto value = text ? Decimal(*text, 255) : std::nullopt;
            if (!value || (*value & builtin.FixedMask) != builtin.FixedBits) {
                return std::nullopt;
            }
            flags = *value & ~std::uint32_t{builtin.FixedMask};
            if (hasRoot) {
                root = flags >> 1;
                flags &= 1;
            }
        }
        std::string text(builtin.Statement);
        for (const BuiltinPart& part : builtin.Parts) {
            if (part.Type == BuiltinPart::Kind::Variable) {
                const auto name = same(part.Field);
                if (!name || !IsVariableWord(*name, MaxVariableName)) {
                    return std::nullopt;
                }
                text += " " + *name;
            } else if (part.Type == BuiltinPart::Kind::Root) {
                if (root >= RegistryRoots.size()) {
                    return std::nullopt;
                }
                text += " " + std::string(RegistryRoots[root]);
            } else if (part.Type == BuiltinPart::Kind::Number) {
                const auto number = same(part.Field);
                if (!number || (!number->empty() && !Decimal(*number, 65535))) {
                    return std::nullopt;
                }
                text += number->empty() ? "" : " " + std::string(part.Intro) + " " + *number;
            } else if (part.Type == BuiltinPart::Kind::Text) {
                const std::vector<std::string>& texts = fields[part.Field];
                const bool empty = std::all_of(texts.begin(), texts.end(),
                                               [](const std::string& t) { return t.empty(); });
                if (!(empty && (part.Optional || !part.Intro.empty()))) {
                    text += (part.Intro.empty() ? "" : " " + std::string(part.Intro)) + " " +
                            LanguageText(texts);
                }
            }
        }
        for (std::uint8_t handled = 0; const FieldWord& word : builtin.Words) {
            if ((handled & word.Mask) == 0 && (flags & word.Mask) == word.Value) {
                handled |= word.Mask;
                text += word.Value != 0 ? " " + std::string(word.Word) : "";
                flags &= ~std::uint32_t{word.Mask};
            }
        }
        if (flags != 0) {
            return std::nullopt;
        }
        text += (record.Flags() & call::CloseProgress) != 0 ? " close-progress" : "";
        text += (record.Flags() & 3) == call::AbortWhenTrue ? " abort-if-true" : "";
        return text;
    }

    /// The statement of a record of the system configuration or display actions, or
    /// nullopt when none gives its bytes back.
    std::optional<std::string> Configuration(const ActionRecord& record) {
        const std::uint8_t flags = record.Flags();
        switch (record.Opcode()) {
        case 5: {
            if (record.Once(2).empty()) {
                return "ini " + Once(record, 0) + " " + Once(record, 1) + " remove-section";
            }
            std::string text = "ini " + Once(record, 0) + " " + Once(record, 1);
            const std::string_view contents = record.Once(2);
            for (std::size_t start = 0;;) {
                const std::size_t end = std::min(contents.find('\r', start), contents.size());
                text += " " + Quote(contents.substr(start, end - start));
                if (end == contents.size()) {
                    return text;
                }
                start = end + 1;
            }
        }
        case 10:
            return Registry(record);
        case 15:
            return "progman open";
        case 16:
            return "progman close";
        case 4:
            if (auto item = ProgmanItem(record)) {
                return item;
            }
            if ((flags & ~(ProgmanEngineCloses | 1)) != 0 || flags == 1) {
                return std::nullopt;
            }
            return "progman " + Per(record, 0) +
                   (flags != 0 ? " closing " + std::to_string(flags & 1) : "");
        case 7: {
            if ((flags & ~0x07) != 0) {
                return std::nullopt;
            }
            std::uint8_t bits = flags;
            return "run " + Once(record, 0) +
                   (record.Once(1).empty() ? "" : " " + Once(record, 1)) +
                   (record.Once(2).empty() ? "" : " directory " + Once(record, 2)) +
                   FlagWords(RunFlags, bits);
        }
        case 21: {
            if (!IsVariableWord(record.Once(0), MaxVariableName)) {
                return std::nullopt;
            }
            const bool named = flags < SystemItems.size() && !SystemItems[flags].empty();
            return "sysinfo " + std::string(record.Once(0)) + " " +
                   (named ? std::string(SystemItems[flags]) : std::to_string(flags)) +
                   (record.Once(1).empty() ? "" : " " + Once(record, 1));
        }
        case 25:
        case 26: {
            const bool driver = record.Opcode() == 25;
            std::uint8_t bits = flags;
            const std::string words =
                driver ? FlagWords(OdbcDriverFlags, bits) : FlagWords(OdbcSourceFlags, bits);
            if (bits != 0) {
                return std::nullopt;
            }
            return (driver ? "odbc-driver " + Once(record, 0) + " " + Once(record, 1)
                           : "odbc-source " + Once(record, 0)) +
                   " " + ListText(record.Once(driver ? 2 : 1)) + words;
        }
        case 23:
            return Sound(record);
        case op::CustomDialogSet: {
            const PayloadEntry* entry = DialogSetItem(record);
            if (entry == nullptr) {
                return std::nullopt;
            }
            return "dialog-set " + Quote(entry->Name) + SetCondition(record);
        }
        case op::DisplayGraphic:
            return Billboard(record);
        case op::CallDll: {
            const std::uint8_t form = flags & 3;
            if ((flags & ~(call::OwnFunction | call::CloseProgress | 3)) != 0 ||
                (flags & call::OwnFunction) == 0 || form >= call::If || !record.Once(0).empty()) {
                return std::nullopt;
            }
            if (record.Once(1) == WizardFunction) {
                const std::vector<std::string> argument = PerLanguage(record, 0);
                if (std::any_of(argument.begin(), argument.end(),
                                [&](const std::string& a) { return a != argument[0]; })) {
                    return std::nullopt;
                }
                return ListWizard(argument[0], flags,
                                  [&](std::uint32_t start, std::uint32_t end, std::uint32_t size) {
                                      const auto item = Stored.find({start, end});
                                      return item != Stored.end() && item->second.Size == size
                                                 ? std::optional<std::string>(item->second.Name)
                                                 : std::nullopt;
                                  });
            }
            for (const Builtin& builtin : Builtins) {
                if (builtin.Function == record.Once(1)) {
                    if (auto text = BuiltinCall(builtin, record)) {
                        return text;
                    }
                }
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
        }
    }

    /// The payload item of a dialog set record, when its condition can be written.
    const PayloadEntry* DialogSetItem(const ActionRecord& record) const {
        const auto entry = Stored.find({record.FixedDword(1), record.FixedDword(5)});
        if (entry == Stored.end() || entry->second.Size != record.FixedDword(9) ||
            (record.Once(0).empty() && !record.Once(1).empty()) ||
            !(record.Once(0).empty() || IsVariableWord(record.Once(0), MaxVariableName))) {
            return nullptr;
        }
        return &entry->second;
    }
    std::string SetCondition(const ActionRecord& record) const {
        return record.Once(0).empty()
                   ? ""
                   : " when " + std::string(record.Once(0)) + " " + Once(record, 1);
    }

    /// A dialog set whose block the page statements can say, as those statements.
    bool DialogPages(const ActionRecord& record) {
        const PayloadEntry* entry = DialogSetItem(record);
        std::optional<std::vector<std::uint8_t>> block;
        if (entry == nullptr || !ReadItem || !(block = ReadItem(*entry))) {
            return false;
        }
        const std::optional<std::vector<std::string>> lines = ListDialogPages(*block, Languages);
        if (!lines) {
            return false;
        }
        Line("dialog-pages" + SetCondition(record));
        ++Depth;
        for (const std::string& line : *lines) {
            Line(line);
        }
        --Depth;
        Line("end-pages");
        return true;
    }

    void Print(const ActionRecord& record) {
        const std::uint8_t flags = record.Flags();
        if (record.Opcode() == op::CustomDialogSet && DialogPages(record)) {
            return;
        }
        if (std::optional<std::string> text = Configuration(record)) {
            Line(*text);
            return;
        }
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
    const PayloadReader& ReadItem;
    /// Payload names by where their data starts and ends.
    std::map<std::pair<std::uint32_t, std::uint32_t>, PayloadEntry> Stored;
    static constexpr std::size_t MaxIndent = 32;
    std::uint8_t Languages = 1;
    std::vector<Script> Views;
    std::ostringstream Out;
    std::size_t Depth = 0;
};

} // namespace

std::string ListScript(std::span<const std::uint8_t> script, const ArchiveHeader& archive,
                       const std::vector<PayloadEntry>& payload, const PayloadReader& read) {
    return Lister(script, archive, payload, read).Run();
}

std::string ListArchive(SetupArchive& archive) {
    return ListScript(
        archive.Script(), archive.Header(), archive.Payload(),
        [&](const PayloadEntry& entry) { return archive.ReadPayloadFile(entry, MaxListedItem); });
}

} // namespace vorn::authoring
