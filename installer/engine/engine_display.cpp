// The progress display, billboards, sound and video of an installation run.
#include "engine_display.h"

#include "archive_parts.h"
#include "context_host.h"
#include "dll_call_block.h"
#include "engine.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "platform/machine_services.h"
#include "progress_display.h"
#include "script.h"

#include <algorithm>
#include <variant>

namespace vorn {

namespace {

using platform::Rect;
using platform::Size;

constexpr std::uint8_t PlaySoundOpcode = 23;
// Messages of the progress window: its caption and its Cancel button.
constexpr std::size_t ProgressCaptionMessage = 29;
// Pictures larger than this are taken for a damaged record.
constexpr std::uint32_t MaxImageBytes = 64u << 20;
constexpr unsigned TransitionPauseMilliseconds = 25;
// Graphics state bits of the context.
constexpr std::uint8_t TiledOpaqueShown = 0x1;
constexpr std::uint8_t OnlyDisplayed = 0x2;
constexpr std::uint8_t WaitForVideo = 0x4;
// The update-display library's calls.
constexpr std::int32_t UpdateStart = 0;
constexpr std::int32_t UpdateProgress = 1;
constexpr std::int32_t UpdateHide = 2;
constexpr std::int32_t UpdateEnd = 3;
// Opcode 23's flags.
constexpr std::uint8_t SoundLoops = 0x1;
constexpr std::uint8_t IsVideo = 0x2;
// MCIWndCreateA's style: child, visible, no play bar, no menu.
constexpr std::uint32_t VideoStyle = 0x40000000 | 0x10000000 | 0x0002 | 0x0008;
using CreateVideoFunction = std::uintptr_t(PLATFORM_WINAPI*)(std::uintptr_t parent,
                                                             std::uintptr_t instance,
                                                             std::uint32_t style, const char* file);

// Opcode 6: flags, x and y words, then per language the image's start, end and size.
constexpr std::size_t GraphicFlagsAt = 1;
constexpr std::size_t GraphicXAt = 3;
constexpr std::size_t GraphicYAt = 5;
constexpr std::size_t GraphicImageAt = 7;

struct ImageRange {
    std::uint32_t Start = 0;
    std::uint32_t End = 0;
    std::uint32_t Size = 0;
};

ImageRange ImageOf(const ActionRecord& record, std::uint8_t language) {
    if (language == 0) {
        return {record.FixedDword(GraphicImageAt), record.FixedDword(GraphicImageAt + 4),
                record.FixedDword(GraphicImageAt + 8)};
    }
    std::span<const std::uint8_t> rest = record.Trailing();
    std::size_t at = (language - 1) * GraphicBytesPerExtraLanguage;
    if (rest.size() < at + GraphicBytesPerExtraLanguage) {
        return {};
    }
    auto word = [&](std::size_t offset) {
        return rest[at + offset] | (rest[at + offset + 1] << 8) |
               (std::uint32_t{rest[at + offset + 2]} << 16) |
               (std::uint32_t{rest[at + offset + 3]} << 24);
    };
    return {word(0), word(4), word(8)};
}

bool OnScreen(const Rect& area, Size screen) {
    return area.right > 0 && area.bottom > 0 && area.left < screen.cx && area.top < screen.cy;
}

} // namespace

EngineDisplay::EngineDisplay(Engine& engine, InstallContext& context,
                             platform::InstallDisplayService* display,
                             platform::SoundService* sound)
    : Run(engine), Context(context), Display(display), Sound(sound) {}

EngineDisplay::~EngineDisplay() {
    EndRun();
}

void EngineDisplay::UseUpdateLibrary(platform::ProcAddress entry) {
    Update = reinterpret_cast<UpdateFunction>(entry);
    CallUpdate(UpdateStart, 0, nullptr, 0);
}

std::intptr_t EngineDisplay::CallUpdate(std::int32_t call, std::int32_t option, const char* text,
                                        std::int32_t whole) {
    if (Update == nullptr) {
        return 0;
    }
    DllCallBlock block{};
    block.Size = sizeof block;
    block.MainWindow = Context.MainWindow;
    return Update(call, option, &block, text, whole, 0);
}

int EngineDisplay::Percent() const {
    ProgressFigures figures;
    figures.OptionFlags = Context.OptionFlags;
    figures.TotalBytes = Figures.TotalBytes;
    figures.BytesCopied = Context.BytesCopied;
    figures.ArchiveOffset = Context.ArchiveOffset;
    figures.ArchiveBase = Figures.ArchiveBase;
    std::uint32_t end = std::max(Figures.ScriptLength, Figures.RecordsOffset);
    figures.ScriptDone = std::min(Run.Program.Position, end) - std::min(Figures.RecordsOffset, end);
    figures.ScriptTotal = end - Figures.RecordsOffset;
    return ProgressPercent(figures);
}

void EngineDisplay::ShowProgress(std::string_view text) {
    if (Display == nullptr || Update != nullptr) {
        Text = text;
        return;
    }
    if (Context.Silent != 0 || Context.MainWindow == 0) {
        // No window to show it in: the terminal shows the same.
        Terminal = true;
        Text = text;
        Display->ShowTerminalProgress(Text, Percent());
        return;
    }
    if (Window == 0) {
        Window =
            Display->OpenProgressWindow(Context.MainWindow, Run.Message(ProgressCaptionMessage),
                                        Run.Message(msg::CancelCaption, "Cancel"), *this);
    }
    // The last line holds the path: only it is shortened to fit.
    const std::size_t lineBreak = text.rfind('\n');
    const std::size_t pathAt = lineBreak == std::string_view::npos ? 0 : lineBreak + 1;
    Text = std::string(text.substr(0, pathAt)) +
           ShortenedPathText(
               text.substr(pathAt), Display->ProgressTextRoom(),
               [this](std::string_view part) { return Display->ProgressTextWidth(part); });
    Display->SetProgressText(Text);
    Display->InvalidateProgressBar();
}

void EngineDisplay::CloseProgressWindow() {
    CallUpdate(UpdateHide, 0, nullptr, 0);
    if (Window != 0 && Display != nullptr) {
        Display->CloseProgressWindow();
    }
    Window = 0;
}

void EngineDisplay::UpdateScreen(bool wait) {
    const int percent = Percent();
    if (Update != nullptr) {
        // Per mille of the whole; the current file's share is not known here.
        if (CallUpdate(UpdateProgress, Figures.DisplayOption, Text.c_str(), percent * 10) != 0) {
            ConfirmExit();
        }
    } else if (Window != 0) {
        Display->InvalidateProgressBar();
    } else if (Terminal) {
        Display->ShowTerminalProgress(Text, percent);
    }
    std::vector<GraphicSlot> removed;
    std::size_t shown = Table.Advance(percent, removed);
    if (shown < GraphicTable::SlotCount) {
        FreeSlots(std::move(removed));
        RunTransition(shown);
        UpdateGraphicsState();
    }
    if (Run.Services.Machine != nullptr) {
        Run.Services.Machine->Messages().PumpWaitingMessages();
    }
    if (wait && Figures.TickWaits && Display != nullptr) {
        Context.TimerWait = 1;
        Display->WaitForTick(Context.MainWindow, EngineTimerId, UpdateTickMilliseconds,
                             Context.TimerWait);
    }
}

void EngineDisplay::ConfirmExit() {
    if (EngineMessageBox(Run, Window != 0 ? Window : Context.MainWindow,
                         Run.Message(msg::ConfirmExit), Run.Message(msg::QuestionTitle),
                         box::YesNo | box::NoCancel | box::IconQuestion | box::CancelAtOnce) ==
        answer::Ok) {
        Run.Services.Host.SetAbortFlag();
    }
}

void EngineDisplay::CancelPressed() {
    ConfirmExit();
}

void EngineDisplay::PaintProgressBar(platform::HDC dc, const Rect& bar) {
    if (Display != nullptr) {
        vorn::PaintProgressBar(Display->Gdi(), dc, bar, Percent(), Display->ButtonFaceColour(),
                               true);
    }
}

Size EngineDisplay::Screen() const {
    return {Context.ScreenWidth, Context.ScreenHeight};
}

void EngineDisplay::Invalidate(const Rect& area) {
    if (Display != nullptr && Context.MainWindow != 0) {
        Display->InvalidateRect(Context.MainWindow, &area);
    }
}

void EngineDisplay::FreeSlots(std::vector<GraphicSlot> slots) {
    for (GraphicSlot& slot : slots) {
        if (slot.Metafile != nullptr && Display != nullptr) {
            Display->Gdi().DeleteMetaFile(slot.Metafile);
        }
        if (slot.Displayed) {
            Invalidate(slot.Area());
        }
    }
}

void EngineDisplay::RunTransition(std::size_t index) {
    GraphicSlot& slot = Table.Slot(index);
    const Rect start = StartArea(slot, Screen());
    const bool animate =
        slot.TransitionEffect() != Effect::None && Display != nullptr && Context.MainWindow != 0;
    for (int step = animate ? 1 : TransitionSteps; step <= TransitionSteps; ++step) {
        slot.TransitionStep = step;
        Invalidate(start);
        if (animate) {
            Display->UpdateWindow(Context.MainWindow);
            Display->Pause(TransitionPauseMilliseconds);
        }
    }
}

void EngineDisplay::UpdateGraphicsState() {
    bool tiledOpaque = (Context.OptionFlags & context_option::AlwaysGraphicsStateBit0) != 0;
    for (std::size_t i = 0; i < Table.ShownCount(); ++i) {
        const std::uint16_t flags = Table.Slot(i).Flags;
        tiledOpaque |= (flags & graphic::RepeatDownwards) != 0 && (flags & graphic::OrPaint) == 0;
    }
    Context.GraphicsState = static_cast<std::uint8_t>((Context.GraphicsState & ~TiledOpaqueShown) |
                                                      (tiledOpaque ? TiledOpaqueShown : 0));
}

int EngineDisplay::DisplayGraphic(ActionRecord& record) {
    const std::uint16_t flags = record.FixedWord(GraphicFlagsAt);
    const std::uint16_t xWord = record.FixedWord(GraphicXAt);
    const std::uint16_t yWord = record.FixedWord(GraphicYAt);
    if ((flags & graphic::CloseProgress) != 0) {
        CloseProgressWindow();
    }
    FreeSlots(Table.RemoveTop((flags & graphic::RemoveAll) != 0 ? GraphicTable::SlotCount
                                                                : RemovalCount(flags)));
    UpdateGraphicsState();
    if (Context.Decompress == nullptr) {
        return 0;
    }
    auto passOver = [this](std::string_view why) {
        if (Display != nullptr) {
            Display->Notice("A billboard was passed over: " + std::string(why) + ".");
        }
        return 0;
    };
    const ImageRange range = ImageOf(record, Run.Program.Language());
    if (range.End <= range.Start || range.Size == 0 || range.Size > MaxImageBytes) {
        return passOver("its record gives no picture");
    }
    std::vector<std::uint8_t> data(range.Size);
    if (!DecompressToMemory(Run, range.Start, range.End, data)) {
        // The run's own handling of archive failures takes over.
        return 0;
    }
    const bool metafile = (flags & graphic::Metafile) != 0;
    auto read = ReadImageInfo(data, metafile);
    if (const std::string* error = std::get_if<std::string>(&read)) {
        return passOver(*error);
    }
    GraphicSlot slot;
    slot.Image = std::get<ImageInfo>(read);
    slot.Flags = flags;
    slot.Scaled = ScaledSize({slot.Image.Width, slot.Image.Height}, Screen(),
                             (flags & graphic::ScaleToScreen) != 0);
    slot.Position = PlaceGraphic(flags, xWord, yWord, slot.Scaled, Screen());
    if (!OnScreen(slot.Area(), Screen()) || slot.Scaled.cx <= 0 || slot.Scaled.cy <= 0) {
        return passOver("it lies beyond the screen");
    }
    slot.Sequence = (xWord & graphic::InSequence) != 0;
    slot.Data = std::move(data);
    if (metafile && Display != nullptr) {
        slot.Metafile = Display->Gdi().SetMetaFileBitsEx(
            std::span<const std::uint8_t>(slot.Data).first(slot.Image.MetafileSize));
    }
    slot.Displayed = !slot.Sequence;
    platform::HMETAFILE handle = slot.Metafile;
    const std::size_t index = Table.Add(std::move(slot), Percent());
    if (index == GraphicTable::SlotCount) {
        if (handle != nullptr) {
            Display->Gdi().DeleteMetaFile(handle);
        }
        return passOver("all 32 places for pictures are taken");
    }
    if (!Table.Slot(index).Sequence) {
        RunTransition(index);
    }
    UpdateGraphicsState();
    return 0;
}

void EngineDisplay::PaintGraphics(platform::HDC dc) {
    if (Display == nullptr) {
        return;
    }
    platform::GdiService& gdi = Display->Gdi();
    const bool onlyDisplayed = (Context.GraphicsState & OnlyDisplayed) != 0;
    for (std::size_t i = 0; i < Table.ShownCount(); ++i) {
        const GraphicSlot& slot = Table.Slot(i);
        if (onlyDisplayed && !slot.Displayed) {
            continue;
        }
        const unsigned rop =
            (slot.Flags & graphic::OrPaint) != 0 ? platform::rop::SrcPaint : platform::rop::SrcCopy;
        const int repeat = (slot.Flags & graphic::RepeatDownwards) != 0 ? slot.Scaled.cy : 0;
        for (const DrawnPart& part : DrawnParts(slot, Screen())) {
            for (int dy = 0; part.Target.top + dy < Context.ScreenHeight; dy += repeat) {
                const Rect& s = part.Source;
                const Rect& t = part.Target;
                if (slot.Metafile != nullptr) {
                    int mode = gdi.SetMapMode(dc, platform::mm::Anisotropic);
                    gdi.SetWindowExtEx(dc, slot.Image.Width, slot.Image.Height);
                    gdi.SetViewportExtEx(dc, t.right - t.left, t.bottom - t.top);
                    gdi.SetViewportOrgEx(dc, t.left, t.top + dy);
                    gdi.PlayMetaFile(dc, slot.Metafile);
                    gdi.SetViewportOrgEx(dc, 0, 0);
                    gdi.SetMapMode(dc, mode != 0 ? mode : platform::mm::Text);
                } else if (slot.Image.MetafileSize == 0) {
                    // Rows of a bottom-up bitmap count from its last line.
                    gdi.StretchDIBits(dc, t.left, t.top + dy, t.right - t.left, t.bottom - t.top,
                                      s.left, slot.Image.Height - s.bottom, s.right - s.left,
                                      s.bottom - s.top, slot.Data.data() + slot.Image.BitsOffset,
                                      slot.Data.data(), rop);
                }
                if (repeat <= 0) {
                    break;
                }
            }
        }
    }
}

int EngineDisplay::PlaySoundOrVideo(ActionRecord& record) {
    const std::uint8_t flags = record.Flags();
    std::string file = Run.Variables.Expand(record.Once(0), PathSize);
    if (!file.empty() && Run.Services.Paths != nullptr) {
        file = Run.Services.Paths->ShortPathForm(file);
    }
    if ((flags & IsVideo) == 0) {
        if (Sound == nullptr) {
            return 0;
        }
        if (file.empty()) {
            Sound->sndPlaySoundA(nullptr, 0);
            SoundPlaying = false;
            return 0;
        }
        SoundPlaying = Sound->sndPlaySoundA(
            file.c_str(), platform::snd::Async | platform::snd::NoDefault |
                              ((flags & SoundLoops) != 0 ? platform::snd::Loop : 0));
        return 0;
    }
    if (file.empty()) {
        return 0;
    }
    if (!VideoLoaded) {
        // Looked for once: without the library or its entry, videos do nothing.
        VideoLoaded = true;
        platform::LibraryService& libraries = Run.Services.Libraries;
        platform::UniqueLibrary module(libraries.LoadLibraryA("MSVFW32.DLL"),
                                       platform::LibraryTraits{&libraries});
        if (module) {
            CreateVideoWindow = libraries.GetProcAddress(module.Get(), "MCIWndCreateA");
            Run.KeepLibrary(std::move(module));
        }
    }
    if (CreateVideoWindow == nullptr || Display == nullptr) {
        return 0;
    }
    const std::uintptr_t window = reinterpret_cast<CreateVideoFunction>(CreateVideoWindow)(
        Context.MainWindow, Context.SetupInstance, VideoStyle, file.c_str());
    if (window == 0) {
        return 0;
    }
    const platform::Point at{
        static_cast<std::int32_t>(std::int64_t{record.FixedWord(2)} * Context.ScreenWidth / 640),
        static_cast<std::int32_t>(std::int64_t{record.FixedWord(4)} * Context.ScreenHeight / 480)};
    Context.GraphicsState = static_cast<std::uint8_t>(
        (Context.GraphicsState & ~WaitForVideo) | ((flags & SoundLoops) != 0 ? WaitForVideo : 0));
    Display->PlayVideoWindow(window, at);
    return 0;
}

void EngineDisplay::EndRun() {
    CloseProgressWindow();
    if (Terminal && Display != nullptr) {
        Display->EndTerminalProgress();
        Terminal = false;
    }
    if (SoundPlaying && Sound != nullptr) {
        Sound->sndPlaySoundA(nullptr, 0);
        SoundPlaying = false;
    }
    CallUpdate(UpdateEnd, 0, nullptr, 0);
    Update = nullptr;
    FreeSlots(Table.RemoveTop(GraphicTable::SlotCount));
    for (std::size_t i = 0; i < GraphicTable::SlotCount; ++i) {
        if (Table.Slot(i).Metafile != nullptr && Display != nullptr) {
            Display->Gdi().DeleteMetaFile(Table.Slot(i).Metafile);
        }
    }
    Table.Clear();
}

void RegisterDisplayActions(Engine& engine) {
    engine.Actions[op::DisplayGraphic] = [](Engine& run, ActionRecord& record) {
        return run.Display != nullptr ? run.Display->DisplayGraphic(record) : 0;
    };
    engine.Actions[PlaySoundOpcode] = [](Engine& run, ActionRecord& record) {
        return run.Display != nullptr ? run.Display->PlaySoundOrVideo(record) : 0;
    };
}

// The run's host: the progress window belongs to the display.
std::uintptr_t ContextHost::DefaultBoxOwner() const {
    if (Display != nullptr && Display->ProgressWindow() != 0) {
        return Display->ProgressWindow();
    }
    return Context.MainWindow;
}

void ContextHost::CloseProgressWindow() {
    if (Display != nullptr) {
        Display->CloseProgressWindow();
    }
}

void ContextHost::AfterRecord() {
    if (Display != nullptr) {
        Display->UpdateScreen(false);
    } else {
        Messages.PumpWaitingMessages();
    }
}

} // namespace vorn
