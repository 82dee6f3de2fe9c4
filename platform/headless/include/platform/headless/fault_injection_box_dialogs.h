// A template message box that fails to show on purpose, for tests of the fallback to
// the system's message box.
#pragma once

#include "platform/box_dialog.h"
#include "platform/headless/fault_injection.h"

namespace platform {

enum class BoxDialogCall { ShowBoxDialog };

/// Passes every call to `inner` unless the plan fails it: then the box cannot be shown
/// (-1). The planned error is not used.
class FaultInjectingBoxDialogs final : public BoxDialogService {
public:
    explicit FaultInjectingBoxDialogs(BoxDialogService& inner) : Inner(inner) {}

    FaultPlan<BoxDialogCall> Plan;

    int
    ShowBoxDialog(const BoxDialogRequest& request,
                  const std::function<BoxDialogPlacement(const BoxDialogParts& parts, Size measured,
                                                         int buttons, bool icon)>& layOut) override;

private:
    BoxDialogService& Inner;
};

} // namespace platform
