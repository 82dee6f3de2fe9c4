// The path dialog.
#include "path_name_dialog.h"

#include "custom_dialog_set.h"
#include "engine.h"
#include "engine_message_box.h"

namespace vorn {

namespace {

namespace dlg = platform::dlg;
using platform::ControlKind;

constexpr std::intptr_t Cancelled = 2;
constexpr std::size_t PromptStart = 8;
constexpr std::size_t PromptEnd = 9;
constexpr std::size_t DirectoryCaption = 10;

int PathControl(const PathRequest& request) {
    return request.Prompt.empty() ? path_dialog::AlternativePath : path_dialog::Path;
}

class PathProcedure final : public platform::DialogProcedure {
public:
    PathProcedure(Engine& engine, const PathRequest& request) : Run(engine), Request(request) {}
    std::string Accepted;

    void InitDialog(platform::DialogWindow& dialog) override {
        dialog.SetDlgItemTextA(PathControl(Request), Request.Path);
    }

    void Command(platform::DialogWindow& dialog, int control, int) override {
        if (control == dlg::IdOk) {
            Accepted = dialog.GetDlgItemTextA(PathControl(Request));
            if (!Accepted.empty()) {
                dialog.EndDialog(dlg::IdOk);
            }
        } else if (control == dlg::IdCancel && ConfirmExit(Run, dialog.Handle())) {
            dialog.EndDialog(Cancelled);
        }
    }

private:
    Engine& Run;
    const PathRequest& Request;
};

} // namespace

platform::DialogTemplate PathDialogTemplate(const Engine& engine, const PathRequest& request) {
    platform::DialogTemplate form;
    form.Style |= dlg::DsSetFont;
    form.Caption = request.Title;
    form.PointSize = 8;
    form.FaceName = "MS Sans Serif";
    form.Width = 220;
    form.Height = 96;
    form.Controls = {
        platform::MakeDialogControl(ControlKind::Static, 0, path_dialog::Label, request.Label, 7, 7,
                                    206, 12),
        platform::MakeDialogControl(ControlKind::Static, 0, path_dialog::Prompt, request.Prompt, 7,
                                    22, 206, 20),
        platform::MakeDialogControl(ControlKind::Edit,
                                    dlg::WsBorder | dlg::EsAutoHScroll | dlg::WsTabStop,
                                    PathControl(request), "", 7, 46, 206, 12),
        platform::MakeDialogControl(
            ControlKind::Button, dlg::BsDefPushButton | dlg::WsTabStop | dlg::WsGroup, dlg::IdOk,
            std::string(engine.Message(msg::OkCaption, "OK")), 106, 75, 50, 14),
        platform::MakeDialogControl(ControlKind::Button, dlg::WsTabStop, dlg::IdCancel,
                                    std::string(engine.Message(msg::CancelCaption, "Cancel")), 163,
                                    75, 50, 14),
    };
    return form;
}

PathAnswer PathNameDlg(Engine& engine, const PathRequest& request) {
    PathProcedure procedure(engine, request);
    platform::TemplateDialogService& service = DialogsOf(engine).Service(engine);
    std::vector<std::uint8_t> form =
        platform::WriteDialogTemplate(PathDialogTemplate(engine, request));
    std::intptr_t result =
        service.DialogBoxIndirectParamA(form, engine.Services.Host.MainWindow(), procedure);
    if (result == -1) {
        return {std::nullopt, service.LastError()};
    }
    if (result != dlg::IdOk) {
        return {};
    }
    return {procedure.Accepted, {}};
}

bool ConfirmPredefinedDirectories(Engine& engine, PredefinedDirectories& directories) {
    static constexpr const char* Labels[] = {"Windows", "System", "System32", "Temp", "Source"};
    for (std::size_t i = 0; i < directories.size(); ++i) {
        PathRequest request{std::string(engine.Message(DirectoryCaption)), Labels[i],
                            std::string(engine.Message(PromptStart)) + Labels[i] +
                                std::string(engine.Message(PromptEnd)),
                            directories[i]};
        PathAnswer answer = PathNameDlg(engine, request);
        if (!answer.Error.empty()) {
            ReportError(engine, std::string(DefaultErrorText) + "\n\n" + answer.Error);
        }
        if (!answer.Path) {
            return false;
        }
        directories[i] = *answer.Path;
    }
    return true;
}

} // namespace vorn
