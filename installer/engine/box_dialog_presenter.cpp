// The engine's message box from its dialog template.
#include "box_dialog_presenter.h"

#include "message_box_layout.h"

namespace vorn {

namespace {
constexpr int BoldWeight = 700;
constexpr int LightWeight = 300;
} // namespace

TemplateBoxPresenter::TemplateBoxPresenter(platform::MessageBoxService& boxes,
                                           platform::BoxDialogService* dialogs)
    : Standard(boxes), Dialogs(dialogs) {}

void TemplateBoxPresenter::UseFont(std::string faceName, std::uint8_t charSet, int pointSize,
                                   bool bold) {
    Font.FaceName = std::move(faceName);
    Font.CharSet = charSet;
    Font.PointSize = pointSize;
    Font.Weight = bold ? BoldWeight : LightWeight;
}

BoxButton TemplateBoxPresenter::Present(const BoxRequest& request) {
    if (Dialogs == nullptr || request.Owner == 0) {
        return Standard.Present(request);
    }
    platform::BoxDialogRequest shown = Font;
    shown.Owner = request.Owner;
    shown.Title = request.Title;
    shown.Text = request.Text;
    shown.Captions = {request.FirstCaption, request.SecondCaption, request.CancelCaption};
    shown.Icon = MessageBoxIconValue(request.Icon);
    const int pressed =
        Dialogs->ShowBoxDialog(shown, [](const platform::BoxDialogParts& parts,
                                         platform::Size measured, int buttons, bool icon) {
            BoxLayout layout =
                LayOutMessageBox({parts.Dialog, parts.Text, parts.Button}, measured, buttons, icon);
            return platform::BoxDialogPlacement{layout.Dialog, layout.Text,
                                                std::move(layout.Buttons), layout.Icon};
        });
    switch (pressed) {
    case -1:
        return Standard.Present(request);
    case 1:
        return BoxButton::First;
    case 3:
        return BoxButton::Second;
    default:
        return BoxButton::Cancel;
    }
}

} // namespace vorn
