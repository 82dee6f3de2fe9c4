// What the install engine shows, on the sandbox machine: no window opens, so the
// progress goes to a bar on the terminal and what Windows would show or play is
// appended to "display.log" in the machine folder.
#pragma once

#include "platform/headless/null_gdi.h"
#include "platform/headless/terminal_progress.h"
#include "platform/install_display.h"
#include "platform/wait_dialog.h"

#include <filesystem>
#include <string>

namespace platform {

class SandboxInstallDisplay final : public InstallDisplayService,
                                    public SoundService,
                                    public WaitDialogService {
public:
    static constexpr const char* LogName = "display.log";

    /// `machineFolder` empty: nothing is logged. The bar goes to standard error.
    explicit SandboxInstallDisplay(std::filesystem::path machineFolder);

    GdiService& Gdi() override { return Pictures; }
    std::uintptr_t OpenProgressWindow(std::uintptr_t owner, std::string_view caption,
                                      std::string_view cancelCaption,
                                      ProgressWindowEvents& events) override;
    void CloseProgressWindow() override;
    void SetProgressText(std::string_view text) override;
    // The text control of the progress window is 50 average characters wide.
    int ProgressTextRoom() override { return 50; }
    int ProgressTextWidth(std::string_view text) override { return static_cast<int>(text.size()); }
    void InvalidateProgressBar() override {}
    void InvalidateRect(std::uintptr_t, const Rect*) override {}
    void UpdateWindow(std::uintptr_t) override {}
    // No setup program's window runs a timer here: the tick has passed at once.
    void WaitForTick(std::uintptr_t, unsigned, unsigned, volatile std::int32_t& waiting) override {
        waiting = 0;
    }
    void Pause(unsigned) override {}
    void ShowTerminalProgress(std::string_view text, int percent) override;
    void EndTerminalProgress() override;
    ColorRef ButtonFaceColour() override { return Rgb(192, 192, 192); }
    void PlayVideoWindow(std::uintptr_t window, Point at) override;
    void CloseHelpFile(std::uintptr_t window, std::string_view file) override;
    void FailCriticalErrors() override {}
    void Notice(std::string_view text) override;

    bool sndPlaySoundA(const char* file, unsigned flags) override;

    std::uintptr_t OpenWaitDialog(std::uintptr_t owner, std::string_view text) override;
    void CloseWaitDialog(std::uintptr_t dialog) override;

private:
    void Record(const std::string& line);

    std::filesystem::path Folder;
    NullGdi Pictures;
    TerminalProgress Bar;
    std::uintptr_t Window = 0;
};

} // namespace platform
