// The uninstaller's dialogs without a display, played by a script.
#include "platform/headless/headless_uninstall_dialogs.h"

namespace platform {

namespace {

constexpr int Cancel = 2;
constexpr int Yes = 6;
constexpr int NoToAll = 1;

// The wizard's window, which tells the service when it goes.
class OwnedDialog final : public ModelessDialog {
public:
    OwnedDialog(std::unique_ptr<HeadlessUninstallDialogs::Dialog> dialog,
                HeadlessUninstallDialogs::Dialog*& open)
        : Shown(std::move(dialog)), Open(open) {}
    ~OwnedDialog() override { Open = nullptr; }
    DialogControls& Controls() override { return *Shown; }

private:
    std::unique_ptr<HeadlessUninstallDialogs::Dialog> Shown;
    HeadlessUninstallDialogs::Dialog*& Open;
};

} // namespace

std::string HeadlessUninstallDialogs::Dialog::GetDlgItemTextA(int id) const {
    const auto found = Items.find(id);
    return found == Items.end() ? std::string() : found->second.Text;
}

bool HeadlessUninstallDialogs::Dialog::IsDlgItemVisible(int id) const {
    const auto found = Items.find(id);
    return found == Items.end() || found->second.Visible;
}

bool HeadlessUninstallDialogs::Dialog::IsDlgItemEnabled(int id) const {
    const auto found = Items.find(id);
    return found == Items.end() || found->second.Enabled;
}

void HeadlessUninstallDialogs::Dialog::CheckRadioButton(int first, int last, int checked) {
    for (int id = first; id <= last; ++id) {
        Items[id].Checked = id == checked;
    }
}

bool HeadlessUninstallDialogs::Dialog::IsDlgButtonChecked(int id) const {
    const auto found = Items.find(id);
    return found != Items.end() && found->second.Checked;
}

void HeadlessUninstallDialogs::Dialog::ListResetContent(int id) {
    Items[id].Lines.clear();
    Items[id].Selected.clear();
}

int HeadlessUninstallDialogs::Dialog::ListAddString(int id, std::string_view text) {
    Control& list = Items[id];
    list.Lines.emplace_back(text);
    list.Selected.push_back(false);
    return static_cast<int>(list.Lines.size()) - 1;
}

void HeadlessUninstallDialogs::Dialog::ListSetSel(int id, int index, bool selected) {
    Control& list = Items[id];
    for (std::size_t i = 0; i < list.Selected.size(); ++i) {
        if (index < 0 || static_cast<std::size_t>(index) == i) {
            list.Selected[i] = selected;
        }
    }
}

bool HeadlessUninstallDialogs::Dialog::ListGetSel(int id, int index) const {
    const auto found = Items.find(id);
    return found != Items.end() && index >= 0 &&
           static_cast<std::size_t>(index) < found->second.Selected.size() &&
           found->second.Selected[static_cast<std::size_t>(index)];
}

int HeadlessUninstallDialogs::Dialog::ListGetCount(int id) const {
    const auto found = Items.find(id);
    return found == Items.end() ? 0 : static_cast<int>(found->second.Lines.size());
}

void HeadlessUninstallDialogs::Dialog::SetPaintedBlocks(std::vector<Rect> blocks, ColorRef, Rect) {
    Blocks = std::move(blocks);
    ++Paints;
}

void HeadlessUninstallDialogs::ShowBackground(std::string_view, std::span<const ColorRef> bands) {
    BackgroundBands = bands.size();
}

std::unique_ptr<ModelessDialog> HeadlessUninstallDialogs::CreateWizard(std::string_view title,
                                                                       const UninstallLook&,
                                                                       DialogHandler& handler) {
    auto dialog = std::make_unique<Dialog>(handler, std::string(title));
    Wizard = dialog.get();
    handler.InitDialog(*dialog);
    return std::make_unique<OwnedDialog>(std::move(dialog), Wizard);
}

int HeadlessUninstallDialogs::DialogBoxParamA(int, std::string_view, DialogHandler& handler) {
    Dialog dialog(handler, {});
    handler.InitDialog(dialog);
    Questions.push_back(dialog.GetDlgItemTextA(1002));
    int button = NoToAll;
    if (!SharedAnswers.empty()) {
        button = SharedAnswers.front();
        SharedAnswers.pop_front();
    }
    dialog.Press(button);
    return dialog.Result;
}

void HeadlessUninstallDialogs::EndDialog(DialogControls& dialog, int result) {
    auto& shown = static_cast<Dialog&>(dialog);
    shown.Result = result;
    shown.Destroyed = true;
}

bool HeadlessUninstallDialogs::PumpMessages(bool wait) {
    if (!wait || Wizard == nullptr) {
        return true;
    }
    if (Steps.empty()) {
        Wizard->Press(Cancel);
        return true;
    }
    const auto step = std::move(Steps.front());
    Steps.pop_front();
    step(*Wizard);
    return true;
}

int HeadlessUninstallDialogs::MessageBoxA(std::string_view text, std::string_view, unsigned) {
    Boxes.emplace_back(text);
    if (BoxAnswers.empty()) {
        return Yes;
    }
    const int answer = BoxAnswers.front();
    BoxAnswers.pop_front();
    return answer;
}

} // namespace platform
