// The uninstaller's dialogs without a display: every control's state is kept, and a
// script of steps plays the user.
#pragma once

#include "platform/uninstall_dialogs.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform {

class HeadlessUninstallDialogs final : public UninstallDialogService {
public:
    struct Control {
        std::string Text;
        bool Visible = true;
        bool Enabled = true;
        bool Checked = false;
        std::vector<std::string> Lines;
        std::vector<bool> Selected;
    };

    /// An open dialog: its controls by id, and the buttons a step presses.
    class Dialog final : public ModelessDialog, public DialogControls {
    public:
        Dialog(DialogHandler& handler, std::string title)
            : Handler(handler), Title(std::move(title)) {}
        DialogControls& Controls() override { return *this; }
        /// WM_COMMAND of the button, as a click sends it.
        void Press(int id) { Handler.Command(*this, id); }

        void SetDlgItemTextA(int id, std::string_view text) override { Items[id].Text = text; }
        std::string GetDlgItemTextA(int id) const override;
        void ShowDlgItem(int id, bool shown) override { Items[id].Visible = shown; }
        bool IsDlgItemVisible(int id) const override;
        void EnableDlgItem(int id, bool enabled) override { Items[id].Enabled = enabled; }
        bool IsDlgItemEnabled(int id) const override;
        void CheckRadioButton(int first, int last, int checked) override;
        bool IsDlgButtonChecked(int id) const override;
        void ListResetContent(int id) override;
        int ListAddString(int id, std::string_view text) override;
        void ListSetSel(int id, int index, bool selected) override;
        bool ListGetSel(int id, int index) const override;
        int ListGetCount(int id) const override;
        void ListFitHorizontalExtent(int) override {}
        Rect FrameInterior(int) const override { return {0, 0, 300, 12}; }
        void SetPaintedBlocks(std::vector<Rect> blocks, ColorRef, Rect) override;

        DialogHandler& Handler;
        std::string Title;
        std::map<int, Control> Items;
        std::vector<Rect> Blocks;
        /// How many times the painted blocks changed.
        int Paints = 0;
        bool Destroyed = false;
        int Result = 0;
    };

    void ShowBackground(std::string_view title, std::span<const ColorRef> bands) override;
    std::unique_ptr<ModelessDialog> CreateWizard(std::string_view title, const UninstallLook& look,
                                                 DialogHandler& handler) override;
    int DialogBoxParamA(int templateId, std::string_view title, DialogHandler& handler) override;
    void EndDialog(DialogControls& dialog, int result) override;
    /// With `wait`, runs the next step on the open wizard; when none is left, presses
    /// Cancel, so a script that ends early cannot hang the run.
    bool PumpMessages(bool wait) override;
    int MessageBoxA(std::string_view text, std::string_view caption, unsigned type) override;
    /// Answers with `OpenFileAnswer`.
    std::string GetOpenFileNameA(std::string_view, std::string_view, std::string_view) override {
        return OpenFileAnswer;
    }

    /// The user's actions, one per wait for a message.
    std::deque<std::function<void(Dialog&)>> Steps;
    /// The buttons pressed on the shared-file questions in turn; "No to All" when out.
    std::deque<int> SharedAnswers;
    /// The answers of message boxes in turn; Yes (6) when out.
    std::deque<int> BoxAnswers;

    std::string OpenFileAnswer;
    /// The wizard while it is open.
    Dialog* Wizard = nullptr;
    std::vector<std::string> Questions;
    std::vector<std::string> Boxes;
    std::size_t BackgroundBands = 0;
};

} // namespace platform
