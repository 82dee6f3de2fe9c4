// The beep, window timers and the save-file dialog failing on purpose.
#include "platform/headless/fault_injection_user_prompts.h"

namespace platform {

void FaultInjectingUserPrompts::MessageBeep(std::uint32_t type) {
    if (!Plan.Use(UserPromptCall::MessageBeep)) {
        Inner.MessageBeep(type);
    }
}

bool FaultInjectingUserPrompts::SetTimer(std::uintptr_t window, std::uintptr_t id,
                                         unsigned milliseconds) {
    return !Plan.Use(UserPromptCall::SetTimer) && Inner.SetTimer(window, id, milliseconds);
}

void FaultInjectingUserPrompts::KillTimer(std::uintptr_t window, std::uintptr_t id) {
    if (!Plan.Use(UserPromptCall::KillTimer)) {
        Inner.KillTimer(window, id);
    }
}

std::string FaultInjectingUserPrompts::GetSaveFileNameA(std::uintptr_t owner,
                                                        std::string_view description,
                                                        std::string_view pattern,
                                                        std::string_view fileName) {
    if (Plan.Use(UserPromptCall::GetSaveFileNameA)) {
        return {};
    }
    return Inner.GetSaveFileNameA(owner, description, pattern, fileName);
}

} // namespace platform
