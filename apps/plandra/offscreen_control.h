// One DXF control placed on offscreen drawing surfaces, as `render` and `script` use it.
#pragma once

#include "control/interface/dxf_control.h"
#include "control_host.h"
#include "platform/headless/headless_screen.h"
#include "text_box_recorder.h"

#include <functional>
#include <memory>
#ifdef _WIN32
#include "platform/win32/win32_clipboard.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_metafiles.h"
#include "platform/win32/win32_picture_box.h"
#else
#include "platform/metafile/metafile_gdi.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/file_clipboard.h"
#include "platform/posix/offscreen_picture_box.h"
#endif

namespace plandra::cli {

// The raster each build draws on: real GDI on memory device contexts on Windows, the
// cairo raster elsewhere. Both write their image with the same PNG writer. Metafiles
// are GDI's own on Windows and recorded by our writers, in front of the raster,
// elsewhere; the clipboard is Windows' own, or the user's clipboard file.
#ifdef _WIN32
using OffscreenGdi = platform::Win32Gdi;
using OffscreenBox = platform::Win32PictureBox;
struct OffscreenMetafiles {
    explicit OffscreenMetafiles(platform::GdiService& drawing) : Gdi(drawing) {}
    platform::GdiService& Gdi;
    platform::Win32Metafiles Metafiles;
    platform::Win32Clipboard Clipboard;
};
inline OffscreenBox MakeOffscreenBox(OffscreenGdi& gdi, int width, int height) {
    return OffscreenBox(gdi, nullptr, width, height);
}
#else
using OffscreenGdi = platform::CairoGdi;
using OffscreenBox = platform::OffscreenPictureBox;
struct OffscreenMetafiles {
    explicit OffscreenMetafiles(platform::GdiService& drawing) : Gdi(drawing) {}
    platform::metafile::MetafileGdi Gdi;
    platform::metafile::MetafileGdi& Metafiles = Gdi;
    /// The user's clipboard file, offered to the desktop when there is one.
    platform::FileClipboard Clipboard{Gdi, platform::UserClipboardFile(),
                                      platform::DesktopDisplayPresent()};
};
inline OffscreenBox MakeOffscreenBox(OffscreenGdi& gdi, int width, int height) {
    return OffscreenBox(gdi, width, height);
}
#endif

/// A control sized to `width` x `height` pixels with its properties initialised and its
/// block scratch files in a private folder; picPlandra holds what it draws.
struct OffscreenControl {
    // The reader's progress bar: as wide as the drawing surface, as high as a status bar.
    static constexpr int StatusBarHeight = 20;

    /// Makes the printer the control prints on from the raster; none by default.
    using PrinterMaker = std::function<std::unique_ptr<platform::Printer>(OffscreenGdi&)>;

    OffscreenControl(int width, int height, const PrinterMaker& makePrinter = {})
        : picPlandra(MakeOffscreenBox(Raster, width, height)),
          picStatusBar(MakeOffscreenBox(Raster, width, StatusBarHeight)),
          Printer(makePrinter ? makePrinter(Raster) : nullptr),
          Host(width, height, StatusBarHeight),
          Control(Host.Surfaces(Screen, Drawing.Gdi, picPlandra, picStatusBar, &Drawing.Metafiles,
                                Printer.get(), &Drawing.Clipboard),
                  Host.Host()) {
        picStatusBar.SetVisible(false);
        Control.InitProperties();
        Control.SetTmpFileNamePath(Host.ScratchFolder.Name());
        Control.Resize(width, height);
    }

    platform::HeadlessScreen Screen;
    OffscreenGdi Raster;
    /// The raster, noting where texts go.
    TextBoxRecorder Gdi{Raster};
    /// What the control draws through: the above, with metafile device contexts.
    OffscreenMetafiles Drawing{Gdi};
    OffscreenBox picPlandra;
    OffscreenBox picStatusBar;
    std::unique_ptr<platform::Printer> Printer;
    ControlHost Host;
    DXF Control;
};

} // namespace plandra::cli
