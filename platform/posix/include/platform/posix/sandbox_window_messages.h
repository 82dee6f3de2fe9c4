// The window calls of the install engine on the sandbox machine: nothing is shown, so
// what Windows would show is appended to "messages.log" in the machine folder, and the
// message pump answers the DDE requests other programs sent.
#pragma once

#include "platform/posix/sandbox_dde.h"
#include "platform/window_messages.h"

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

namespace platform {

/// The sandbox has no windows: DestroyWindow finds none, so a run never waits for a
/// quit message there. Registered classes are known for the life of the service.
class SandboxWindowMessages final : public WindowMessageService {
public:
    /// The messages log's name in the machine folder.
    static constexpr const char* LogName = "messages.log";

    SandboxWindowMessages(SandboxDde& dde, std::filesystem::path machineFolder)
        : Dde(dde), Folder(std::move(machineFolder)) {}

    bool RegisterClassA(std::string_view className) override;
    bool UnregisterClassA(std::string_view className) override;
    void BroadcastMessageA(std::uint32_t message, const char* text) override;
    /// Answers other programs' DDE requests, looking for them at most every few
    /// milliseconds: a setup pumps after every file it installs.
    void PumpWaitingMessages() override;
    bool DestroyWindow(std::uintptr_t) override { return false; }
    std::intptr_t PumpUntilQuit() override { return 0; }

private:
    void Record(const std::string& line);

    SandboxDde& Dde;
    std::filesystem::path Folder;
    std::set<std::string> Classes;
    std::chrono::steady_clock::time_point LastServed;
};

} // namespace platform
