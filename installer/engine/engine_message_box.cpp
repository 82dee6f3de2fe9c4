// The engine's own message box.
#include "engine_message_box.h"

#include "box_dialog_presenter.h"
#include "engine.h"
#include "platform/message_box.h"

namespace vorn {

namespace {

// MessageBoxA values the platform header does not name.
constexpr unsigned YesNoCancel = 0x3;
constexpr unsigned IconStopValue = 0x10;
constexpr unsigned IconQuestionValue = 0x20;

BoxIcon IconOf(int style) {
    switch (style & box::IconMask) {
    case box::IconInformation:
        return BoxIcon::Information;
    case box::IconExclamation:
        return BoxIcon::Exclamation;
    case box::IconQuestion:
        return BoxIcon::Question;
    case box::IconStop:
        return BoxIcon::Stop;
    default:
        return BoxIcon::None;
    }
}

BoxRequest MakeRequest(const Engine& engine, std::uintptr_t owner, std::string_view text,
                       std::string_view title, int style) {
    bool alternative = (style & box::AlternativeCaptions) != 0;
    BoxRequest request;
    request.Owner = owner != 0 ? owner : engine.Services.Host.DefaultBoxOwner();
    request.Text = text;
    request.Title = title;
    if ((style & box::YesNo) != 0) {
        request.FirstCaption =
            engine.Message(alternative ? msg::AlternativeYesCaption : msg::YesCaption, "Yes");
        request.SecondCaption =
            engine.Message(alternative ? msg::AlternativeNoCaption : msg::NoCaption, "No");
    } else {
        request.FirstCaption = engine.Message(msg::OkCaption, "OK");
    }
    if ((style & box::NoCancel) == 0) {
        request.CancelCaption = engine.Message(
            alternative ? msg::AlternativeCancelCaption : msg::CancelCaption, "Cancel");
        // A table with an empty caption must not take the button away.
        if (request.CancelCaption.empty()) {
            request.CancelCaption = "Cancel";
        }
    }
    request.Icon = IconOf(style);
    return request;
}

} // namespace

unsigned MessageBoxIconValue(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Information:
        return platform::mb::IconInformation;
    case BoxIcon::Exclamation:
        return platform::mb::IconExclamation;
    case BoxIcon::Question:
        return IconQuestionValue;
    case BoxIcon::Stop:
        return IconStopValue;
    case BoxIcon::None:
        break;
    }
    return 0;
}

BoxButton StandardBoxPresenter::Present(const BoxRequest& request) {
    bool twoAnswers = !request.SecondCaption.empty();
    bool cancel = !request.CancelCaption.empty();
    unsigned type = twoAnswers ? (cancel ? YesNoCancel : platform::mb::YesNo)
                               : (cancel ? platform::mb::OkCancel : platform::mb::Ok);
    type |= MessageBoxIconValue(request.Icon);
    switch (Boxes.MessageBoxA(request.Text, request.Title, type)) {
    case platform::id::Ok:
    case platform::id::Yes:
        return BoxButton::First;
    case platform::id::No:
        return BoxButton::Second;
    default:
        return BoxButton::Cancel;
    }
}

int EngineMessageBox(Engine& engine, std::uintptr_t owner, std::string_view text,
                     std::string_view title, int style) {
    if (engine.Services.Host.Silent()) {
        return answer::Ok;
    }
    BoxRequest request = MakeRequest(engine, owner, text, title, style);
    for (;;) {
        BoxButton button = engine.Services.Boxes.Present(request);
        if (button == BoxButton::First) {
            return answer::Ok;
        }
        // A box without Cancel that still reports it (closed some other way) counts as No
        // for Yes/No boxes and as OK for OK boxes: the user never had a Cancel to press.
        if (button == BoxButton::Second || request.CancelCaption.empty()) {
            return request.SecondCaption.empty() ? answer::Ok : answer::No;
        }
        if ((style & (box::AlternativeCaptions | box::CancelAtOnce)) != 0) {
            return answer::Cancelled;
        }
        BoxRequest confirm = MakeRequest(engine, request.Owner, engine.Message(msg::ConfirmExit),
                                         engine.Message(msg::QuestionTitle),
                                         box::YesNo | box::NoCancel | box::IconQuestion);
        // Only a plain No goes back to the first box; anything else confirms, so a box
        // that cannot be shown can never keep the engine asking for ever.
        if (engine.Services.Boxes.Present(confirm) != BoxButton::Second) {
            return answer::Cancelled;
        }
    }
}

void ReportError(Engine& engine, std::string_view text) {
    engine.AbortReason.Assign(text);
    EngineMessageBox(engine, 0, text, engine.Message(msg::ErrorTitle, DefaultErrorTitle),
                     box::NoCancel | box::IconStop);
}

} // namespace vorn
