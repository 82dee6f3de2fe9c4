// Small things the install engine asks of the user's desktop: the warning beep, a timer
// on a window while a long call runs, and the common save-file dialog.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

/// MessageBeep's sound for a warning (MB_ICONEXCLAMATION).
inline constexpr std::uint32_t BeepExclamation = 0x30;

class UserPromptService {
public:
    virtual ~UserPromptService() = default;

    /// MessageBeep(type).
    virtual void MessageBeep(std::uint32_t type) = 0;
    /// SetTimer(window, id, milliseconds) without a timer procedure: the window gets the
    /// timer messages. False when no timer could be made.
    virtual bool SetTimer(std::uintptr_t window, std::uintptr_t id, unsigned milliseconds) = 0;
    virtual void KillTimer(std::uintptr_t window, std::uintptr_t id) = 0;
    /// The save-file dialog (GetSaveFileNameA) owned by `owner`, with one filter,
    /// `description` for `pattern`, proposing `fileName`: the full name chosen, empty when
    /// the user cancelled.
    virtual std::string GetSaveFileNameA(std::uintptr_t owner, std::string_view description,
                                         std::string_view pattern, std::string_view fileName) = 0;
};

} // namespace platform
