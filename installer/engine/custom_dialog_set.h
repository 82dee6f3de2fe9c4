// Opcode 20, the script's custom dialog sets: the block of dialog templates with their
// fonts, strings and control-action tables, the pages run with Back and Next, and the
// pages' procedure `CustomDlg`, which fills controls from variables and stores them back.
#pragma once

#include "platform/dialog_template.h"
#include "platform/dialog_templates.h"
#include "script.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vorn {

class Engine;

namespace op {
inline constexpr std::uint8_t CustomDialogSet = 20;
} // namespace op

/// Control kinds of a page's control-action entries.
namespace control_kind {
inline constexpr std::uint8_t Edit = 1;
inline constexpr std::uint8_t Button = 2;
inline constexpr std::uint8_t RadioGroup = 3;
inline constexpr std::uint8_t CheckGroup = 4;
inline constexpr std::uint8_t PathField = 5;
inline constexpr std::uint8_t List = 6;
} // namespace control_kind

/// What a button does with its page.
namespace page_action {
inline constexpr std::uint8_t Back = 0;
inline constexpr std::uint8_t Finish = 1;
inline constexpr std::uint8_t Next = 2;
inline constexpr std::uint8_t Cancel = 3;
} // namespace page_action

/// Page results other than the index of a pressed button's entry.
namespace page_result {
inline constexpr std::intptr_t Abort = 1024;
inline constexpr std::intptr_t Leave = 2048;
} // namespace page_result

/// Flag bits of control entries.
namespace entry_flag {
/// Path field: an empty text keeps the page open.
inline constexpr std::uint16_t Required = 0x1;
/// Check group: the controls come in pairs, the first of each counts. Path field: only
/// the drive. List: a drive and directory browser.
inline constexpr std::uint16_t Pairs = 0x2;
inline constexpr std::uint16_t DriveOnly = 0x2;
/// List: the selected items are stored as letters.
inline constexpr std::uint16_t Letters = 0x4;
} // namespace entry_flag

/// One control-action entry of a page.
struct ControlEntry {
    std::uint8_t Kind = 0;
    std::uint8_t First = 0;
    /// The control after the last one of the entry.
    std::uint8_t End = 0;
    std::uint8_t Target = 0;
    std::uint8_t Action = 0;
    std::uint16_t MinLength = 0;
    std::uint16_t Flags = 0;
    /// One text per language (a list's items, one per line).
    std::vector<std::string> Texts;
    std::string Variable;
    /// The part of the variable field after a 0x7F byte, where the kind uses one.
    std::string SecondPart;
};

/// One dialog of a set.
struct DialogPage {
    /// From the template's offset to the block's end: the template reader stops where the
    /// template does.
    std::span<const std::uint8_t> Template;
    std::vector<platform::LogFontA> Fonts;
    /// One string per language.
    std::vector<std::string> Strings;
    std::vector<ControlEntry> Entries;
};

struct DialogSetReadResult {
    std::vector<DialogPage> Pages;
    /// Why the block is broken; empty when it was read.
    std::string Error;
};

/// Reads a decompressed block of a script with `languages` languages. Every offset and
/// string is checked against the block; the pages' templates are read too, so a truncated
/// template or an unknown control kind is reported here.
DialogSetReadResult ReadDialogSet(std::span<const std::uint8_t> block, std::size_t languages);

class WizardFrame;

/// What the dialog sets keep across records for the whole run.
class DialogState {
public:
    DialogState();
    ~DialogState();
    DialogState(const DialogState&) = delete;
    DialogState& operator=(const DialogState&) = delete;

    /// Pages run modeless inside the "KTRSWizard" frame (switched by f31).
    bool WizardStyle = false;
    /// Decompressed blocks by their archive start: a block is decompressed once.
    std::map<std::uint32_t, std::vector<std::uint8_t>> Blocks;
    /// The wizard frame's client size in pixels (set by f31); 0 lets the pages decide.
    int FrameWidth = 0;
    int FrameHeight = 0;
    /// The wizard's picture, a packed bitmap read from the archive by f31 (empty when there
    /// is none), where its rows start, and its width in pixels.
    std::vector<std::uint8_t> Picture;
    std::size_t PictureBits = 0;
    int PictureWidth = 0;
    /// The width of the frame's band that shows the picture, left of the pages; 0 makes it
    /// as wide as the picture.
    long PictureValue = 0;
    /// The archive start of the picture f31 read (or tried to read): it is read once.
    std::optional<std::uint32_t> PictureFrom;
    /// The variable f31 takes the direction from: leaving a wizard's dialog set with Back
    /// sets it to "B", leaving it forward empties it.
    std::string DirectionVariable;

    /// The service the pages are shown with: the machine's, or one answered from the
    /// answer file when the machine has none.
    platform::TemplateDialogService& Service(Engine& engine);
    /// Shows the pages with `service` instead (it outlives the state).
    void UseService(platform::TemplateDialogService& service) { Shown = &service; }
    /// The wizard frame, made on first use; 0 when it cannot be made.
    std::uintptr_t Frame(Engine& engine);
    WizardFrame* FrameProcedure() const { return FrameOwner.get(); }
    /// Closes the frame (the end of a wizard, or of the run).
    void CloseFrame();

private:
    std::unique_ptr<platform::TemplateDialogService> Answered;
    platform::TemplateDialogService* Shown = nullptr;
    std::unique_ptr<WizardFrame> FrameOwner;
    std::uintptr_t FrameWindow = 0;
};

/// The engine's dialog state, made on first use.
DialogState& DialogsOf(Engine& engine);

/// The confirm-exit question (message 31, Yes/No): true when the user confirms. The
/// engine dialog on show owns the box, so that it comes up over that dialog.
bool ConfirmExit(Engine& engine, std::uintptr_t owner = 0);

/// Opcode 20: runs the record's dialog set. 0 to go on, -2 to abort the run.
int CustomDialogSet(Engine& engine, ActionRecord& record);

/// Runs a decompressed dialog set from its first dialog: 0 when it is left with Back,
/// Finish or its own end, -2 when the run must end (Cancel, or a set that cannot be shown).
int RunDialogSet(Engine& engine, std::span<const std::uint8_t> block);

/// The window class of the wizard frame.
inline constexpr std::string_view WizardFrameClass = "KTRSWizard";
/// Prefix of the answer file's names that answer dialogs ("Dialog.Caption = press 1").
inline constexpr std::string_view DialogAnswerPrefix = "Dialog.";

} // namespace vorn
