// A template message box that fails to show on purpose.
#include "platform/headless/fault_injection_box_dialogs.h"

namespace platform {

int FaultInjectingBoxDialogs::ShowBoxDialog(
    const BoxDialogRequest& request,
    const std::function<BoxDialogPlacement(const BoxDialogParts& parts, Size measured, int buttons,
                                           bool icon)>& layOut) {
    return Plan.Use(BoxDialogCall::ShowBoxDialog) ? -1 : Inner.ShowBoxDialog(request, layOut);
}

} // namespace platform
