// Compiles the installation script language into the engine's header and records.
#include "script_compiler.h"

#include "dialog_page_compiler.h"
#include "installer/engine/dialog_set_builder.h"
#include "installer/engine/install_context.h"
#include "installer/engine/library_files.h"
#include "installer/engine/script.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/script_header.h"
#include "platform/version_resource.h"
#include "script_lexer.h"
#include "script_words.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <tuple>

namespace vorn::authoring {

CompileError::CompileError(std::string file, int line, int column, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
                         message),
      File(std::move(file)), Line(line), Column(column) {}

std::optional<BuildFile> ReadBuildFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const auto size = std::filesystem::file_size(path, error);
    const auto written = std::filesystem::last_write_time(path, error);
    if (error || size > 0x7FFFFFFFu) {
        return std::nullopt;
    }
    BuildFile file;
    file.Content.resize(static_cast<std::size_t>(size));
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> input(std::fopen(path.string().c_str(), "rb"),
                                                          &std::fclose);
    if (!input || std::fread(file.Content.data(), 1, file.Content.size(), input.get()) !=
                      file.Content.size()) {
        return std::nullopt;
    }
    // The stamp in UTC, so a build gives the same bytes on every machine.
    using namespace std::chrono;
    const auto seconds = floor<std::chrono::seconds>(file_clock::to_sys(written));
    const auto day = floor<days>(seconds);
    const year_month_day date(day);
    const hh_mm_ss time(seconds - day);
    if (int(date.year()) < 1980 || int(date.year()) > 2107) {
        file.DosDate = (1 << 5) | 1; // 1 January 1980: the earliest DOS date.
        return file;
    }
    file.DosDate = static_cast<std::uint16_t>(((int(date.year()) - 1980) << 9) |
                                              (unsigned(date.month()) << 5) | unsigned(date.day()));
    file.DosTime =
        static_cast<std::uint16_t>((time.hours().count() << 11) | (time.minutes().count() << 5) |
                                   (time.seconds().count() / 2));
    return file;
}

std::array<std::uint32_t, 5> ReadVersionFields(std::span<const std::uint8_t> content) {
    const platform::VersionResource resource = platform::ReadVersionResource(
        {reinterpret_cast<const char*>(content.data()), content.size()});
    const std::span<const char> block(resource.Block);
    // The fixed file information: signature, structure version, file version (two
    // words), product version (two), flags mask, flags, system, type, subtype, date.
    constexpr std::uint32_t FixedInfoSize = 52;
    const std::optional<platform::VersionValue> fixed =
        resource.Error == platform::VersionResourceError::None
            ? platform::FindVersionValue(block, "\\")
            : std::nullopt;
    if (!fixed || fixed->IsText || fixed->Length < FixedInfoSize) {
        return {};
    }
    auto dword = [&](std::size_t index) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = value << 8 | static_cast<std::uint8_t>(block[fixed->Offset + 4 * index + i]);
        }
        return value;
    };
    if (dword(0) != 0xFEEF04BDu) {
        return {};
    }
    return {dword(2), dword(3), dword(8), dword(9), dword(10)};
}

namespace {

using Texts = PerLanguageText;

void PutDword(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void PutWord(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

struct OpenBlock {
    bool Loop = false;
    bool HasElse = false;
    std::string File;
    int Line = 0;
    std::string Statement;
};

class Compiler final : public StatementReader {
public:
    Compiler(const FileReader& reader, ItemStorage storage) : Reader(reader), Packer(storage) {}

    CompiledSetup Run(const std::string& text, const std::filesystem::path& path) {
        CompileText(text, path, 0);
        if (Pages) {
            throw CompileError(PagesFile, PagesLine, 1,
                               "the dialog-pages set opened here never ends: expected end-pages");
        }
        if (!Blocks.empty()) {
            const OpenBlock& open = Blocks.back();
            throw CompileError(open.File, open.Line, 1,
                               "the " + open.Statement +
                                   " block opened here never ends: "
                                   "expected end");
        }
        Freeze();
        CompiledSetup setup;
        setup.Payload = std::move(Packer.Payload());
        WriteLibraries(setup);
        try {
            std::vector<std::uint8_t> records = Builder->Build();
            // With library files every other file of the archive must say it comes from
            // there, or the engine would look for it in a library file.
            for (const std::uint32_t record :
                 setup.Libraries.empty() ? std::vector<std::uint32_t>{} : ArchiveInstalls) {
                records[record + 2] |= MainArchiveFlag;
            }
            setup.Script = WriteScriptHeader(Header);
            const auto headerSize = static_cast<std::uint32_t>(setup.Script.size());
            setup.Extras.FinishOffset = Finish ? headerSize + *Finish : 0;
            setup.Extras.CancelOffset = Cancel ? headerSize + *Cancel : 0;
            setup.Script.insert(setup.Script.end(), records.begin(), records.end());
        } catch (const ScriptBuildError& error) {
            throw CompileError(path.string(), 1, 1, error.what());
        }
        if (setup.Script.size() > MaxScriptLength) {
            throw CompileError(path.string(), 1, 1, "the compiled script is too long");
        }
        return setup;
    }

private:
    // Install-file flags B: the file comes from the main archive (with byte progress, or
    // without).
    static constexpr std::uint8_t MainArchiveFlag = 0x08;
    static constexpr std::uint8_t MainArchiveNoByteProgressFlag = 0x40;

    /// The library files of the files kept in them, the context option that tells the
    /// engine about them, the identifier they start with and the transfer library that
    /// fetches them.
    void WriteLibraries(CompiledSetup& setup) {
        if (TransferLibrary) {
            setup.Extras.Pieces[static_cast<std::size_t>(EmbeddedPiece::TransferLibrary)] =
                *TransferLibrary;
        }
        if (Libraries.empty()) {
            return;
        }
        const std::string& base = Header.LibraryBaseName;
        const std::string leaf = base.substr(std::min(base.size(), base.find_last_of("\\/") + 1));
        if (leaf.empty()) {
            throw CompileError(LibraryUse.first, LibraryUse.second, 1,
                               "files kept in library files need a library-base name that "
                               "ends in a file name");
        }
        if (!TransferLibrary) {
            throw CompileError(LibraryUse.first, LibraryUse.second, 1,
                               "library files are fetched through the transfer library: "
                               "expected a transfer-library statement");
        }
        if (!IdentifierGiven) {
            // Taken from the libraries' data, so a library of another build is refused.
            std::uint32_t crc = 0;
            for (const std::vector<std::uint8_t>& data : Libraries) {
                crc = Crc32(crc, data);
            }
            Header.ArchiveIdentifier = crc;
        }
        setup.Extras.OptionFlags |= context_option::LibraryFiles;
        for (std::size_t number = 0; number < Libraries.size(); ++number) {
            LibraryFile file{LibraryFileName(leaf, static_cast<std::uint32_t>(number)), {}};
            PutDword(file.Content, Header.ArchiveIdentifier);
            file.Content.insert(file.Content.end(), Libraries[number].begin(),
                                Libraries[number].end());
            setup.Libraries.push_back(std::move(file));
        }
    }

    // ----- reading lines and tokens -----

    [[noreturn]] void Fail(int column, const std::string& message) const override {
        throw CompileError(File, Line, column, message);
    }
    [[noreturn]] void Expected(const std::string& what) const override {
        if (At >= Tokens.size()) {
            Fail(EndColumn, "expected " + what + ", found the end of the line");
        }
        const Token& token = Tokens[At];
        Fail(token.Column,
             "expected " + what + ", found " +
                 (token.Type == Token::Kind::String ? Quote(token.Text) : "'" + token.Text + "'"));
    }
    bool AtEnd() const override { return At >= Tokens.size(); }
    const Token* Next() const override { return AtEnd() ? nullptr : &Tokens[At]; }
    void Skip() override { ++At; }
    std::size_t LanguageCount() const override { return Header.Texts.size(); }
    bool PeekWord(std::string_view word) const {
        return !AtEnd() && Tokens[At].Type == Token::Kind::Word && Tokens[At].Text == word;
    }
    bool PeekSymbol(std::string_view symbol) const {
        return !AtEnd() && Tokens[At].Type == Token::Kind::Symbol && Tokens[At].Text == symbol;
    }
    bool TakeWord(std::string_view word) override {
        if (PeekWord(word)) {
            ++At;
            return true;
        }
        return false;
    }
    void ExpectWord(std::string_view word) {
        if (!TakeWord(word)) {
            Expected("'" + std::string(word) + "'");
        }
    }
    void ExpectEnd() override {
        if (!AtEnd()) {
            Expected("the end of the line");
        }
    }
    std::string String(const std::string& what = "a string") override {
        if (AtEnd() || Tokens[At].Type != Token::Kind::String) {
            Expected(what);
        }
        CheckReferences(Tokens[At]);
        TextColumn = Tokens[At].Column;
        return Tokens[At++].Text;
    }
    std::uint32_t Number(const std::string& what, std::uint32_t max) {
        if (AtEnd() || Tokens[At].Type != Token::Kind::Word) {
            Expected(what);
        }
        const std::string& text = Tokens[At].Text;
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const std::size_t start = hex ? 2 : 0;
        std::uint64_t value = 0;
        for (std::size_t i = start; i < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            const int digit = std::isdigit(c)           ? c - '0'
                              : hex && std::isxdigit(c) ? std::tolower(c) - 'a' + 10
                                                        : -1;
            if (digit < 0 || value > max) {
                Expected(what);
            }
            value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        }
        if (text.size() == start || value > max) {
            Expected(what + " up to " + std::to_string(max));
        }
        ++At;
        return static_cast<std::uint32_t>(value);
    }
    std::string Variable() override {
        if (AtEnd() || Tokens[At].Type != Token::Kind::Word) {
            Expected("a variable name");
        }
        std::string name = Tokens[At].Text;
        if (name.size() >= 2 && name.front() == '%' && name.back() == '%') {
            name = name.substr(1, name.size() - 2);
        }
        if (name.empty() || name.find('%') != std::string::npos) {
            Expected("a variable name");
        }
        if (name.size() > MaxVariableName) {
            Fail(Tokens[At].Column, "the variable name " + name + " is longer than " +
                                        std::to_string(MaxVariableName) + " characters");
        }
        ++At;
        return name;
    }
    /// A %NAME% reference the engine could never hold is a mistake in the script.
    void CheckReferences(const Token& token) const {
        const std::string& text = token.Text;
        for (std::size_t at = text.find('%'); at != std::string::npos;) {
            const std::size_t close = text.find('%', at + 1);
            if (close == std::string::npos) {
                break;
            }
            const std::string name = text.substr(at + 1, close - at - 1);
            const bool identifier =
                !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
                    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
                });
            if (identifier && name.size() > MaxVariableName) {
                Fail(token.Column, "the variable name " + name + " is longer than " +
                                       std::to_string(MaxVariableName) + " characters");
            }
            at = identifier ? text.find('%', close + 1) : close;
        }
    }
    /// A text for every language: one string for all, or [a, b, ...] one per language.
    Texts LanguageText() override {
        Freeze();
        if (!PeekSymbol("[")) {
            return {String("a string or [one string per language]")};
        }
        const int start = Tokens[At].Column;
        ++At;
        Texts texts;
        for (;;) {
            texts.push_back(String());
            if (PeekSymbol("]")) {
                ++At;
                break;
            }
            if (!PeekSymbol(",")) {
                Expected("',' or ']'");
            }
            ++At;
        }
        if (texts.size() != Header.Texts.size()) {
            Fail(Tokens[At - 1].Column, "expected " + std::to_string(Header.Texts.size()) +
                                            " texts, one per language, found " +
                                            std::to_string(texts.size()));
        }
        TextColumn = start;
        return texts;
    }
    /// The engine expands a text into a buffer of `size` bytes and cuts what does not
    /// fit: a literal that is already longer would lose its end unseen.
    void Limit(const Texts& texts, std::size_t size, const std::string& what) const {
        for (const std::string& text : texts) {
            if (text.size() >= size) {
                Fail(TextColumn, what + " is longer than the engine's " + std::to_string(size - 1) +
                                     " characters");
            }
        }
    }
    std::uint8_t Words(std::span<const FlagWord> table, std::uint8_t bits = 0) {
        for (bool found = true; found && !AtEnd();) {
            found = false;
            for (const FlagWord& word : table) {
                if (TakeWord(word.Word)) {
                    bits |= word.Bits;
                    found = true;
                }
            }
        }
        return bits;
    }

    // ----- languages and the header -----

    /// From the first per-language text or record on, the languages are fixed.
    void Freeze() {
        if (Builder) {
            return;
        }
        if (Header.Languages.empty()) {
            Header.Languages.push_back({"English", ""});
        }
        Header.Texts.assign(Header.Languages.size(), LanguageTexts{});
        for (LanguageTexts& texts : Header.Texts) {
            texts.Messages.assign(ScriptHeader::MessageCount, "");
        }
        Builder =
            std::make_unique<ScriptBuilder>(static_cast<std::uint8_t>(Header.Languages.size()));
    }
    void SetOnce(std::string& field, const std::string& keyword) {
        if (Seen.count(keyword) != 0) {
            Fail(Tokens[0].Column, keyword + " is given twice");
        }
        Seen.insert(keyword);
        field = String();
    }
    bool HeaderStatement(const std::string& keyword) {
        static const std::map<std::string, std::string ScriptHeader::*> Fields = {
            {"log-path", &ScriptHeader::LogPath},
            {"status-file", &ScriptHeader::StatusFileName},
            {"status-template", &ScriptHeader::StatusFileTemplate},
            {"manufacturer", &ScriptHeader::Manufacturer},
            {"product", &ScriptHeader::Product},
            {"version", &ScriptHeader::VersionNumber},
            {"serial", &ScriptHeader::SerialNumber},
            {"uninstall-status", &ScriptHeader::UninstallStatusName},
            {"library-base", &ScriptHeader::LibraryBaseName},
        };
        if (auto field = Fields.find(keyword); field != Fields.end()) {
            SetOnce(Header.*(field->second), keyword);
        } else if (keyword == "language") {
            if (Builder) {
                Fail(Tokens[0].Column, "languages are declared before any text or action");
            }
            if (Header.Languages.size() == MaxLanguages) {
                Fail(Tokens[0].Column,
                     "a script has at most " + std::to_string(MaxLanguages) + " languages");
            }
            ScriptLanguage language{String("the language's name"), ""};
            if (!AtEnd()) {
                language.SystemName = String("the system's name for the language");
            }
            Header.Languages.push_back(std::move(language));
        } else if (keyword == "language-dialog") {
            Header.LanguageDialogTitle = String("the language dialog's title");
            Header.LanguageDialogPrompt = String("the language dialog's prompt");
        } else if (keyword == "font") {
            Header.FontFace = String("the font's face name");
            Header.FontPointSize = static_cast<std::uint8_t>(Number("a point size", 255));
            Header.FontCharacterSet = static_cast<std::uint8_t>(Number("a character set", 255));
        } else if (keyword == "header-flags") {
            Header.Flags = static_cast<std::uint8_t>(Number("the header's flag byte", 255));
        } else if (keyword == "archive-id") {
            Header.ArchiveIdentifier = Number("the archive identifier", 0xFFFFFFFFu);
            IdentifierGiven = true;
        } else if (keyword == "transfer-library") {
            if (TransferLibrary) {
                Fail(Tokens[0].Column, "transfer-library is given twice");
            }
            const std::filesystem::path path = Resolve(String("the transfer library's path"));
            TransferLibrary = ReadNamed(path, TextColumn, "the transfer library ").Content;
        } else if (keyword == "title") {
            Texts texts = LanguageText();
            for (std::size_t i = 0; i < Header.Texts.size(); ++i) {
                Header.Texts[i].WindowTitle = texts.size() == 1 ? texts[0] : texts[i];
            }
        } else if (keyword == "text") {
            const std::size_t index = Number("a message number", ScriptHeader::MessageCount - 1);
            Texts texts = LanguageText();
            for (std::size_t i = 0; i < Header.Texts.size(); ++i) {
                Header.Texts[i].Messages[index] = texts.size() == 1 ? texts[0] : texts[i];
            }
        } else {
            return false;
        }
        return true;
    }

    // ----- actions -----

    void Push(bool loop, const std::string& statement) {
        if (loop && std::count_if(Blocks.begin(), Blocks.end(), [](const OpenBlock& b) {
                        return b.Loop;
                    }) == static_cast<std::ptrdiff_t>(MaxLoopDepth)) {
            Fail(Tokens[0].Column, "loops nest at most " + std::to_string(MaxLoopDepth) + " deep");
        }
        Blocks.push_back({loop, false, File, Line, statement});
    }

    std::uint8_t Comparison() {
        for (std::size_t code = 0; code < ComparisonWords.size(); ++code) {
            if (!AtEnd() && Tokens[At].Text == ComparisonWords[code] &&
                Tokens[At].Type != Token::Kind::String) {
                ++At;
                return static_cast<std::uint8_t>(code);
            }
        }
        Expected("a comparison (==, !=, contains, lacks, same-as, differs-from, >, >=, <, <=, "
                 "has-any-of, has-other-than or length-is)");
    }

    /// call [engine] LIBRARY FUNCTION ARGUMENT [close-progress] [abort-if-true]
    void Call(std::uint8_t form, std::uint8_t extra) {
        const bool own = TakeWord("engine");
        const std::string library = own ? std::string() : String("the library's path");
        const std::string function = String("the function's name");
        const Texts argument = LanguageText();
        Limit(argument, 30720, "the argument");
        std::uint8_t flags = form | extra | (own ? call::OwnFunction : 0);
        if (TakeWord("close-progress")) {
            flags |= call::CloseProgress;
        }
        if (form == call::CallOnly && TakeWord("abort-if-true")) {
            flags |= call::AbortWhenTrue;
        }
        ExpectEnd();
        Builder->CallDll(flags, library, function, argument);
    }

    /// if/while heads: a comparison of a variable, or a library call.
    void Condition(const std::string& statement, bool loop, bool testAtEnd) {
        Push(loop, statement);
        if (TakeWord("call")) {
            Call(loop ? call::While : call::If, testAtEnd ? call::TestAtEnd : 0);
            return;
        }
        const std::string variable = Variable();
        const std::uint8_t comparison = Comparison();
        const std::string value = String("the value to compare with");
        Limit({value}, 30720, "the value");
        ExpectEnd();
        if (loop) {
            Builder->While(variable, comparison, value, testAtEnd ? cond::TestAtEnd : 0);
        } else {
            Builder->If(variable, comparison, value);
        }
    }

    void Install(const std::string& keyword) {
        const std::string source =
            String(keyword == "install-wildcard" ? "the source pattern" : "the source path");
        const int sourceColumn = Tokens[At - 1].Column;
        ExpectWord("to");
        const std::string destination = String("the destination path");
        Limit({destination}, 256, "the destination path");
        Texts description{""};
        if (TakeWord("description")) {
            description = LanguageText();
        }
        std::uint8_t flagsA = 0;
        std::uint8_t flagsB = 0;
        bool dateRule = false;
        int libraryColumn = 0;
        for (bool more = true; more && !AtEnd();) {
            const std::uint8_t before[2] = {flagsA, flagsB};
            flagsA = Words(InstallFlagsA, flagsA);
            flagsB = Words(InstallFlagsB, flagsB);
            more = before[0] != flagsA || before[1] != flagsB;
            if (PeekWord("library-file")) {
                libraryColumn = Tokens[At++].Column;
                more = true;
            }
            for (std::size_t rule = 0; rule < DateRuleWords.size(); ++rule) {
                if (PeekWord(DateRuleWords[rule])) {
                    if (dateRule) {
                        Fail(Tokens[At].Column, "a file has one date rule");
                    }
                    ++At;
                    dateRule = more = true;
                    flagsA |= static_cast<std::uint8_t>(rule << 3);
                }
            }
        }
        ExpectEnd();
        if (libraryColumn != 0 && keyword != "install") {
            Fail(libraryColumn, "only a file of the build machine is kept in a library file");
        }
        if (libraryColumn != 0 &&
            (flagsB & (MainArchiveFlag | MainArchiveNoByteProgressFlag)) != 0) {
            Fail(libraryColumn,
                 "a file kept in a library file does not come from the main archive");
        }
        std::vector<std::uint8_t> fixed{flagsA, flagsB};
        std::vector<std::string> once{destination, ""};
        std::uint8_t opcode = op::InstallFiles;
        if (keyword == "install") {
            const std::filesystem::path path = Resolve(source);
            const BuildFile file = ReadNamed(path, sourceColumn, "the file ");
            std::uint32_t start = 0;
            std::uint32_t end = 0;
            if (libraryColumn != 0) {
                // The record's start is the library's number; its data starts the library.
                start = PackLibrary(path, file.Content);
                end = start + static_cast<std::uint32_t>(Libraries[start].size());
            } else {
                const PayloadEntry& entry = Pack(path, file.Content);
                start = entry.Offset;
                end = entry.Offset + entry.CompressedSize;
            }
            PutDword(fixed, start);
            PutDword(fixed, end);
            PutWord(fixed, file.DosDate);
            PutWord(fixed, file.DosTime);
            PutDword(fixed, static_cast<std::uint32_t>(file.Content.size()));
            for (const std::uint32_t field : ReadVersionFields(file.Content)) {
                PutDword(fixed, field);
            }
            PutDword(fixed, Crc32(0, file.Content));
        } else {
            fixed.resize(42, 0);
            if (keyword == "install-from") {
                fixed[0] |= OutsideSource;
                once[1] = source;
            } else {
                opcode = op::InstallFiles2;
                fixed[1] |= WildcardSource;
                once.push_back(source);
            }
        }
        const std::uint32_t record = Builder->Record(opcode, fixed, once, Spread({description}));
        if (keyword == "install" && libraryColumn == 0) {
            ArchiveInstalls.push_back(record);
        }
    }

    /// The number of the library file that keeps `content`, deflated; a file named twice
    /// is kept once.
    std::uint32_t PackLibrary(const std::filesystem::path& path,
                              const std::vector<std::uint8_t>& content) {
        const std::string key = path.lexically_normal().string();
        if (auto known = InLibraries.find(key); known != InLibraries.end()) {
            return known->second;
        }
        if (Libraries.size() > LibraryNumberMask) {
            Fail(1, "a setup keeps at most " + std::to_string(LibraryNumberMask + 1) +
                        " library files");
        }
        if (Libraries.empty()) {
            LibraryUse = {File, Line};
        }
        const auto number = static_cast<std::uint32_t>(Libraries.size());
        Libraries.push_back(DeflateRaw(content));
        InLibraries[key] = number;
        return number;
    }

    std::vector<std::vector<std::string>> Spread(const std::vector<Texts>& texts) const {
        std::vector<std::vector<std::string>> groups(Header.Texts.size());
        for (const Texts& text : texts) {
            for (std::size_t language = 0; language < groups.size(); ++language) {
                groups[language].push_back(text.size() == 1 ? text[0] : text[language]);
            }
        }
        return groups;
    }

    /// A file of the build machine the script names at `column` as `what`.
    BuildFile ReadNamed(const std::filesystem::path& path, int column, const std::string& what) {
        std::optional<BuildFile> file = Reader(path);
        if (!file) {
            Fail(column,
                 what + path.string() + " does not exist on the build machine or cannot be read");
        }
        return std::move(*file);
    }

    std::filesystem::path Resolve(const std::string& name) const {
        std::filesystem::path path(name);
        return path.is_absolute() ? path : Directory / path;
    }

    const PayloadEntry& Pack(const std::filesystem::path& path,
                             const std::vector<std::uint8_t>& content) {
        const std::string key = path.lexically_normal().string();
        if (auto known = Packed.find(key); known != Packed.end()) {
            return Packer.Payload().Entries[known->second];
        }
        if (Packer.Payload().Entries.size() == MaxPayloadCount) {
            Fail(1, "a setup holds at most " + std::to_string(MaxPayloadCount) + " files");
        }
        if (Packer.Payload().Data.size() > 0x3FFFFFFFu) {
            Fail(1, "the payload would exceed 1 GB");
        }
        if (const std::string error = Packer.Add(path.filename().string(), content);
            !error.empty()) {
            Fail(1, error);
        }
        Packed[key] = Packer.Payload().Entries.size() - 1;
        return Packer.Payload().Entries.back();
    }

    /// record OPCODE "FIXED HEX" STRINGS... [TRAILING HEX]: any record the readable
    /// statements do not cover, as the lister prints it.
    void RawRecord() {
        const auto opcode = static_cast<std::uint8_t>(Number("an opcode", 62));
        const std::optional<RecordShape> shape = ShapeOf(opcode);
        static const std::set<std::uint8_t> Blocky = {op::DisplayMessage, op::EndBlock, op::CallDll,
                                                      op::IfWhile, op::Else};
        if (!shape || Blocky.count(opcode) != 0) {
            Fail(Tokens[1].Column, "expected an opcode of a record without a block statement");
        }
        std::vector<std::uint8_t> fixed = Hex("the fixed bytes in hexadecimal");
        std::vector<std::string> once;
        for (std::size_t i = 0; i < shape->OnceStrings; ++i) {
            once.push_back(String());
        }
        std::vector<Texts> perLanguage;
        for (std::size_t i = 0; i < shape->StringsPerLanguage; ++i) {
            perLanguage.push_back(LanguageText());
        }
        std::vector<std::uint8_t> trailing;
        if (opcode == op::DisplayGraphic && Header.Texts.size() > 1) {
            trailing = Hex("the trailing bytes in hexadecimal");
        }
        ExpectEnd();
        try {
            Builder->Record(opcode, fixed, once, Spread(perLanguage), trailing);
        } catch (const ScriptBuildError& error) {
            Fail(Tokens[0].Column, error.what());
        }
    }

    std::vector<std::uint8_t> Hex(const std::string& what) {
        const int column = AtEnd() ? EndColumn : Tokens[At].Column;
        const std::string text = String(what);
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = 0; i < text.size(); i += 2) {
            const auto digit = [&](char c) {
                return std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                       : std::isxdigit(static_cast<unsigned char>(c))
                           ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                           : -1;
            };
            if (i + 1 >= text.size() || digit(text[i]) < 0 || digit(text[i + 1]) < 0) {
                Fail(column, "expected " + what);
            }
            bytes.push_back(static_cast<std::uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
        }
        return bytes;
    }

    // ----- system configuration, display and built-in calls -----

    /// One of `words` (empty entries are not words); its index.
    std::uint8_t WordOf(std::span<const std::string_view> words, const std::string& what) {
        for (std::size_t i = 0; i < words.size(); ++i) {
            if (!words[i].empty() && TakeWord(words[i])) {
                return static_cast<std::uint8_t>(i);
            }
        }
        Expected(what);
    }

    /// A string, or [a, b, ...] joined with the field separator ([] is empty).
    std::string List(const std::string& what) {
        if (!PeekSymbol("[")) {
            return String(what + " or [a list of strings]");
        }
        ++At;
        std::string out;
        for (bool first = true; !PeekSymbol("]"); first = false) {
            if (!first) {
                if (!PeekSymbol(",")) {
                    Expected("',' or ']'");
                }
                ++At;
                out += FieldSeparator;
            }
            out += String();
        }
        ++At;
        return out;
    }

    /// A variable the engine creates: counted against its table.
    std::string MadeVariable() override {
        const int column = AtEnd() ? EndColumn : Tokens[At].Column;
        std::string variable = Variable();
        Made.insert(Upper(variable));
        if (Made.size() > MaxScriptVariables) {
            Fail(column,
                 "a script makes at most " + std::to_string(MaxScriptVariables) + " variables");
        }
        return variable;
    }

    /// ini FILE SECTION LINE... | ini FILE SECTION remove-section
    void Ini() {
        const std::string file = String("the INI file's name");
        const std::string section = String("the section's name");
        std::string contents;
        if (!TakeWord("remove-section")) {
            for (bool first = true; first || !AtEnd(); first = false) {
                contents += (first ? "" : "\r") + String("a line key=value or remove-section");
            }
        }
        Limit({contents}, 30720, "the section's lines");
        ExpectEnd();
        Builder->Record(5, {}, {file, section, contents});
    }

    /// registry ROOT KEY NAME|default TYPE DATA, registry-delete ROOT KEY [NAME|default]
    void Registry(bool remove) {
        std::uint8_t flags =
            WordOf(RegistryRoots, "a registry root (HKCR, HKCU, HKLM, HKU or HKCC)");
        const std::string key = String("the registry key");
        Limit({key}, 512, "the key");
        std::string name;
        auto valueName = [&] {
            if (TakeWord("default")) {
                flags |= RegistryDefaultValue;
            } else {
                name = String("the value's name or default");
                Limit({name}, 256, "the value's name");
            }
        };
        if (remove) {
            flags |= RegistryDelete;
            if (!AtEnd()) {
                valueName();
                flags |= RegistryDefaultValue;
            }
            ExpectEnd();
            Builder->Record(10, {flags, 0}, {key, "", name});
            return;
        }
        valueName();
        const std::uint8_t type = WordOf(
            RegistryTypes, "a value type (string, expand-string, multi-string, dword or binary)");
        std::string data;
        const int column = AtEnd() ? EndColumn : Tokens[At].Column;
        if (type == RegistryMultiString) {
            data = List("the value's strings");
        } else if (type == RegistryDword && !AtEnd() && Tokens[At].Type == Token::Kind::Word) {
            data = std::to_string(Number("a number", 0xFFFFFFFFu));
        } else {
            data = String(type == RegistryDword ? "a number or a string" : "the value's data");
            if (type == RegistryBinary && !IsHexText(data)) {
                Fail(column, "expected hexadecimal digits (blanks and %NAME% between them)");
            }
        }
        Limit({data}, 30720, "the data");
        ExpectEnd();
        Builder->Record(10, {flags, type}, {key, data, name});
    }

    /// A group or icon name: nothing that would end its Program Manager argument.
    Texts ProgmanName(const std::string& what) {
        Texts texts = LanguageText();
        for (const std::string& text : texts) {
            if (text.find_first_of(ProgmanSpecial) != std::string::npos) {
                Fail(TextColumn, "expected " + what + " without , ( ) [ ] or \"");
            }
        }
        return texts;
    }

    /// progman open|close|COMMAND [closing N], group NAME [common], icon NAME COMMAND
    void Progman(const std::string& keyword) {
        Texts command;
        std::uint8_t flags = 0;
        if (keyword == "group") {
            for (const std::string& name : ProgmanName("a group name")) {
                command.push_back(std::string(CreateGroupText) + name);
            }
            flags = ProgmanEngineCloses | (TakeWord("common") ? 1 : 0);
        } else if (keyword == "icon") {
            const Texts names = ProgmanName("an icon name");
            const Texts lines = ProgmanName("a command line");
            for (std::size_t i = 0; i < std::max(names.size(), lines.size()); ++i) {
                command.push_back(std::string(AddItemText) + lines[lines.size() > 1 ? i : 0] + "," +
                                  names[names.size() > 1 ? i : 0] + ")]");
            }
        } else if (TakeWord("open") || TakeWord("close")) {
            ExpectEnd();
            Builder->Record(Tokens[1].Text == "open" ? 15 : 16, {});
            return;
        } else {
            command = LanguageText();
            if (TakeWord("closing")) {
                flags = static_cast<std::uint8_t>(ProgmanEngineCloses |
                                                  Number("the closing argument, 0 or 1,", 1));
            }
        }
        Limit(command, 1024, "the command");
        ExpectEnd();
        Builder->Record(4, {flags}, {}, Spread({command}));
    }

    /// run PROGRAM [ARGUMENTS] [directory DIR] [maximized|minimized] [wait]
    void RunProgram() {
        const std::string program = String("the program's path");
        const std::string arguments =
            !AtEnd() && Tokens[At].Type == Token::Kind::String ? String() : std::string();
        std::string directory;
        std::uint8_t flags = 0;
        while (!AtEnd()) {
            const std::uint8_t before = flags;
            flags = Words(RunFlags, flags);
            if (TakeWord("directory")) {
                directory = String("the working directory");
            } else if (flags == before) {
                Expected("directory, maximized, minimized, wait or the end of the line");
            }
        }
        Builder->Record(7, {flags}, {program, arguments, directory});
    }

    /// sysinfo VARIABLE ITEM [PARAMETER]
    void SystemInformation() {
        const std::string variable = MadeVariable();
        std::uint8_t item = 0;
        if (!AtEnd() && std::find(SystemItems.begin(), SystemItems.end(), Tokens[At].Text) !=
                            SystemItems.end()) {
            item = WordOf(SystemItems, "");
        } else {
            item = static_cast<std::uint8_t>(Number(
                "a system information item (date-time, windows-version, ...) or its number", 255));
        }
        const std::string parameter = AtEnd() ? std::string() : String("the parameter");
        ExpectEnd();
        Builder->Record(21, {item}, {variable, parameter});
    }

    /// odbc-driver TEXT TEXT ATTRIBUTES [32-bit], odbc-source DRIVER ATTRIBUTES [words]
    void Odbc(bool driver) {
        std::vector<std::string> strings{
            String(driver ? "the driver's first text" : "the driver's name")};
        if (driver) {
            strings.push_back(String("the driver's second text"));
        } else {
            Limit(strings, 256, "the driver's name");
        }
        strings.push_back(List("the attributes"));
        Limit({strings.back()}, 30720, "the attributes");
        const std::uint8_t flags = driver ? Words(OdbcDriverFlags) : Words(OdbcSourceFlags);
        ExpectEnd();
        Builder->Record(driver ? 25 : 26, {flags}, strings);
    }

    /// The X and Y of "at X Y" on the 640 x 480 grid.
    std::pair<std::uint16_t, std::uint16_t> Position() {
        const auto x = static_cast<std::uint16_t>(Number("the x position", PositionField));
        const auto y = static_cast<std::uint16_t>(Number("the y position", PositionField));
        return {x, y};
    }

    /// sound FILE [loop], stop-sound, video FILE [at X Y] [wait]
    void Sound(const std::string& keyword) {
        std::string file;
        std::uint8_t flags = 0;
        std::pair<std::uint16_t, std::uint16_t> at{0, 0};
        if (keyword == "sound") {
            file = String("the sound file's path");
            flags = TakeWord("loop") ? SoundLoops : 0;
        } else if (keyword == "video") {
            file = String("the video file's path");
            flags = IsVideo;
            for (bool more = true; more;) {
                more = false;
                if (TakeWord("at")) {
                    at = Position();
                    more = true;
                }
                if (TakeWord("wait")) {
                    flags |= VideoWaits;
                    more = true;
                }
            }
        }
        ExpectEnd();
        Builder->Record(
            23,
            {flags, static_cast<std::uint8_t>(at.first), static_cast<std::uint8_t>(at.first >> 8),
             static_cast<std::uint8_t>(at.second), static_cast<std::uint8_t>(at.second >> 8)},
            {file});
    }

    /// billboard FILES [at X Y] [WORDS], billboard-remove all|N [close-progress]
    void Billboard(const std::string& keyword) {
        std::uint16_t flags = 0;
        std::uint16_t x = 0;
        std::uint16_t y = 0;
        std::vector<std::uint8_t> images;
        auto removal = [&] {
            if (TakeWord("all")) {
                flags |= BillboardRemoveAll;
            } else {
                const auto count = Number("all or the number of billboards to remove", 15);
                flags |= static_cast<std::uint16_t>((count & 1) << 2 | (count >> 1) << 11);
            }
        };
        if (keyword == "billboard-remove") {
            removal();
            if (TakeWord("close-progress")) {
                flags |= BillboardCloseProgress;
            }
            images.resize(12 * Header.Texts.size(), 0);
        } else {
            const Texts files = LanguageText();
            const int column = TextColumn;
            for (std::size_t language = 0; language < Header.Texts.size(); ++language) {
                const std::filesystem::path path = Resolve(files[files.size() > 1 ? language : 0]);
                const PayloadEntry& entry =
                    Pack(path, ReadNamed(path, column, "the picture ").Content);
                PutDword(images, entry.Offset);
                PutDword(images, entry.Offset + entry.CompressedSize);
                PutDword(images, entry.Size);
            }
            for (bool more = true; more && !AtEnd();) {
                more = true;
                if (TakeWord("at")) {
                    std::tie(x, y) = Position();
                } else if (TakeWord("right-aligned")) {
                    x |= FromFarSide;
                } else if (TakeWord("bottom-aligned")) {
                    y |= FromFarSide;
                } else if (TakeWord("progress-sequence")) {
                    x |= InProgressSequence;
                } else if (TakeWord("remove")) {
                    removal();
                } else if (TakeWord("effect")) {
                    flags |= static_cast<std::uint16_t>(
                        WordOf(BillboardEffects, "an effect (dissolve, slide-from-top, "
                                                 "slide-from-bottom, slide-from-left or "
                                                 "slide-from-right)")
                        << 7);
                } else {
                    more = false;
                    for (const WideFlagWord& word : BillboardFlags) {
                        if (TakeWord(word.Word)) {
                            flags |= word.Bits;
                            more = true;
                        }
                    }
                }
            }
        }
        ExpectEnd();
        std::vector<std::uint8_t> fixed;
        PutWord(fixed, flags);
        PutWord(fixed, x);
        PutWord(fixed, y);
        fixed.insert(fixed.end(), images.begin(), images.begin() + 12);
        Builder->Record(op::DisplayGraphic, fixed, {}, {},
                        std::vector<std::uint8_t>(images.begin() + 12, images.end()));
    }

    /// The condition of a dialog set: [when VARIABLE VALUE].
    std::pair<std::string, std::string> SetCondition() {
        std::pair<std::string, std::string> condition;
        if (TakeWord("when")) {
            condition.first = Variable();
            condition.second = String("the value the variable must have");
        }
        ExpectEnd();
        return condition;
    }

    /// dialog-set FILE [when VARIABLE VALUE]: a block of dialog pages made beforehand,
    /// checked as the engine reads it.
    void DialogSet() {
        const std::string name = String("the dialog set's file");
        const int column = TextColumn;
        const auto [variable, value] = SetCondition();
        const std::filesystem::path path = Resolve(name);
        const BuildFile file = ReadNamed(path, column, "the dialog set ");
        const DialogSetReadResult read = ReadDialogSet(file.Content, Header.Texts.size());
        if (!read.Error.empty()) {
            Fail(column, "the dialog set " + path.string() + " cannot be read: " + read.Error);
        }
        const PayloadEntry& entry = Pack(path, file.Content);
        CustomDialogSetRecord(*Builder, entry.Offset, entry.Offset + entry.CompressedSize,
                              entry.Size, variable, value);
    }

    PayloadEntry PackFile(const std::string& name, int column, const std::string& what) override {
        const std::filesystem::path path = Resolve(name);
        return Pack(path, ReadNamed(path, column, what).Content);
    }

    /// A line of an open dialog-pages set; end-pages packs the set's block, one payload
    /// item for each different block, and makes its record.
    void PageStatement() {
        At = 0;
        if (Pages->Statement(*this)) {
            return;
        }
        const std::vector<std::uint8_t> block = Pages->Block(*this, Tokens[0].Column);
        Pages.reset();
        auto [named, added] =
            PageBlocks.try_emplace(std::string(block.begin(), block.end()),
                                   "DIALOGS" + std::to_string(PageBlocks.size() + 1) + ".DLG");
        // Not a path of the build machine, so no file of the script is taken for it.
        const PayloadEntry& entry =
            Pack(std::filesystem::path("?dialog-pages") / named->second, block);
        CustomDialogSetRecord(*Builder, entry.Offset, entry.Offset + entry.CompressedSize,
                              entry.Size, PagesCondition.first, PagesCondition.second);
    }

    /// A built-in function's statement: its parts fill the argument's fields.
    void BuiltinCall(const Builtin& builtin) {
        std::vector<Texts> fields(builtin.FieldCount, Texts{""});
        std::uint32_t flags = builtin.FixedBits;
        std::uint8_t used = builtin.FixedMask;
        std::uint8_t callFlags = call::OwnFunction;
        for (const BuiltinPart& part : builtin.Parts) {
            if (part.Type == BuiltinPart::Kind::None || !part.Intro.empty() ||
                (part.Optional && (AtEnd() || Tokens[At].Type == Token::Kind::Word))) {
                continue;
            }
            if (part.Type == BuiltinPart::Kind::Variable) {
                fields[part.Field] = {MadeVariable()};
            } else if (part.Type == BuiltinPart::Kind::Root) {
                flags += 2u * WordOf(RegistryRoots, "a registry root (HKCR, HKCU, HKLM, HKU or "
                                                    "HKCC)");
            } else {
                fields[part.Field] = LanguageText();
            }
        }
        std::set<std::string_view> seen;
        while (!AtEnd()) {
            const Token& token = Tokens[At];
            const auto intro = std::find_if(builtin.Parts.begin(), builtin.Parts.end(),
                                            [&](const BuiltinPart& part) {
                                                return !part.Intro.empty() && PeekWord(part.Intro);
                                            });
            const auto word = std::find_if(builtin.Words.begin(), builtin.Words.end(),
                                           [&](const FieldWord& w) { return PeekWord(w.Word); });
            if (!seen.insert(token.Text).second) {
                Fail(token.Column, token.Text + " is given twice");
            }
            ++At;
            if (intro != builtin.Parts.end() && intro->Type == BuiltinPart::Kind::Number) {
                fields[intro->Field] = {std::to_string(Number("a line number", 65535))};
            } else if (intro != builtin.Parts.end()) {
                fields[intro->Field] = LanguageText();
            } else if (word != builtin.Words.end()) {
                if ((used & word->Mask) != 0) {
                    Fail(token.Column, "'" + token.Text + "' conflicts with a word before it");
                }
                used |= word->Mask;
                flags |= word->Value;
            } else if (token.Text == "close-progress") {
                callFlags |= call::CloseProgress;
            } else if (token.Text == "abort-if-true") {
                callFlags |= call::AbortWhenTrue;
            } else {
                --At;
                Expected("a word of " + std::string(builtin.Statement) + " or the end of the line");
            }
        }
        if (builtin.FlagsField >= 0) {
            fields[static_cast<std::size_t>(builtin.FlagsField)] = {std::to_string(flags)};
        }
        const bool perLanguage = std::any_of(fields.begin(), fields.end(),
                                             [](const Texts& field) { return field.size() > 1; });
        Texts argument(perLanguage ? Header.Texts.size() : 1);
        for (std::size_t language = 0; language < argument.size(); ++language) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                argument[language] += (i == 0 ? "" : std::string(1, FieldSeparator)) +
                                      fields[i][fields[i].size() > 1 ? language : 0];
            }
        }
        TextColumn = Tokens[0].Column;
        Limit(argument, 30720, "the argument");
        Builder->CallDll(callFlags, "", builtin.Function, argument);
    }

    void Section(std::optional<std::uint32_t>& offset, const std::string& keyword) {
        ExpectEnd();
        if (offset) {
            Fail(Tokens[0].Column, "the " + keyword + " section is given twice");
        }
        if (!Blocks.empty()) {
            Fail(Tokens[0].Column, "the " + keyword + " section starts outside every block");
        }
        offset = Builder->Position();
    }

    void Statement() {
        const Token& first = Tokens[0];
        At = 0;
        if (first.Type != Token::Kind::Word) {
            Expected("a statement");
        }
        const std::string keyword = first.Text;
        At = 1;
        if (Pages) {
            PageStatement();
            return;
        }
        if (keyword == "include") {
            const std::string name = String("the path of the script to include");
            ExpectEnd();
            Include(name, first.Column);
            return;
        }
        if (HeaderStatement(keyword)) {
            ExpectEnd();
            return;
        }
        Freeze();
        if (keyword == "dialog-pages") {
            PagesCondition = SetCondition();
            PagesFile = File;
            PagesLine = Line;
            Pages = std::make_unique<DialogPageCompiler>();
        } else if (keyword == WizardStatement) {
            const WizardCall wizard = CompileWizard(*this);
            TextColumn = first.Column;
            Limit({wizard.Argument}, 30720, "the argument");
            Builder->CallDll(wizard.Flags, "", std::string(WizardFunction), {wizard.Argument});
        } else if (keyword == "install" || keyword == "install-from" ||
                   keyword == "install-wildcard") {
            Install(keyword);
        } else if (keyword == "if") {
            Condition(keyword, false, false);
        } else if (keyword == "while") {
            Condition(keyword, true, false);
        } else if (keyword == "do") {
            ExpectWord("while");
            Condition("do while", true, true);
        } else if (keyword == "else") {
            ExpectEnd();
            if (Blocks.empty() || Blocks.back().Loop || Blocks.back().HasElse) {
                Fail(first.Column, "else belongs in an if or ask block without an else");
            }
            Blocks.back().HasElse = true;
            Builder->Else();
        } else if (keyword == "end") {
            ExpectEnd();
            if (Blocks.empty()) {
                Fail(first.Column, "end without an open block");
            }
            Blocks.pop_back();
            Builder->End();
        } else if (keyword == "call") {
            Call(call::CallOnly, 0);
        } else if (keyword == "message" || keyword == "ask") {
            std::uint8_t style = Words(MessageFlags);
            for (const FlagWord& icon : MessageIcons) {
                if (TakeWord(icon.Word)) {
                    style |= icon.Bits;
                    break;
                }
            }
            style = Words(MessageFlags, style);
            if (TakeWord("style")) {
                style = static_cast<std::uint8_t>(Number("a style byte", 255) & 0xFE);
            }
            const bool ask = keyword == "ask";
            const Texts title = LanguageText();
            Limit(title, 256, "the title");
            const Texts text = LanguageText();
            Limit(text, 1024, "the text");
            ExpectEnd();
            if (ask) {
                Push(false, keyword);
            }
            Builder->Message(static_cast<std::uint8_t>(style | (ask ? 1 : 0)), title, text);
        } else if (keyword == "delete") {
            const std::string path = String("the path to delete");
            const std::uint8_t flags = Words(DeleteFlags);
            ExpectEnd();
            Builder->Record(11, {flags}, {path});
        } else if (keyword == "mkdir") {
            const std::string path = String("the directory's path");
            ExpectEnd();
            Builder->Record(17, {}, {path});
        } else if (keyword == "rename") {
            const std::string from = String("the path of the file to rename");
            const std::string to = String("its new name");
            ExpectEnd();
            if (to.find_first_of("\\/:") != std::string::npos) {
                Fail(Tokens[2].Column, "expected a new name without a directory");
            }
            Builder->Record(29, {}, {from, to});
        } else if (keyword == "tempfile") {
            const std::string variable = MadeVariable();
            ExpectEnd();
            Builder->GetTempFileName(variable);
        } else if (keyword == "exit") {
            ExpectEnd();
            Builder->Exit();
        } else if (keyword == "filler") {
            ExpectEnd();
            Builder->Filler();
        } else if (keyword == "log") {
            const std::string text = String("the text to log");
            Limit({text}, 256, "the text to log");
            ExpectEnd();
            Builder->AddToLog(text);
        } else if (keyword == "log-file") {
            std::uint8_t flags = 2;
            std::string path;
            if (TakeWord("pause")) {
                flags = 1;
            } else if (TakeWord("resume")) {
                flags = 0;
            } else {
                path = String("pause, resume or the new log's path");
            }
            ExpectEnd();
            Builder->SetLogFile(flags, path);
        } else if (keyword == "finish") {
            Section(Finish, keyword);
        } else if (keyword == "cancel") {
            Section(Cancel, keyword);
        } else if (keyword == "record") {
            RawRecord();
        } else if (keyword == "ini") {
            Ini();
        } else if (keyword == "registry" || keyword == "registry-delete") {
            Registry(keyword == "registry-delete");
        } else if (keyword == "progman" || keyword == "group" || keyword == "icon") {
            Progman(keyword);
        } else if (keyword == "run") {
            RunProgram();
        } else if (keyword == "sysinfo") {
            SystemInformation();
        } else if (keyword == "odbc-driver" || keyword == "odbc-source") {
            Odbc(keyword == "odbc-driver");
        } else if (keyword == "sound" || keyword == "stop-sound" || keyword == "video") {
            Sound(keyword);
        } else if (keyword == "dialog-set") {
            DialogSet();
        } else if (keyword == "billboard" || keyword == "billboard-remove") {
            Billboard(keyword);
        } else if (const auto builtin =
                       std::find_if(Builtins.begin(), Builtins.end(),
                                    [&](const Builtin& b) { return b.Statement == keyword; });
                   builtin != Builtins.end()) {
            BuiltinCall(*builtin);
        } else {
            Fail(first.Column, "expected a statement, found '" + keyword + "'");
        }
    }

    static std::string Upper(std::string text) {
        for (char& c : text) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        return text;
    }

    void Include(const std::string& name, int column) {
        if (Depth == MaxIncludeDepth) {
            Fail(column, "includes nest at most " + std::to_string(MaxIncludeDepth) + " deep");
        }
        const std::filesystem::path path = Resolve(name);
        const std::optional<BuildFile> file = Reader(path);
        if (!file) {
            Fail(column, "the script " + path.string() + " cannot be read");
        }
        const std::string saved[2] = {File, Directory.string()};
        const int savedLine = Line;
        std::vector<Token> savedTokens = std::move(Tokens);
        CompileText(std::string(file->Content.begin(), file->Content.end()), path, Depth + 1);
        File = saved[0];
        Directory = saved[1];
        Line = savedLine;
        Tokens = std::move(savedTokens);
    }

    void CompileText(const std::string& text, const std::filesystem::path& path, int depth) {
        File = path.string();
        Directory = path.parent_path();
        Depth = depth;
        Line = 0;
        for (std::size_t start = 0; start <= text.size();) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                end = text.size();
            }
            ++Line;
            const std::string_view line(text.data() + start, end - start);
            start = end + 1;
            if (line.find('\0') != std::string_view::npos) {
                Fail(static_cast<int>(line.find('\0')) + 1, "a script cannot hold a zero byte");
            }
            LexError error;
            Tokens = SplitLine(line, error);
            if (error.Column != 0) {
                Fail(error.Column, error.Message);
            }
            EndColumn = static_cast<int>(line.size()) + 1;
            if (!Tokens.empty()) {
                try {
                    Statement();
                } catch (const ScriptBuildError& failure) {
                    Fail(Tokens[0].Column, failure.what());
                }
            }
        }
        Depth = depth - 1;
    }

    const FileReader& Reader;
    ScriptHeader Header;
    std::unique_ptr<ScriptBuilder> Builder;
    PayloadPacker Packer;
    std::map<std::string, std::size_t> Packed;
    /// Files kept in library files: each one's deflated data by its library number, the
    /// numbers by path, and where the first one was named.
    std::vector<std::vector<std::uint8_t>> Libraries;
    std::map<std::string, std::uint32_t> InLibraries;
    std::pair<std::string, int> LibraryUse;
    /// Offsets of the records of files kept in the archive.
    std::vector<std::uint32_t> ArchiveInstalls;
    std::optional<std::vector<std::uint8_t>> TransferLibrary;
    bool IdentifierGiven = false;
    std::vector<OpenBlock> Blocks;
    std::set<std::string> Seen;
    std::set<std::string> Made;
    std::optional<std::uint32_t> Finish;
    std::optional<std::uint32_t> Cancel;
    /// The dialog-pages set being read, its condition and where it starts.
    std::unique_ptr<DialogPageCompiler> Pages;
    std::pair<std::string, std::string> PagesCondition;
    std::string PagesFile;
    int PagesLine = 0;
    /// Payload names of the page blocks made so far.
    std::map<std::string, std::string> PageBlocks;

    std::string File;
    std::filesystem::path Directory;
    int Depth = 0;
    int Line = 0;
    int EndColumn = 1;
    /// Where the last string or text list read starts.
    int TextColumn = 1;
    std::vector<Token> Tokens;
    std::size_t At = 0;
};

} // namespace

CompiledSetup CompileScript(const std::string& text, const std::filesystem::path& path,
                            const FileReader& reader, ItemStorage storage) {
    return Compiler(reader, storage).Run(text, path);
}

} // namespace vorn::authoring
