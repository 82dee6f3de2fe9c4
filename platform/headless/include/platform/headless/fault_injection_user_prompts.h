// The beep, window timers and the save-file dialog failing on purpose at a chosen use of
// a chosen call.
#pragma once

#include "platform/headless/fault_injection.h"
#include "platform/user_prompts.h"

namespace platform {

enum class UserPromptCall {
    MessageBeep,
    SetTimer,
    KillTimer,
    GetSaveFileNameA,
};

/// Passes every call to `inner` unless the plan fails it: then the call does nothing and
/// returns its failure value (no beep, no timer, a timer that is not killed, a save
/// dialog that gives no name). The calls report no error, so the planned one is unused.
class FaultInjectingUserPrompts final : public UserPromptService {
public:
    explicit FaultInjectingUserPrompts(UserPromptService& inner) : Inner(inner) {}

    FaultPlan<UserPromptCall> Plan;

    void MessageBeep(std::uint32_t type) override;
    bool SetTimer(std::uintptr_t window, std::uintptr_t id, unsigned milliseconds) override;
    void KillTimer(std::uintptr_t window, std::uintptr_t id) override;
    std::string GetSaveFileNameA(std::uintptr_t owner, std::string_view description,
                                 std::string_view pattern, std::string_view fileName) override;

private:
    UserPromptService& Inner;
};

} // namespace platform
