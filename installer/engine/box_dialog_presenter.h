// The engine's message box as a dialog from the engine library's template, in the
// script's dialog font, where the machine can show it.
#pragma once

#include "engine_message_box.h"
#include "platform/box_dialog.h"

#include <cstdint>
#include <string>

namespace platform {
class MessageBoxService;
} // namespace platform

namespace vorn {

/// The MessageBoxA icon value of a box's icon; 0 for none.
unsigned MessageBoxIconValue(BoxIcon icon);

/// Shows boxes through the display's box dialog (template 114) when it offers one and
/// the box has an owner window; otherwise, and when the dialog cannot be shown, through
/// the system's message box.
class TemplateBoxPresenter final : public BoxPresenter {
public:
    TemplateBoxPresenter(platform::MessageBoxService& boxes, platform::BoxDialogService* dialogs);
    /// The script's dialog font; the weight is 700 when either of the context's box-text
    /// weight bits is set, else 300.
    void UseFont(std::string faceName, std::uint8_t charSet, int pointSize, bool bold);
    BoxButton Present(const BoxRequest& request) override;

private:
    StandardBoxPresenter Standard;
    platform::BoxDialogService* Dialogs = nullptr;
    platform::BoxDialogRequest Font;
};

} // namespace vorn
