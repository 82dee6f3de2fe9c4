// Template dialogs answered from a list.
#include "platform/headless/answered_dialogs.h"

#include "platform/ansi_text.h"

#include <algorithm>
#include <charconv>

namespace platform {

namespace {

// The controls of a dialog as plain state.
struct ControlState {
    const DialogControl* Form = nullptr;
    std::string Text;
    bool Checked = false;
    std::vector<std::string> Items;
    std::vector<bool> Selected;

    bool MultipleSelection() const {
        return (Form->Style & (dlg::LbsMultipleSel | dlg::LbsExtendedSel)) != 0;
    }
};

class HeadlessDialog final : public DialogWindow {
public:
    HeadlessDialog(const DialogTemplate& form, std::uintptr_t handle) : Form(form), Self(handle) {
        for (const DialogControl& control : form.Controls) {
            Controls.push_back({&control, control.Title.Text, false, {}, {}});
        }
    }

    const DialogTemplate& Form;
    bool Ended = false;
    std::intptr_t Result = 0;
    int Focus = 0;

    ControlState* Find(int id) {
        auto found = std::find_if(Controls.begin(), Controls.end(),
                                  [&](const ControlState& c) { return c.Form->Id == id; });
        return found != Controls.end() ? &*found : nullptr;
    }
    ControlState* FindList(int id) {
        ControlState* control = Find(id);
        return control != nullptr && control->Form->Kind == ControlKind::ListBox ? control
                                                                                 : nullptr;
    }

    std::vector<std::pair<int, std::string>> Texts() const {
        std::vector<std::pair<int, std::string>> texts;
        for (const ControlState& control : Controls) {
            std::string text = control.Text;
            if (control.Form->IsRadio() || control.Form->IsCheckBox()) {
                text = (control.Checked ? "[x] " : "[ ] ") + text;
            }
            for (std::size_t i = 0; i < control.Items.size(); ++i) {
                text += (text.empty() ? "" : "|") + std::string(control.Selected[i] ? "*" : "") +
                        control.Items[i];
            }
            texts.emplace_back(control.Form->Id, text);
        }
        return texts;
    }

    // A click on a radio button checks it and clears the others of its group: the
    // controls from the last one with WS_GROUP up to the next one with it.
    void CheckRadio(ControlState& chosen) {
        auto at = static_cast<std::size_t>(&chosen - Controls.data());
        std::size_t first = at;
        while (first > 0 && (Controls[first].Form->Style & dlg::WsGroup) == 0) {
            --first;
        }
        for (std::size_t i = first; i < Controls.size(); ++i) {
            if (i > first && (Controls[i].Form->Style & dlg::WsGroup) != 0) {
                break;
            }
            if (Controls[i].Form->IsRadio()) {
                Controls[i].Checked = i == at;
            }
        }
    }

    std::uintptr_t Handle() const override { return Self; }
    std::string GetDlgItemTextA(int control) override {
        ControlState* found = Find(control);
        return found != nullptr ? found->Text.substr(0, 255) : std::string();
    }
    bool SetDlgItemTextA(int control, std::string_view text) override {
        ControlState* found = Find(control);
        if (found != nullptr) {
            found->Text = text;
        }
        return found != nullptr;
    }
    bool CheckDlgButton(int control, bool checked) override {
        ControlState* found = Find(control);
        if (found != nullptr) {
            found->Checked = checked;
        }
        return found != nullptr;
    }
    bool IsDlgButtonChecked(int control) override {
        ControlState* found = Find(control);
        return found != nullptr && found->Checked;
    }
    int AddListItem(int control, std::string_view text) override {
        ControlState* list = FindList(control);
        if (list == nullptr) {
            return -1;
        }
        list->Items.emplace_back(text);
        list->Selected.push_back(false);
        return static_cast<int>(list->Items.size()) - 1;
    }
    bool ResetList(int control) override {
        ControlState* list = FindList(control);
        if (list != nullptr) {
            list->Items.clear();
            list->Selected.clear();
        }
        return list != nullptr;
    }
    int ListItemCount(int control) override {
        ControlState* list = FindList(control);
        return list != nullptr ? static_cast<int>(list->Items.size()) : -1;
    }
    std::string ListItemText(int control, int index) override {
        ControlState* list = FindList(control);
        return list != nullptr && index >= 0 && index < static_cast<int>(list->Items.size())
                   ? list->Items[static_cast<std::size_t>(index)]
                   : std::string();
    }
    bool SelectListItem(int control, int index, bool selected) override {
        ControlState* list = FindList(control);
        if (list == nullptr || index < -1 || index >= static_cast<int>(list->Items.size())) {
            return false;
        }
        if (!list->MultipleSelection()) {
            std::fill(list->Selected.begin(), list->Selected.end(), false);
        }
        if (index >= 0) {
            list->Selected[static_cast<std::size_t>(index)] = selected;
        } else {
            std::fill(list->Selected.begin(), list->Selected.end(), selected);
        }
        return true;
    }
    bool IsListItemSelected(int control, int index) override {
        ControlState* list = FindList(control);
        return list != nullptr && index >= 0 && index < static_cast<int>(list->Items.size()) &&
               list->Selected[static_cast<std::size_t>(index)];
    }
    bool SetListTabStops(int control, std::span<const int>) override {
        return FindList(control) != nullptr;
    }
    void SetFocus(int control) override { Focus = control; }
    void SetControlFont(int, std::uintptr_t) override {}
    bool SetWindowTextA(std::string_view) override { return true; }
    void EndDialog(std::intptr_t result) override {
        Ended = true;
        Result = result;
    }

private:
    std::vector<ControlState> Controls;
    std::uintptr_t Self;
};

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    while (!(text = TrimBlanks(text)).empty()) {
        std::size_t end = text.find(' ');
        words.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end);
    }
    return words;
}

bool Number(std::string_view word, int& value) {
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

// Takes one step of an answer; false when the step makes no sense for this dialog.
bool TakeStep(HeadlessDialog& dialog, DialogProcedure& procedure, std::string_view step) {
    std::vector<std::string_view> words = Words(step);
    if (words.empty()) {
        return true;
    }
    std::string verb = LowerAnsi(words[0]);
    if (verb == "help" && words.size() == 1) {
        procedure.Help(dialog);
        return true;
    }
    int id = 0;
    if (words.size() < 2 || !Number(words[1], id) || dialog.Find(id) == nullptr) {
        return false;
    }
    ControlState& control = *dialog.Find(id);
    if (verb == "text") {
        // The rest of the step as typed, inner blanks kept.
        std::string_view rest = TrimBlanks(step);
        rest = TrimBlanks(rest.substr(rest.find(words[1]) + words[1].size()));
        control.Text = rest;
        dialog.Focus = id;
        return true;
    }
    if (verb == "check" || verb == "uncheck") {
        if (verb == "check" && control.Form->IsRadio()) {
            dialog.CheckRadio(control);
        } else {
            control.Checked = verb == "check";
        }
        procedure.Command(dialog, id, dlg::BnClicked);
        return true;
    }
    if (verb == "select" || verb == "choose") {
        if (control.Form->Kind != ControlKind::ListBox) {
            return false;
        }
        std::fill(control.Selected.begin(), control.Selected.end(), false);
        for (std::size_t i = 2; i < words.size(); ++i) {
            int index = 0;
            if (!Number(words[i], index) || !dialog.SelectListItem(id, index, true)) {
                return false;
            }
        }
        procedure.Command(dialog, id, verb == "choose" ? dlg::LbnDblClk : dlg::LbnSelChange);
        return true;
    }
    if (verb == "press" && words.size() == 2) {
        if (control.Form->IsCheckBox()) {
            control.Checked = !control.Checked;
        } else if (control.Form->IsRadio()) {
            dialog.CheckRadio(control);
        }
        procedure.Command(dialog, id, dlg::BnClicked);
        return true;
    }
    return false;
}

} // namespace

std::intptr_t AnsweredDialogs::Run(std::span<const std::uint8_t> dialogTemplate,
                                   DialogProcedure& procedure) {
    Error.clear();
    DialogTemplateReadResult read = ReadDialogTemplate(dialogTemplate);
    if (!read.Template) {
        Error = read.Error;
        return -1;
    }
    HeadlessDialog dialog(*read.Template, NextHandle++);
    procedure.InitDialog(dialog);
    Shown.push_back({read.Template->Caption, dialog.Texts()});
    const std::string& caption = read.Template->Caption;
    while (!dialog.Ended) {
        auto answer = std::find_if(Answers.begin(), Answers.end(), [&](const DialogAnswer& a) {
            return EqualsIgnoringCase(a.Dialog, caption);
        });
        if (answer == Answers.end()) {
            Error = "no answer for the dialog \"" + caption + "\"";
            return -1;
        }
        std::string steps = answer->Steps;
        Answers.erase(answer);
        std::string_view rest = steps;
        while (!dialog.Ended && !rest.empty()) {
            std::size_t end = rest.find(';');
            std::string_view step = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            if (!TakeStep(dialog, procedure, step)) {
                Error = "the answer for the dialog \"" + caption +
                        "\" has a step it cannot take: \"" + std::string(TrimBlanks(step)) + "\"";
                return -1;
            }
        }
    }
    return dialog.Result;
}

std::intptr_t AnsweredDialogs::DialogBoxIndirectParamA(std::span<const std::uint8_t> dialogTemplate,
                                                       std::uintptr_t, DialogProcedure& procedure) {
    return Run(dialogTemplate, procedure);
}

std::intptr_t AnsweredDialogs::RunModelessIndirect(std::span<const std::uint8_t> dialogTemplate,
                                                   std::uintptr_t parent,
                                                   DialogProcedure& procedure) {
    if (Frames.count(parent) == 0) {
        Error = "a wizard page needs its frame window";
        return -1;
    }
    return Run(dialogTemplate, procedure);
}

std::uintptr_t AnsweredDialogs::CreateWizardFrame(std::string_view, std::string_view, int, int,
                                                  std::uintptr_t, FrameProcedure&) {
    std::uintptr_t frame = NextHandle++;
    Frames.insert(frame);
    return frame;
}

bool AnsweredDialogs::DestroyWizardFrame(std::uintptr_t frame) {
    return Frames.erase(frame) != 0;
}

std::uintptr_t AnsweredDialogs::CreateFontIndirectA(const LogFontA&) {
    std::uintptr_t font = NextHandle++;
    Fonts.insert(font);
    return font;
}

bool AnsweredDialogs::DeleteObject(std::uintptr_t font) {
    return Fonts.erase(font) != 0;
}

bool AnsweredDialogs::WinHelpA(std::uintptr_t, std::string_view helpFile, std::uint32_t command,
                               std::uintptr_t) {
    HelpCalls.push_back(std::to_string(command) + " " + std::string(helpFile));
    return true;
}

std::unique_ptr<TemplateDialogService> MakeAnsweredDialogs(std::vector<DialogAnswer> answers) {
    return std::make_unique<AnsweredDialogs>(std::move(answers));
}

} // namespace platform
