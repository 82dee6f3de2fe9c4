// The install engine's window calls on Windows: a pass-through to USER32.
#pragma once

#include "platform/window_messages.h"

namespace platform {

class Win32WindowMessages final : public WindowMessageService {
public:
    bool RegisterClassA(std::string_view className) override;
    bool UnregisterClassA(std::string_view className) override;
    void BroadcastMessageA(std::uint32_t message, const char* text) override;
    void PumpWaitingMessages() override;
    bool DestroyWindow(std::uintptr_t window) override;
    std::intptr_t PumpUntilQuit() override;
    bool SetWindowPos(std::uintptr_t window, std::intptr_t insertAfter) override;
};

} // namespace platform
