// Compiles the dialog page statements and the wizard statement.
#include "dialog_page_compiler.h"

#include "script_compiler.h"
#include "script_words.h"

#include <algorithm>
#include <cctype>

namespace vorn::authoring {

std::array<std::int64_t, 12> FontFields(const platform::LogFontA& font) {
    return {font.Width,        font.Escapement,    font.Orientation, font.Weight,
            font.Italic,       font.Underline,     font.StrikeOut,   font.CharSet,
            font.OutPrecision, font.ClipPrecision, font.Quality,     font.PitchAndFamily};
}

void SetFontField(platform::LogFontA& font, std::size_t field, std::int64_t value) {
    std::int32_t* const wide[] = {&font.Width, &font.Escapement, &font.Orientation, &font.Weight};
    std::uint8_t* const narrow[] = {&font.Italic,  &font.Underline,     &font.StrikeOut,
                                    &font.CharSet, &font.OutPrecision,  &font.ClipPrecision,
                                    &font.Quality, &font.PitchAndFamily};
    if (field < 4) {
        *wide[field] = static_cast<std::int32_t>(value);
    } else {
        *narrow[field - 4] = static_cast<std::uint8_t>(value);
    }
}

namespace {

constexpr std::size_t MaxTableCount = 255;
constexpr std::size_t MaxFaceName = 31;

int ColumnOf(const StatementReader& in) {
    return in.Next() != nullptr ? in.Next()->Column : 0;
}

} // namespace

std::int32_t DialogPageCompiler::Signed(StatementReader& in, const std::string& what,
                                        std::int64_t min, std::int64_t max) {
    const Token* token = in.Next();
    if (token == nullptr || token->Type != Token::Kind::Word) {
        in.Expected(what);
    }
    std::string_view text = token->Text;
    const bool negative = !text.empty() && text.front() == '-';
    text.remove_prefix(negative ? 1 : 0);
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    text.remove_prefix(hex ? 2 : 0);
    std::int64_t value = 0;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const int digit = std::isdigit(u)           ? c - '0'
                          : hex && std::isxdigit(u) ? std::tolower(u) - 'a' + 10
                                                    : -1;
        if (digit < 0 || value > max) {
            in.Expected(what);
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    value = negative ? -value : value;
    if (text.empty() || value < min || value > max) {
        in.Expected(what + " from " + std::to_string(min) + " to " + std::to_string(max));
    }
    in.Skip();
    return static_cast<std::int32_t>(value);
}

bool DialogPageCompiler::Statement(StatementReader& in) {
    const Token& first = *in.Next();
    if (first.Type != Token::Kind::Word) {
        in.Expected("a page statement");
    }
    const std::string keyword = first.Text;
    in.Skip();
    if (keyword == "end-pages") {
        in.ExpectEnd();
        return false;
    }
    if (keyword == "page") {
        // A button names its target page in one byte.
        if (Pages.size() == MaxTableCount + 1) {
            in.Fail(first.Column, "a dialog set holds at most 256 pages");
        }
        Page(in);
        return true;
    }
    if (Pages.empty()) {
        in.Fail(first.Column, "expected page before the page's " + keyword);
    }
    if (keyword == "texts") {
        Pages.back().Strings = in.LanguageText();
    } else if (keyword == "logical-font") {
        Font(in);
    } else if (keyword == "action") {
        Entry(in);
    } else if (std::any_of(ControlWords.begin(), ControlWords.end(),
                           [&](const ControlWord& w) { return w.Word == keyword; })) {
        Control(in, keyword);
    } else {
        in.Fail(first.Column, "expected a page statement (page, texts, logical-font, a control "
                              "or action) or end-pages, found '" +
                                  keyword + "'");
    }
    in.ExpectEnd();
    return true;
}

/// at X Y, or size W H (which sets `sized`); false when the line goes on with neither.
bool DialogPageCompiler::Box(StatementReader& in, const std::string& whose,
                             std::array<std::int16_t*, 4> box, bool& sized) {
    const bool at = in.TakeWord("at");
    if (!at && !in.TakeWord("size")) {
        return false;
    }
    static const char* const Names[] = {"x", "y", "width", "height"};
    for (std::size_t i = at ? 0 : 2; i < (at ? 2u : 4u); ++i) {
        *box[i] =
            static_cast<std::int16_t>(Signed(in, whose + " " + Names[i], at ? -32768 : 0, 32767));
    }
    sized = sized || !at;
    return true;
}

platform::ControlTitle DialogPageCompiler::Title(StatementReader& in) {
    platform::ControlTitle title;
    if (in.TakeWord("resource")) {
        title.Ordinal = static_cast<std::uint16_t>(Signed(in, "a resource number", 0, 65535));
    } else {
        title.Text = in.String("a text or resource NUMBER");
    }
    return title;
}

/// page CAPTION [at X Y] size W H [font FACE POINTS] [style N] [ex-style N] [menu TITLE]
/// [class TITLE]
void DialogPageCompiler::Page(StatementReader& in) {
    DialogPageLayout page;
    platform::DialogTemplate& form = page.Template;
    form.Caption = in.String("the page's caption");
    bool sized = false;
    bool styled = false;
    while (!in.AtEnd()) {
        if (Box(in, "the page's", {&form.X, &form.Y, &form.Width, &form.Height}, sized)) {
        } else if (in.TakeWord("font")) {
            const int column = ColumnOf(in);
            form.FaceName = in.String("the font's face name");
            if (form.FaceName.empty()) {
                in.Fail(column, "expected a face name that is not empty");
            }
            form.PointSize = static_cast<std::uint16_t>(Signed(in, "a point size", 1, 65535));
        } else if (in.TakeWord("style")) {
            form.Style = static_cast<std::uint32_t>(Signed(in, "a style", 0, 0xFFFFFFFF));
            styled = true;
        } else if (in.TakeWord("ex-style")) {
            form.ExStyle = static_cast<std::uint32_t>(Signed(in, "a style", 0, 0xFFFFFFFF));
        } else if (in.TakeWord("menu")) {
            form.Menu = Title(in);
        } else if (in.TakeWord("class")) {
            form.ClassName = Title(in);
        } else {
            in.Expected("at, size, font, style, ex-style, menu, class or the end of the line");
        }
    }
    if (!sized) {
        in.Expected("size WIDTH HEIGHT");
    }
    if (!styled && !form.FaceName.empty()) {
        form.Style |= platform::dlg::DsSetFont;
    }
    Pages.push_back(std::move(page));
}

/// logical-font FACE HEIGHT [FIELD VALUE]...
void DialogPageCompiler::Font(StatementReader& in) {
    if (Pages.back().Fonts.size() == MaxTableCount) {
        in.Fail(ColumnOf(in), "a page holds at most 255 fonts");
    }
    platform::LogFontA font;
    const int column = ColumnOf(in);
    font.FaceName = in.String("the font's face name");
    if (font.FaceName.size() > MaxFaceName) {
        in.Fail(column, "a face name is at most 31 characters");
    }
    font.Height = Signed(in, "the font's height", INT32_MIN, INT32_MAX);
    while (!in.AtEnd()) {
        const auto field = std::find_if(FontFieldWords.begin(), FontFieldWords.end(),
                                        [&](std::string_view word) { return in.TakeWord(word); });
        if (field == FontFieldWords.end()) {
            in.Expected(
                "a font field (width, weight, italic, charset, ...) or the end of the line");
        }
        const auto index = static_cast<std::size_t>(field - FontFieldWords.begin());
        SetFontField(font, index,
                     index < 4 ? Signed(in, "a number", INT32_MIN, INT32_MAX)
                               : Signed(in, "a number", 0, 255));
    }
    Pages.back().Fonts.push_back(font);
}

/// WORD ID [TITLE] at X Y size W H [style N] [ex-style N] [data HEX]
void DialogPageCompiler::Control(StatementReader& in, const std::string& keyword) {
    const ControlWord& word =
        *std::find_if(ControlWords.begin(), ControlWords.end(),
                      [&](const ControlWord& w) { return w.Word == keyword; });
    platform::DialogTemplate& form = Pages.back().Template;
    if (form.Controls.size() == 65535) {
        in.Fail(ColumnOf(in), "a page holds at most 65535 controls");
    }
    platform::DialogControl control;
    control.Kind = word.Kind;
    control.Style = word.Style;
    control.Id = static_cast<std::uint16_t>(Signed(in, "the control's number", 0, 65535));
    if (in.Next() != nullptr &&
        (in.Next()->Type == Token::Kind::String || in.Next()->Text == "resource")) {
        control.Title = Title(in);
    }
    bool placed = false;
    while (!in.AtEnd()) {
        if (Box(in, "the control's", {&control.X, &control.Y, &control.Width, &control.Height},
                placed)) {
        } else if (in.TakeWord("style")) {
            control.Style = static_cast<std::uint32_t>(Signed(in, "a style", 0, 0xFFFFFFFF));
        } else if (in.TakeWord("ex-style")) {
            control.ExStyle = static_cast<std::uint32_t>(Signed(in, "a style", 0, 0xFFFFFFFF));
        } else if (in.TakeWord("data")) {
            const int column = ColumnOf(in);
            const std::string text = in.String("the creation data in hexadecimal");
            control.CreationData.clear();
            for (std::size_t i = 0; i < text.size(); i += 2) {
                const auto digit = [](char c) {
                    const auto u = static_cast<unsigned char>(c);
                    return std::isdigit(u)    ? c - '0'
                           : std::isxdigit(u) ? std::tolower(u) - 'a' + 10
                                              : -1;
                };
                if (i + 1 >= text.size() || digit(text[i]) < 0 || digit(text[i + 1]) < 0 ||
                    control.CreationData.size() == 65533) {
                    in.Fail(column,
                            "expected the creation data in hexadecimal, at most 65533 bytes");
                }
                control.CreationData.push_back(
                    static_cast<std::uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
            }
        } else {
            in.Expected("at, size, style, ex-style, data or the end of the line");
        }
    }
    if (!placed) {
        in.Expected("size WIDTH HEIGHT");
    }
    form.Controls.push_back(std::move(control));
}

/// action KIND FIRST [through LAST | end N] [to VARIABLE [second TEXT]] [ACTION] [target N]
/// [min-length N] [FLAG WORDS] [flags N] [texts TEXTS]
void DialogPageCompiler::Entry(StatementReader& in) {
    std::vector<ControlEntry>& entries = Pages.back().Entries;
    if (entries.size() == MaxTableCount) {
        in.Fail(ColumnOf(in), "a page holds at most 255 actions");
    }
    ControlEntry entry;
    const auto kind = std::find_if(EntryKindWords.begin() + 1, EntryKindWords.end(),
                                   [&](std::string_view word) { return in.TakeWord(word); });
    if (kind == EntryKindWords.end()) {
        in.Expected("the kind of control (edit, button, radio, checks, path or list)");
    }
    entry.Kind = static_cast<std::uint8_t>(kind - EntryKindWords.begin());
    entry.First = static_cast<std::uint8_t>(Signed(in, "the first control's number", 0, 255));
    entry.End = static_cast<std::uint8_t>(entry.First + 1);
    if (in.TakeWord("through")) {
        entry.End = static_cast<std::uint8_t>(
            Signed(in, "the last control's number", entry.First, 254) + 1);
    } else if (in.TakeWord("end")) {
        entry.End = static_cast<std::uint8_t>(Signed(in, "the control after the last", 0, 255));
    }
    bool acted = false;
    while (!in.AtEnd()) {
        const Token& token = *in.Next();
        if (in.TakeWord("to")) {
            entry.Variable = in.MadeVariable();
            if (in.TakeWord("second")) {
                entry.SecondPart = in.String("the variable's second part");
            }
        } else if (const auto action =
                       std::find_if(ActionWords.begin(), ActionWords.end(),
                                    [&](std::string_view word) { return in.TakeWord(word); });
                   action != ActionWords.end()) {
            if (acted) {
                in.Fail(token.Column, "an action has one of back, finish, next and cancel");
            }
            acted = true;
            entry.Action = static_cast<std::uint8_t>(action - ActionWords.begin());
            if (entry.Action == page_action::Next) {
                entry.Target =
                    static_cast<std::uint8_t>(Signed(in, "the next page's index", 0, 255));
            }
        } else if (in.TakeWord("action-code")) {
            entry.Action = static_cast<std::uint8_t>(Signed(in, "an action code", 0, 255));
        } else if (in.TakeWord("target")) {
            entry.Target = static_cast<std::uint8_t>(Signed(in, "a page index", 0, 255));
        } else if (in.TakeWord("min-length")) {
            entry.MinLength = static_cast<std::uint16_t>(Signed(in, "a length", 0, 65535));
        } else if (in.TakeWord("flags")) {
            entry.Flags |= static_cast<std::uint16_t>(Signed(in, "flag bits", 0, 65535));
        } else if (in.TakeWord("texts")) {
            entry.Texts = in.LanguageText();
        } else if (const auto flag = std::find_if(EntryFlagWords.begin(), EntryFlagWords.end(),
                                                  [&](const EntryFlagWord& w) {
                                                      return w.Kind == entry.Kind &&
                                                             in.TakeWord(w.Word);
                                                  });
                   flag != EntryFlagWords.end()) {
            entry.Flags |= flag->Bits;
        } else {
            in.Expected("a word of the " + std::string(*kind) + " action or the end of the line");
        }
    }
    if (entry.Kind == control_kind::Button && !acted) {
        in.Expected("back, finish, next PAGE or cancel");
    }
    entries.push_back(std::move(entry));
}

std::vector<std::uint8_t> DialogPageCompiler::Block(StatementReader& in, int column) const {
    if (Pages.empty()) {
        in.Fail(column, "expected at least one page before end-pages");
    }
    for (std::size_t page = 0; page < Pages.size(); ++page) {
        for (const ControlEntry& entry : Pages[page].Entries) {
            if (entry.Action == page_action::Next && entry.Target >= Pages.size()) {
                in.Fail(column, "a button of page " + std::to_string(page) + " leads to page " +
                                    std::to_string(entry.Target) + ", which the set does not have");
            }
        }
    }
    std::vector<std::uint8_t> block =
        BuildDialogSet(Pages, static_cast<std::uint8_t>(in.LanguageCount()));
    const DialogSetReadResult read = ReadDialogSet(block, in.LanguageCount());
    if (!read.Error.empty()) {
        in.Fail(column, "the dialog pages cannot be read: " + read.Error);
    }
    return block;
}

/// wizard DIRECTION CURRENT [size W H] [options N] [picture FILE] [picture-value TEXT]
/// page NAME [if VARIABLE COMPARISON VALUE] ...
WizardCall CompileWizard(StatementReader& in) {
    const std::string direction = in.MadeVariable();
    const std::string current = in.MadeVariable();
    std::uint32_t numbers[3] = {0, 0, 0};
    std::string pictureValue;
    std::uint32_t picture[3] = {0, 0, 0};
    std::vector<std::string> entries;
    std::uint8_t flags = call::OwnFunction;
    // Decimal numbers, as the engine reads the fields.
    auto number = [&](const std::string& what) {
        const Token* token = in.Next();
        if (token == nullptr || token->Type != Token::Kind::Word || token->Text.empty() ||
            token->Text.size() > 9 ||
            !std::all_of(token->Text.begin(), token->Text.end(),
                         [](char c) { return c >= '0' && c <= '9'; })) {
            in.Expected(what);
        }
        in.Skip();
        return static_cast<std::uint32_t>(std::stoul(token->Text));
    };
    auto plain = [&](const std::string& what) {
        const int column = ColumnOf(in);
        std::string text = in.String(what);
        if (text.find_first_of(std::string("\t") + FieldSeparator) != std::string::npos) {
            in.Fail(column, "expected " + what + " without a tab or a 0x7F byte");
        }
        return text;
    };
    while (!in.AtEnd()) {
        if (in.TakeWord("options")) {
            numbers[0] = number("the options as a decimal number");
        } else if (in.TakeWord("size")) {
            numbers[1] = number("the frame's width");
            numbers[2] = number("the frame's height");
        } else if (in.TakeWord("picture")) {
            const int column = ColumnOf(in);
            const PayloadEntry entry =
                in.PackFile(in.String("the picture's file"), column, "the picture ");
            picture[0] = entry.Offset;
            picture[1] = entry.CompressedSize;
            picture[2] = entry.Size;
        } else if (in.TakeWord("picture-value")) {
            pictureValue = plain("the picture value");
        } else if (in.TakeWord("page")) {
            std::string entry = plain("the page's name");
            if (in.TakeWord("if")) {
                entry += '\t' + in.Variable();
                const auto comparison = std::find_if(
                    ComparisonWords.begin(), ComparisonWords.end(), [&](std::string_view word) {
                        return in.Next() != nullptr && in.Next()->Type != Token::Kind::String &&
                               in.Next()->Text == word;
                    });
                if (comparison == ComparisonWords.end()) {
                    in.Expected("a comparison (==, !=, contains, ...)");
                }
                in.Skip();
                const std::string value = plain("the value to compare with");
                entry += '\t' + value + '\t' + std::to_string(comparison - ComparisonWords.begin());
            }
            entries.push_back(std::move(entry));
        } else if (in.TakeWord("close-progress")) {
            flags |= call::CloseProgress;
        } else if (in.TakeWord("abort-if-true")) {
            flags |= call::AbortWhenTrue;
        } else {
            in.Expected("options, size, picture, picture-value, page, close-progress, "
                        "abort-if-true or the end of the line");
        }
    }
    if (entries.empty()) {
        in.Expected("page NAME");
    }
    std::string argument = std::to_string(numbers[0]) + FieldSeparator + direction +
                           FieldSeparator + current + FieldSeparator + std::to_string(numbers[1]) +
                           FieldSeparator + std::to_string(numbers[2]) + FieldSeparator +
                           pictureValue;
    for (const std::uint32_t value : picture) {
        argument += FieldSeparator + std::to_string(value);
    }
    for (const std::string& entry : entries) {
        argument += FieldSeparator + entry;
    }
    return {argument, flags};
}

} // namespace vorn::authoring
