// The run as the setup program's context block holds it: the abort flag, the error
// code, the silent flag and the main window, shared with the setup program.
#pragma once

#include "engine_services.h"
#include "install_context.h"
#include "platform/window_messages.h"

namespace vorn {

class EngineDisplay;

class ContextHost final : public EngineHost {
public:
    ContextHost(InstallContext& context, platform::WindowMessageService& messages)
        : Context(context), Messages(messages) {}

    bool RunStopped() const override { return Context.AbortFlag != 0 || Context.ErrorCode != 0; }
    void SetAbortFlag() override { Context.AbortFlag = 1; }
    bool Silent() const override { return Context.Silent != 0; }
    std::uintptr_t MainWindow() const override { return Context.MainWindow; }
    // The progress window while it is open, else the main window.
    std::uintptr_t DefaultBoxOwner() const override;
    // The run's message pump, in UpdateScreen when there is a display: DDE transactions
    // of other programs are answered here, between records, never in the middle of one.
    void AfterRecord() override;
    void CloseProgressWindow() override;
    void UseDisplay(EngineDisplay* display) { Display = display; }

private:
    InstallContext& Context;
    platform::WindowMessageService& Messages;
    EngineDisplay* Display = nullptr;
};

} // namespace vorn
