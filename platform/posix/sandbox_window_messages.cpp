// The install engine's window calls on the sandbox machine.
#include "platform/posix/sandbox_window_messages.h"

#include "platform/ansi_text.h"

#include <fstream>

namespace platform {

bool SandboxWindowMessages::RegisterClassA(std::string_view className) {
    // Class names compare ignoring case, as atoms do.
    if (className.empty() || !Classes.insert(UpperAnsi(className)).second) {
        return false;
    }
    Record("RegisterClass " + std::string(className));
    return true;
}

void SandboxWindowMessages::PumpWaitingMessages() {
    // A request waits this long at most for a setup that pumps all the time, while each
    // look costs a system call per served name.
    constexpr auto ServeInterval = std::chrono::milliseconds(5);
    const auto now = std::chrono::steady_clock::now();
    if (now - LastServed >= ServeInterval) {
        LastServed = now;
        Dde.ServeRemoteClients();
    }
}

bool SandboxWindowMessages::UnregisterClassA(std::string_view className) {
    if (Classes.erase(UpperAnsi(className)) == 0) {
        return false;
    }
    Record("UnregisterClass " + std::string(className));
    return true;
}

void SandboxWindowMessages::BroadcastMessageA(std::uint32_t message, const char* text) {
    std::string line = "Broadcast " + std::to_string(message);
    if (text != nullptr) {
        line += std::string(" \"") + text + "\"";
    }
    Record(line);
}

void SandboxWindowMessages::Record(const std::string& line) {
    if (Folder.empty()) {
        return;
    }
    std::ofstream log(Folder / LogName, std::ios::app | std::ios::binary);
    log << line << "\n";
}

} // namespace platform
