// What the install engine shows, on Windows: the progress window, the wait dialog and
// the message box from the engine library's dialog templates, the main window's repainting, the
// engine's timer tick, wave sounds and the help file, each a pass-through to USER32, GDI32 and
// WINMM.
#pragma once

#include "platform/box_dialog.h"
#include "platform/calling_convention.h"
#include "platform/headless/terminal_progress.h"
#include "platform/install_display.h"
#include "platform/wait_dialog.h"
#include "platform/win32/win32_gdi.h"

namespace platform {

class Win32InstallDisplay final : public InstallDisplayService,
                                  public SoundService,
                                  public WaitDialogService,
                                  public BoxDialogService {
public:
    Win32InstallDisplay();
    ~Win32InstallDisplay() override;
    Win32InstallDisplay(const Win32InstallDisplay&) = delete;
    Win32InstallDisplay& operator=(const Win32InstallDisplay&) = delete;

    GdiService& Gdi() override { return Pictures; }
    std::uintptr_t OpenProgressWindow(std::uintptr_t owner, std::string_view caption,
                                      std::string_view cancelCaption,
                                      ProgressWindowEvents& events) override;
    void CloseProgressWindow() override;
    void SetProgressText(std::string_view text) override;
    int ProgressTextRoom() override;
    int ProgressTextWidth(std::string_view text) override;
    void InvalidateProgressBar() override;
    void InvalidateRect(std::uintptr_t window, const Rect* area) override;
    void UpdateWindow(std::uintptr_t window) override;
    void WaitForTick(std::uintptr_t window, unsigned id, unsigned milliseconds,
                     volatile std::int32_t& waiting) override;
    void Pause(unsigned milliseconds) override;
    void ShowTerminalProgress(std::string_view text, int percent) override;
    void EndTerminalProgress() override;
    ColorRef ButtonFaceColour() override;
    void PlayVideoWindow(std::uintptr_t window, Point at) override;
    void CloseHelpFile(std::uintptr_t window, std::string_view file) override;
    void FailCriticalErrors() override;
    void Notice(std::string_view text) override;

    bool sndPlaySoundA(const char* file, unsigned flags) override;

    std::uintptr_t OpenWaitDialog(std::uintptr_t owner, std::string_view text) override;
    void CloseWaitDialog(std::uintptr_t dialog) override;

    int
    ShowBoxDialog(const BoxDialogRequest& request,
                  const std::function<BoxDialogPlacement(const BoxDialogParts& parts, Size measured,
                                                         int buttons, bool icon)>& layOut) override;

    /// The progress window's dialog procedure (the engine library exports it as CopyDlg).
    static std::intptr_t PLATFORM_WINAPI ProgressProcedure(std::uintptr_t window, unsigned message,
                                                           std::uintptr_t wParam,
                                                           std::intptr_t lParam);
    /// The message box dialog's procedure (exported as MessageBoxDlg): lays the box out
    /// when it opens, draws the icon, ends with the number of the button pressed.
    static std::intptr_t PLATFORM_WINAPI BoxProcedure(std::uintptr_t window, unsigned message,
                                                      std::uintptr_t wParam, std::intptr_t lParam);
    /// The wait dialog's procedure (exported as SearchDlg): it only shows its text.
    static std::intptr_t PLATFORM_WINAPI WaitProcedure(std::uintptr_t window, unsigned message,
                                                       std::uintptr_t wParam, std::intptr_t lParam);

private:
    Win32Gdi Pictures;
    TerminalProgress Bar;
    std::uintptr_t Window = 0;
    std::uintptr_t Owner = 0;
    ProgressWindowEvents* Events = nullptr;
};

} // namespace platform
