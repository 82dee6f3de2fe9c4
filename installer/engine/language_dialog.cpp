// The language dialog.
#include "language_dialog.h"

#include "custom_dialog_set.h"
#include "engine.h"

namespace vorn {

namespace {

namespace dlg = platform::dlg;

class LanguageProcedure final : public platform::DialogProcedure {
public:
    explicit LanguageProcedure(const LanguageRequest& request) : Request(request) {}
    std::optional<std::size_t> Chosen;

    void InitDialog(platform::DialogWindow& dialog) override {
        dialog.SetDlgItemTextA(language_dialog::Prompt, Request.Prompt);
        for (const std::string& name : Request.Names) {
            dialog.AddListItem(language_dialog::Languages, name);
        }
        int selected = Request.UserLanguage ? static_cast<int>(*Request.UserLanguage) : 0;
        dialog.SelectListItem(language_dialog::Languages, selected, true);
        if (Request.UserLanguage && Request.CloseOnUserLanguage) {
            Choose(dialog);
        }
    }

    void Command(platform::DialogWindow& dialog, int control, int notification) override {
        if (control == dlg::IdOk ||
            (control == language_dialog::Languages && notification == dlg::LbnDblClk)) {
            Choose(dialog);
        } else if (control == dlg::IdCancel) {
            dialog.EndDialog(dlg::IdCancel);
        }
    }

private:
    void Choose(platform::DialogWindow& dialog) {
        for (int i = 0; i < dialog.ListItemCount(language_dialog::Languages); ++i) {
            if (dialog.IsListItemSelected(language_dialog::Languages, i)) {
                Chosen = static_cast<std::size_t>(i);
                dialog.EndDialog(dlg::IdOk);
                return;
            }
        }
    }

    const LanguageRequest& Request;
};

} // namespace

platform::DialogTemplate LanguageDialogTemplate(const LanguageRequest& request) {
    using platform::ControlKind;
    platform::DialogTemplate form;
    form.Style |= dlg::DsSetFont;
    form.Caption = request.Title;
    form.PointSize = 8;
    form.FaceName = "MS Sans Serif";
    form.Width = 180;
    form.Height = 120;
    form.Controls = {
        platform::MakeDialogControl(ControlKind::Static, 0, language_dialog::Prompt, "", 7, 7, 166,
                                    18),
        platform::MakeDialogControl(ControlKind::ListBox,
                                    dlg::WsBorder | dlg::WsVScroll | dlg::LbsNotify |
                                        dlg::WsTabStop | dlg::WsGroup,
                                    language_dialog::Languages, "", 7, 28, 166, 64),
        platform::MakeDialogControl(ControlKind::Button,
                                    dlg::BsDefPushButton | dlg::WsTabStop | dlg::WsGroup, dlg::IdOk,
                                    "OK", 40, 99, 50, 14),
        platform::MakeDialogControl(ControlKind::Button, dlg::WsTabStop, dlg::IdCancel, "Cancel",
                                    95, 99, 50, 14),
    };
    return form;
}

LanguageChoice LanguageDlg(Engine& engine, const LanguageRequest& request) {
    LanguageProcedure procedure(request);
    platform::TemplateDialogService& service = DialogsOf(engine).Service(engine);
    std::vector<std::uint8_t> form = platform::WriteDialogTemplate(LanguageDialogTemplate(request));
    std::intptr_t result =
        service.DialogBoxIndirectParamA(form, engine.Services.Host.MainWindow(), procedure);
    if (result == -1) {
        return {std::nullopt, service.LastError()};
    }
    return {result == dlg::IdOk ? procedure.Chosen : std::nullopt, {}};
}

} // namespace vorn
