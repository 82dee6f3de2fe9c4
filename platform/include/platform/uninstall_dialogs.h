// The uninstaller's windows: its wizard dialog and shared-file question, made from the
// program's dialog templates, with the list box of many selections the wizard's pages
// need, and the full-screen background window behind them.
#pragma once

#include "platform/gdi.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// The controls of an open dialog, addressed by their ids in the template, with the
/// Win32 call each stands in for.
class DialogControls {
public:
    virtual ~DialogControls() = default;

    virtual void SetDlgItemTextA(int id, std::string_view text) = 0;
    virtual std::string GetDlgItemTextA(int id) const = 0;
    /// ShowWindow of the control, SW_SHOW or SW_HIDE.
    virtual void ShowDlgItem(int id, bool shown) = 0;
    virtual bool IsDlgItemVisible(int id) const = 0;
    /// EnableWindow of the control.
    virtual void EnableDlgItem(int id, bool enabled) = 0;
    virtual bool IsDlgItemEnabled(int id) const = 0;
    virtual void CheckRadioButton(int first, int last, int checked) = 0;
    virtual bool IsDlgButtonChecked(int id) const = 0;

    /// A list box of many selections: LB_RESETCONTENT, LB_ADDSTRING (the index of the
    /// entry), LB_SETSEL (index -1: every entry), LB_GETSEL and LB_GETCOUNT.
    virtual void ListResetContent(int id) = 0;
    virtual int ListAddString(int id, std::string_view text) = 0;
    virtual void ListSetSel(int id, int index, bool selected) = 0;
    virtual bool ListGetSel(int id, int index) const = 0;
    virtual int ListGetCount(int id) const = 0;
    /// LB_SETHORIZONTALEXTENT to the width of the longest entry in the list's font.
    virtual void ListFitHorizontalExtent(int id) = 0;

    /// The inside of a frame control (its rectangle less its border), in the dialog's
    /// client pixels.
    virtual Rect FrameInterior(int id) const = 0;
    /// Rectangles filled with `color` over the dialog each time it paints (SetBkColor and
    /// ExtTextOutA with ETO_OPAQUE), inside a black frame drawn around `outline`; replaces
    /// the ones set before and repaints.
    virtual void SetPaintedBlocks(std::vector<Rect> blocks, ColorRef color, Rect outline) = 0;
};

/// What a dialog asks of its owner.
class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    /// WM_INITDIALOG.
    virtual void InitDialog(DialogControls& dialog) = 0;
    /// WM_COMMAND of a button (BN_CLICKED), IDOK for Enter and IDCANCEL for Escape and
    /// the close box.
    virtual void Command(DialogControls& dialog, int id) = 0;
};

/// A modeless dialog; destroying the object destroys its window.
class ModelessDialog {
public:
    virtual ~ModelessDialog() = default;
    virtual DialogControls& Controls() = 0;
};

/// How the wizard's heading looks and the colours of the background window.
struct UninstallLook {
    /// The heading font: 16 points, bold, italic, roman family.
    std::string TitleFont = "Times New Roman";
    int FontCharSet = 0;
    /// The background gradient, top and bottom.
    ColorRef StartColor = 0xFF0000;
    ColorRef EndColor = 0;
};

class UninstallDialogService {
public:
    virtual ~UninstallDialogService() = default;

    /// The full-screen background window of the class "KTRSUninstall", painted as
    /// `bands` horizontal bands from top to bottom; the wizard and the questions are
    /// centred over it. Not shown when `bands` is empty.
    virtual void ShowBackground(std::string_view title, std::span<const ColorRef> bands) = 0;
    /// The wizard (template 106), centred, with its bitmap and heading font; null when the
    /// dialog cannot be made.
    virtual std::unique_ptr<ModelessDialog>
    CreateWizard(std::string_view title, const UninstallLook& look, DialogHandler& handler) = 0;
    /// The shared-file question (template 104) as a modal dialog: the id of the button
    /// that closed it, or -1 when it could not be shown.
    virtual int DialogBoxParamA(int templateId, std::string_view title, DialogHandler& handler) = 0;
    /// Ends a modal dialog with `result` (EndDialog).
    virtual void EndDialog(DialogControls& dialog, int result) = 0;
    /// Handles waiting messages; with `wait`, first waits for one to come. False when the
    /// quit message came (it stays queued for the program's own loop).
    virtual bool PumpMessages(bool wait) = 0;
    /// The file-open dialog (GetOpenFileNameA) with one filter, `description` for
    /// `pattern`, and `fileName` filled in: the full path chosen, empty when cancelled.
    virtual std::string GetOpenFileNameA(std::string_view description, std::string_view pattern,
                                         std::string_view fileName) = 0;
    /// A message box over the wizard (MessageBoxA): the pressed button's id.
    virtual int MessageBoxA(std::string_view text, std::string_view caption, unsigned type) = 0;
};

} // namespace platform
