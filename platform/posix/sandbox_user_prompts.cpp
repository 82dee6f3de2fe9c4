// The sandbox machine's timers, and its save dialogs answered from its folder.
#include "platform/posix/sandbox_user_prompts.h"

#include <fstream>

namespace platform {

bool SandboxUserPrompts::SetTimer(std::uintptr_t window, std::uintptr_t id, unsigned milliseconds) {
    if (window == 0) {
        return false;
    }
    Timers[{window, id}] = milliseconds;
    return true;
}

std::string SandboxUserPrompts::GetSaveFileNameA(std::uintptr_t, std::string_view, std::string_view,
                                                 std::string_view) {
    std::ifstream answers(Machine.Folder() / "save_dialog_answers.txt", std::ios::binary);
    std::string line;
    for (int skipped = 0; skipped <= Answered; ++skipped) {
        if (!std::getline(answers, line)) {
            return {};
        }
    }
    ++Answered;
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace platform
