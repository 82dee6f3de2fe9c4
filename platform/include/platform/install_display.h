// What the install engine shows while it works: the progress window, the repainting of
// the setup program's main window, the engine's timer tick, and a progress bar on the
// terminal for runs without windows.
#pragma once

#include "platform/gdi.h"

#include <cstdint>
#include <string_view>

namespace platform {

/// What the progress window asks of the engine while it is shown.
class ProgressWindowEvents {
public:
    virtual ~ProgressWindowEvents() = default;
    /// Paints the bar into `bar` (client coordinates of the progress window).
    virtual void PaintProgressBar(HDC dc, const Rect& bar) = 0;
    /// The user pressed Cancel.
    virtual void CancelPressed() = 0;
};

/// Control numbers of the progress window's template.
namespace progress_control {
inline constexpr int Text = 3829;
inline constexpr int Bar = 3830;
} // namespace progress_control

/// Dialog template of the progress window in the engine library's resources.
inline constexpr int ProgressTemplate = 1538;

class InstallDisplayService {
public:
    virtual ~InstallDisplayService() = default;

    /// The GDI the engine paints with, on device contexts the setup program hands it.
    virtual GdiService& Gdi() = 0;

    /// Shows the progress window modeless, owned by `owner`, which is disabled while it
    /// is shown. Returns the window, 0 when it cannot be made.
    virtual std::uintptr_t OpenProgressWindow(std::uintptr_t owner, std::string_view caption,
                                              std::string_view cancelCaption,
                                              ProgressWindowEvents& events) = 0;
    /// Destroys the progress window, if one is open, and enables its owner again.
    virtual void CloseProgressWindow() = 0;
    /// Sets the text above the bar.
    virtual void SetProgressText(std::string_view text) = 0;
    /// The width in pixels of the text control, and of `text` in the control's font.
    virtual int ProgressTextRoom() = 0;
    virtual int ProgressTextWidth(std::string_view text) = 0;
    /// Has the bar painted again.
    virtual void InvalidateProgressBar() = 0;

    /// InvalidateRect of a window's area (null: all of it), to be painted again.
    virtual void InvalidateRect(std::uintptr_t window, const Rect* area) = 0;
    /// UpdateWindow: paints what is invalid now.
    virtual void UpdateWindow(std::uintptr_t window) = 0;
    /// SetTimer(window, id, milliseconds), then handles messages until `waiting` is 0 (the
    /// window's owner clears it on the timer), and KillTimer. A window that never clears
    /// it is waited for at most a few ticks; without a window nothing is waited for.
    virtual void WaitForTick(std::uintptr_t window, unsigned id, unsigned milliseconds,
                             volatile std::int32_t& waiting) = 0;
    /// Waits a short while, for the steps of a transition.
    virtual void Pause(unsigned milliseconds) = 0;

    /// A progress bar on the error stream for runs that show no windows: redrawn in
    /// place on a terminal; elsewhere only EndTerminalProgress writes its final line.
    virtual void ShowTerminalProgress(std::string_view text, int percent) = 0;
    virtual void EndTerminalProgress() = 0;

    /// GetSysColor(COLOR_BTNFACE).
    virtual ColorRef ButtonFaceColour() = 0;
    /// Moves a child window (a video window) to `at` without resizing it, and sends it
    /// the play command.
    virtual void PlayVideoWindow(std::uintptr_t window, Point at) = 0;
    /// WinHelpA(window, file, HELP_QUIT): closes the help file if it is open.
    virtual void CloseHelpFile(std::uintptr_t window, std::string_view file) = 0;
    /// SetErrorMode(SEM_FAILCRITICALERRORS): no system boxes for drives that are not
    /// ready; the calls fail instead.
    virtual void FailCriticalErrors() = 0;

    /// A remark for whoever runs the installation (a picture that was passed over).
    virtual void Notice(std::string_view text) = 0;
};

/// sndPlaySoundA's flags, with their Win32 values.
namespace snd {
inline constexpr unsigned Async = 0x1;
inline constexpr unsigned NoDefault = 0x2;
inline constexpr unsigned Loop = 0x8;
} // namespace snd

/// Wave sounds (sndPlaySoundA).
class SoundService {
public:
    virtual ~SoundService() = default;
    /// Plays a wave file with snd:: flags; a null file stops the sound that plays.
    virtual bool sndPlaySoundA(const char* file, unsigned flags) = 0;
};

} // namespace platform
