// A wait dialog that fails to open on purpose.
#include "platform/headless/fault_injection_wait_dialogs.h"

namespace platform {

std::uintptr_t FaultInjectingWaitDialogs::OpenWaitDialog(std::uintptr_t owner,
                                                         std::string_view text) {
    return Plan.Use(WaitDialogCall::OpenWaitDialog) ? 0 : Inner.OpenWaitDialog(owner, text);
}

} // namespace platform
