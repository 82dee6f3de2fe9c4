// The beep, window timers and the save-file dialog on the sandbox machine.
#pragma once

#include "platform/posix/sandbox_machine.h"
#include "platform/user_prompts.h"

#include <map>
#include <utility>

namespace platform {

/// No one hears or sees anything: beeps are counted and timers kept until killed. The save
/// dialogs are answered in turn from save_dialog_answers.txt in the machine folder, a
/// Windows path a line; an empty line, or no line left, is a cancelled dialog.
class SandboxUserPrompts final : public UserPromptService {
public:
    explicit SandboxUserPrompts(const SandboxMachine& machine) : Machine(machine) {}

    void MessageBeep(std::uint32_t) override { ++Beeps; }
    bool SetTimer(std::uintptr_t window, std::uintptr_t id, unsigned milliseconds) override;
    void KillTimer(std::uintptr_t window, std::uintptr_t id) override {
        Timers.erase({window, id});
    }
    std::string GetSaveFileNameA(std::uintptr_t owner, std::string_view description,
                                 std::string_view pattern, std::string_view fileName) override;

    int Beeps = 0;
    /// The timers running: their periods by window and identifier.
    std::map<std::pair<std::uintptr_t, std::uintptr_t>, unsigned> Timers;

private:
    const SandboxMachine& Machine;
    int Answered = 0;
};

} // namespace platform
