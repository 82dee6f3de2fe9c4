// Dialogs made from in-memory dialog templates: the window a dialog procedure works on,
// the procedure's events, and the service that shows such dialogs modally or modeless,
// with their fonts, help and the frame window that holds modeless wizard pages.
#pragma once

#include "platform/dialog_template.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// A shown dialog as its procedure sees it: the Win32 calls on it and its controls,
/// controls named by number.
class DialogWindow {
public:
    virtual ~DialogWindow() = default;
    virtual std::uintptr_t Handle() const = 0;
    /// GetDlgItemTextA into a 256-byte buffer: at most 255 characters.
    virtual std::string GetDlgItemTextA(int control) = 0;
    virtual bool SetDlgItemTextA(int control, std::string_view text) = 0;
    virtual bool CheckDlgButton(int control, bool checked) = 0;
    virtual bool IsDlgButtonChecked(int control) = 0;
    /// LB_ADDSTRING: the new item's index, or -1.
    virtual int AddListItem(int control, std::string_view text) = 0;
    /// LB_RESETCONTENT: the list holds no items.
    virtual bool ResetList(int control) = 0;
    /// LB_GETCOUNT; -1 when the control is no list.
    virtual int ListItemCount(int control) = 0;
    virtual std::string ListItemText(int control, int index) = 0;
    /// LB_SETSEL on a multiple-selection list, LB_SETCURSEL on another.
    virtual bool SelectListItem(int control, int index, bool selected) = 0;
    virtual bool IsListItemSelected(int control, int index) = 0;
    /// LB_SETTABSTOPS, in dialog units.
    virtual bool SetListTabStops(int control, std::span<const int> stops) = 0;
    /// SetFocus on the control (WM_NEXTDLGCTL, so the default button follows).
    virtual void SetFocus(int control) = 0;
    /// WM_SETFONT of the control; the caller keeps the font alive while it is shown.
    virtual void SetControlFont(int control, std::uintptr_t font) = 0;
    virtual bool SetWindowTextA(std::string_view text) = 0;
    /// EndDialog: the dialog ends with `result` once the procedure returns.
    virtual void EndDialog(std::intptr_t result) = 0;
};

/// What a dialog does with its events (the dialog procedure).
class DialogProcedure {
public:
    virtual ~DialogProcedure() = default;
    /// WM_INITDIALOG: the controls exist and can be filled.
    virtual void InitDialog(DialogWindow& dialog) = 0;
    /// WM_COMMAND: a control's notification (dlg::BnClicked, dlg::LbnDblClk ...). Enter
    /// arrives as dlg::IdOk from the default button, Escape and the close box as dlg::IdCancel.
    virtual void Command(DialogWindow& dialog, int control, int notification) = 0;
    /// F1 (WM_HELP).
    virtual void Help(DialogWindow&) {}
};

/// What the frame window of wizard pages does when the user closes it.
class FrameProcedure {
public:
    virtual ~FrameProcedure() = default;
    /// The close box or the system menu's Close.
    virtual void Close() = 0;
};

/// WinHelpA commands.
namespace help {
inline constexpr std::uint32_t Context = 0x1;
inline constexpr std::uint32_t Quit = 0x2;
inline constexpr std::uint32_t Contents = 0x3;
} // namespace help

class TemplateDialogService {
public:
    virtual ~TemplateDialogService() = default;

    /// DialogBoxIndirectParamA: shows the dialog owned by `owner` until its procedure calls
    /// EndDialog and returns that value; -1 when it cannot be shown (LastError says why).
    virtual std::intptr_t DialogBoxIndirectParamA(std::span<const std::uint8_t> dialogTemplate,
                                                  std::uintptr_t owner,
                                                  DialogProcedure& procedure) = 0;
    /// CreateDialogIndirectParamA as a child of `parent`, then the page's own message loop
    /// until its procedure calls EndDialog; the window is destroyed and the value returned,
    /// -1 when it cannot be shown.
    virtual std::intptr_t RunModelessIndirect(std::span<const std::uint8_t> dialogTemplate,
                                              std::uintptr_t parent,
                                              DialogProcedure& procedure) = 0;

    /// A popup frame with caption and system menu (dialog-modal frame) of the registered
    /// class `className`, client area `width` x `height` pixels, owned by `owner`, which is
    /// disabled while the frame lives. The system menu's Restore, Size, Minimize and
    /// Maximize are greyed. 0 on failure.
    virtual std::uintptr_t CreateWizardFrame(std::string_view className, std::string_view title,
                                             int width, int height, std::uintptr_t owner,
                                             FrameProcedure& procedure) = 0;
    /// Destroys a frame (enabling its owner again).
    virtual bool DestroyWizardFrame(std::uintptr_t frame) = 0;
    /// Shows a packed bitmap (its header, colours, then its rows from byte `bitsOffset`) at
    /// the top left of the frame, cut to a band `band` pixels wide at its left edge; the
    /// pages are placed to the right of the band. The frame keeps its own copy. False where
    /// frames show no pictures.
    virtual bool SetWizardPicture(std::uintptr_t /*frame*/,
                                  std::span<const std::uint8_t> /*packedBitmap*/,
                                  std::size_t /*bitsOffset*/, int /*band*/) {
        return false;
    }

    /// CreateFontIndirectA; 0 when the font cannot be made. DeleteObject releases it.
    virtual std::uintptr_t CreateFontIndirectA(const LogFontA& font) = 0;
    virtual bool DeleteObject(std::uintptr_t font) = 0;

    /// WinHelpA.
    virtual bool WinHelpA(std::uintptr_t window, std::string_view helpFile, std::uint32_t command,
                          std::uintptr_t data) = 0;

    /// Why the last dialog could not be shown (a broken template, no answer for it).
    virtual std::string LastError() const = 0;
};

/// Deletes a font made by a TemplateDialogService.
struct DialogFontTraits {
    using Handle = std::uintptr_t;
    static constexpr Handle Null = 0;
    TemplateDialogService* Service = nullptr;
    void Release(Handle font) { Service->DeleteObject(font); }
};

/// What the user does in one showing of a dialog, for dialogs without a display. `Dialog`
/// names it by its caption (ignoring case); `Steps` are separated by ";":
///   text N value   -- types `value` into control N
///   check N        -- checks box or radio button N (a radio button unchecks its group)
///   uncheck N
///   select N i ... -- selects items i ... (from 0) of list N, nothing else
///   choose N i     -- double-clicks item i of list N
///   press N        -- clicks button N (1 is OK, 2 is Cancel)
///   help           -- presses F1
/// A dialog its answer leaves open takes the next answer for it.
struct DialogAnswer {
    std::string Dialog;
    std::string Steps;
};

/// Dialogs that nobody sees, answered from `answers` in order; a dialog with no answer
/// left fails (-1) and LastError names it. Defined by platform_headless.
std::unique_ptr<TemplateDialogService> MakeAnsweredDialogs(std::vector<DialogAnswer> answers);

} // namespace platform
