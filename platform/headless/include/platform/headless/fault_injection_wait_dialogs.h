// A wait dialog that fails to open on purpose, for tests of the work that goes on
// without it.
#pragma once

#include "platform/headless/fault_injection.h"
#include "platform/wait_dialog.h"

namespace platform {

enum class WaitDialogCall { OpenWaitDialog };

/// Passes every call to `inner` unless the plan fails it: then no dialog opens (0). The
/// planned error is not used.
class FaultInjectingWaitDialogs final : public WaitDialogService {
public:
    explicit FaultInjectingWaitDialogs(WaitDialogService& inner) : Inner(inner) {}

    FaultPlan<WaitDialogCall> Plan;

    std::uintptr_t OpenWaitDialog(std::uintptr_t owner, std::string_view text) override;
    void CloseWaitDialog(std::uintptr_t dialog) override { Inner.CloseWaitDialog(dialog); }

private:
    WaitDialogService& Inner;
};

} // namespace platform
