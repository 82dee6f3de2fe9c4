// One DXF control placed on offscreen drawing surfaces, as `render` and `script` use it.
#pragma once

#include "control/interface/dxf_control.h"
#include "control_host.h"
#include "platform/headless/headless_screen.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

namespace plandra::cli {

/// A control sized to `width` x `height` pixels with its properties initialised and its
/// block scratch files in a private folder; picPlandra holds what it draws.
struct OffscreenControl {
    // The reader's progress bar: as wide as the drawing surface, as high as a status bar.
    static constexpr int StatusBarHeight = 20;

    OffscreenControl(int width, int height)
        : picPlandra(Gdi, width, height), picStatusBar(Gdi, width, StatusBarHeight),
          Host(width, height, StatusBarHeight),
          Control(Host.Surfaces(Screen, Gdi, picPlandra, picStatusBar), Host.Host()) {
        picStatusBar.SetVisible(false);
        Control.InitProperties();
        Control.SetTmpFileNamePath(Host.ScratchFolder.Name());
        Control.Resize(width, height);
    }

    platform::HeadlessScreen Screen;
    platform::CairoGdi Gdi;
    platform::OffscreenPictureBox picPlandra;
    platform::OffscreenPictureBox picStatusBar;
    ControlHost Host;
    DXF Control;
};

} // namespace plandra::cli
