// A clipboard that fails on purpose, for tests of an export whose clipboard is busy.
#pragma once

#include "platform/clipboard.h"
#include "platform/headless/fault_injection.h"

namespace platform {

enum class ClipboardCall { OpenClipboard, EmptyClipboard, SetClipboardData, CloseClipboard };

/// Passes every call to `inner` unless the plan fails it; a failed call returns false
/// and does nothing (a failed SetClipboardData leaves the metafile with the caller).
class FaultInjectingClipboard final : public ClipboardService {
public:
    explicit FaultInjectingClipboard(ClipboardService& inner) : Inner(inner) {}

    bool OpenClipboard() override;
    bool EmptyClipboard() override;
    bool SetClipboardData(unsigned format, HENHMETAFILE metafile) override;
    bool CloseClipboard() override;

    FaultPlan<ClipboardCall> Plan;

private:
    ClipboardService& Inner;
};

} // namespace platform
