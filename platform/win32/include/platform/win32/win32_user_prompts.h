// The beep, window timers and the save-file dialog on Windows: USER32 and COMDLG32.
#pragma once

#include "platform/user_prompts.h"

namespace platform {

class Win32UserPrompts final : public UserPromptService {
public:
    void MessageBeep(std::uint32_t type) override;
    bool SetTimer(std::uintptr_t window, std::uintptr_t id, unsigned milliseconds) override;
    void KillTimer(std::uintptr_t window, std::uintptr_t id) override;
    std::string GetSaveFileNameA(std::uintptr_t owner, std::string_view description,
                                 std::string_view pattern, std::string_view fileName) override;
};

} // namespace platform
