// What the engine shows while a script runs: the progress window (or the update-display
// library that replaces it, or a bar on the terminal), the billboards on the setup
// program's main window, sound and video, and the timer tick the engine waits for.
#pragma once

#include "billboards.h"
#include "platform/calling_convention.h"
#include "platform/install_display.h"
#include "platform/library.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

class ActionRecord;
class Engine;
struct InstallContext;

/// The engine's timer on the main window; the setup program clears the context's
/// timer-wait word when it fires.
inline constexpr unsigned EngineTimerId = 0x2069;
inline constexpr unsigned UpdateTickMilliseconds = 500;
inline constexpr unsigned ShutDownTickMilliseconds = 250;

/// The update-display library's entry "Update": (call, option, block, text, per-mille of
/// the whole, per-mille of the current file).
using UpdateFunction = std::intptr_t(PLATFORM_WINAPI*)(std::int32_t call, std::int32_t option,
                                                       void* block, const char* text,
                                                       std::int32_t whole, std::int32_t file);

class EngineDisplay final : public platform::ProgressWindowEvents {
public:
    /// `display` and `sound` may be null (a machine that shows nothing): the progress is
    /// then not shown and billboards are only kept in their slots.
    EngineDisplay(Engine& engine, InstallContext& context, platform::InstallDisplayService* display,
                  platform::SoundService* sound);
    ~EngineDisplay() override;
    EngineDisplay(const EngineDisplay&) = delete;
    EngineDisplay& operator=(const EngineDisplay&) = delete;

    /// What the percentage counts against: the header's total, the archive base, the
    /// script's records; and the header's display option (bits 0 to 3) and whether
    /// timer ticks may be waited for.
    struct Settings {
        std::uint32_t TotalBytes = 0;
        std::uint32_t ArchiveBase = 0;
        std::uint32_t RecordsOffset = 0;
        std::uint32_t ScriptLength = 0;
        std::int32_t DisplayOption = 0;
        bool TickWaits = false;
    };
    void Configure(const Settings& settings) { Figures = settings; }
    /// The bytes the percentage counts against from now on (f23: the chosen parts).
    void SetTotalBytes(std::uint32_t total) { Figures.TotalBytes = total; }
    /// Starts the update-display library: Update(0, ...) at once, Update(3, ...) at the end.
    void UseUpdateLibrary(platform::ProcAddress entry);

    /// The progress window, opened on demand: shows `text` (a path is shortened to fit).
    void ShowProgress(std::string_view text);
    void CloseProgressWindow();
    std::uintptr_t ProgressWindow() const { return Window; }
    int Percent() const;

    /// UpdateScreen: refreshes the progress display, moves the progress sequence on,
    /// handles waiting messages and, with `wait` (and ticks allowed), waits one tick.
    void UpdateScreen(bool wait);
    /// DisplayGraphics: paints every shown graphic (only those marked displayed when
    /// the context's graphics state says so) onto the main window's device context.
    void PaintGraphics(platform::HDC dc);

    /// Opcode 6 and opcode 23.
    int DisplayGraphic(ActionRecord& record);
    int PlaySoundOrVideo(ActionRecord& record);

    /// The end of the run: the progress window closes, the sound stops, the update
    /// library is told, the graphics are freed.
    void EndRun();

    const GraphicTable& Graphics() const { return Table; }

    // The progress window's events.
    void PaintProgressBar(platform::HDC dc, const platform::Rect& bar) override;
    void CancelPressed() override;

private:
    void ConfirmExit();
    /// Update(call, ...) of the update-display library with a parameter block; 0 without one.
    std::intptr_t CallUpdate(std::int32_t call, std::int32_t option, const char* text,
                             std::int32_t whole);
    void FreeSlots(std::vector<GraphicSlot> slots);
    void RunTransition(std::size_t index);
    void Invalidate(const platform::Rect& area);
    void UpdateGraphicsState();
    platform::Size Screen() const;

    Engine& Run;
    InstallContext& Context;
    platform::InstallDisplayService* Display;
    platform::SoundService* Sound;
    Settings Figures;
    GraphicTable Table;
    UpdateFunction Update = nullptr;
    std::uintptr_t Window = 0;
    std::string Text;
    bool Terminal = false;
    bool SoundPlaying = false;
    bool VideoLoaded = false;
    platform::ProcAddress CreateVideoWindow = nullptr;
};

/// Registers opcodes 6 and 23 in the engine's action table.
void RegisterDisplayActions(Engine& engine);

} // namespace vorn
