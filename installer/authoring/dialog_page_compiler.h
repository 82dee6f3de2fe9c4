// Dialog pages written in the script itself: the statements between dialog-pages and
// end-pages become a custom dialog set's block (through the engine's dialog set builder),
// and the wizard statement becomes a call of the engine's page sequencing built-in.
// The lister prints both back in the same statements.
#pragma once

#include "installer/archive/setup_archive.h"
#include "installer/engine/dialog_set_builder.h"
#include "script_lexer.h"
#include "script_words.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vorn::authoring {

/// What the page statements read a line with: the script compiler's reader of the
/// current line, which reports mistakes at their place.
class StatementReader {
public:
    virtual bool AtEnd() const = 0;
    /// The next token, or null at the end of the line.
    virtual const Token* Next() const = 0;
    virtual void Skip() = 0;
    virtual bool TakeWord(std::string_view word) = 0;
    virtual std::string String(const std::string& what) = 0;
    /// A text for every language: one string or [one per language].
    virtual PerLanguageText LanguageText() = 0;
    /// A variable name, and one the engine will make (counted against its table).
    virtual std::string Variable() = 0;
    virtual std::string MadeVariable() = 0;
    virtual void ExpectEnd() = 0;
    [[noreturn]] virtual void Expected(const std::string& what) const = 0;
    [[noreturn]] virtual void Fail(int column, const std::string& message) const = 0;
    virtual std::size_t LanguageCount() const = 0;
    /// Packs a file of the build machine, named at `column`, into the payload.
    virtual PayloadEntry PackFile(const std::string& name, int column, const std::string& what) = 0;

protected:
    ~StatementReader() = default;
};

/// The control statements of a page: the kind of control each makes and its style
/// (always with child and visible) unless a style is given.
struct ControlWord {
    std::string_view Word;
    platform::ControlKind Kind;
    std::uint32_t Style;
};
inline constexpr std::uint32_t ChildStyle = platform::dlg::WsChild | platform::dlg::WsVisible;
inline constexpr std::array<ControlWord, 11> ControlWords = {{
    {"static", platform::ControlKind::Static, ChildStyle},
    {"bitmap", platform::ControlKind::Static, ChildStyle | platform::dlg::SsBitmap},
    {"edit", platform::ControlKind::Edit,
     ChildStyle | platform::dlg::WsBorder | platform::dlg::WsTabStop |
         platform::dlg::EsAutoHScroll},
    {"button", platform::ControlKind::Button, ChildStyle | platform::dlg::WsTabStop},
    {"default-button", platform::ControlKind::Button,
     ChildStyle | platform::dlg::WsTabStop | platform::dlg::BsDefPushButton},
    {"radio", platform::ControlKind::Button, ChildStyle | platform::dlg::BsAutoRadioButton},
    {"check", platform::ControlKind::Button,
     ChildStyle | platform::dlg::WsTabStop | platform::dlg::BsAutoCheckBox},
    {"group-box", platform::ControlKind::Button, ChildStyle | platform::dlg::BsGroupBox},
    {"list", platform::ControlKind::ListBox,
     ChildStyle | platform::dlg::WsBorder | platform::dlg::WsVScroll | platform::dlg::LbsNotify},
    {"scroll-bar", platform::ControlKind::ScrollBar, ChildStyle},
    {"combo-box", platform::ControlKind::ComboBox, ChildStyle},
}};

/// The kinds of control-action entries (1 to 6) by their words.
inline constexpr std::array<std::string_view, 7> EntryKindWords = {
    "", "edit", "button", "radio", "checks", "path", "list"};
/// Button actions by code.
inline constexpr std::array<std::string_view, 4> ActionWords = {"back", "finish", "next", "cancel"};
/// Flag words of an entry, by the kind they belong to.
struct EntryFlagWord {
    std::uint8_t Kind;
    std::string_view Word;
    std::uint16_t Bits;
};
inline constexpr std::array<EntryFlagWord, 5> EntryFlagWords = {{
    {control_kind::PathField, "required", entry_flag::Required},
    {control_kind::PathField, "drive-only", entry_flag::DriveOnly},
    {control_kind::CheckGroup, "pairs", entry_flag::Pairs},
    {control_kind::List, "browser", entry_flag::Pairs},
    {control_kind::List, "letters", entry_flag::Letters},
}};

/// The numeric fields of a page's logical font after its face name and height.
inline constexpr std::array<std::string_view, 12> FontFieldWords = {
    "width",      "escapement", "orientation",   "weight",         "italic",  "underline",
    "strike-out", "charset",    "out-precision", "clip-precision", "quality", "pitch-and-family"};

/// A logical font's fields named by FontFieldWords, in that order.
std::array<std::int64_t, 12> FontFields(const platform::LogFontA& font);
void SetFontField(platform::LogFontA& font, std::size_t field, std::int64_t value);

/// The pages of one dialog-pages statement, gathered line by line.
class DialogPageCompiler {
public:
    /// One line inside the set; false when it is end-pages, which closes the set.
    bool Statement(StatementReader& in);
    /// The block, checked as the engine reads it; `column` is where mistakes are shown.
    std::vector<std::uint8_t> Block(StatementReader& in, int column) const;

private:
    std::int32_t Signed(StatementReader& in, const std::string& what, std::int64_t min,
                        std::int64_t max);
    void Page(StatementReader& in);
    void Control(StatementReader& in, const std::string& keyword);
    void Entry(StatementReader& in);
    void Font(StatementReader& in);
    platform::ControlTitle Title(StatementReader& in);
    bool Box(StatementReader& in, const std::string& whose, std::array<std::int16_t*, 4> box,
             bool& sized);

    std::vector<DialogPageLayout> Pages;
};

/// The wizard statement: the argument text of the page sequencing built-in and the
/// call's flags (with close-progress and abort-if-true as every built-in takes them).
struct WizardCall {
    std::string Argument;
    std::uint8_t Flags = 0;
};
WizardCall CompileWizard(StatementReader& in);

/// The statements of a dialog set's block between dialog-pages and end-pages, each page's
/// own statements indented, or nullopt when the block holds something the statements
/// cannot say.
std::optional<std::vector<std::string>> ListDialogPages(std::span<const std::uint8_t> block,
                                                        std::size_t languages);

/// The wizard statement for a call's argument, or nullopt when it cannot be one.
/// `nameOf` gives the payload name of the item stored at archive offsets start to end
/// with the given uncompressed size.
std::optional<std::string> ListWizard(
    std::string_view argument, std::uint8_t flags,
    const std::function<std::optional<std::string>(std::uint32_t, std::uint32_t, std::uint32_t)>&
        nameOf);

} // namespace vorn::authoring
