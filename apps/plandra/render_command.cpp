// `plandra render`: draws a drawing as the control does and writes it as a PNG file.
#include "render_command.h"

#include "control/database/control_error.h"
#include "control/interface/dxf_control.h"
#include "control_host.h"
#include "drawing_loader.h"
#include "platform/headless/headless_screen.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

#include <cstdio>
#include <ostream>

namespace plandra::cli {

namespace {

// The reader's progress bar: as wide as the drawing surface, as high as a status bar.
constexpr int StatusBarHeight = 20;

} // namespace

int RunRender(const RenderRequest& request, std::ostream& errors) {
    platform::HeadlessScreen screen;
    platform::CairoGdi gdi;
    platform::OffscreenPictureBox picPlandra(gdi, request.Width, request.Height);
    platform::OffscreenPictureBox picStatusBar(gdi, request.Width, StatusBarHeight);
    picStatusBar.SetVisible(false);
    ControlHost host(request.Width, request.Height, StatusBarHeight);
    DXF dxf(host.Surfaces(screen, gdi, picPlandra, picStatusBar), host.Host());
    dxf.InitProperties();
    dxf.SetTmpFileNamePath(host.ScratchFolder.Name());
    dxf.Resize(request.Width, request.Height);
    dxf.SetCalcExtents(request.CalcExtents);
    dxf.SetPrintAllBlack(request.PrintAllBlack);
    dxf.SetBackColor(static_cast<OleColor>(request.BackColor));

    bool drawn = false;
    try {
        ReadableFile file(
            request.FileName,
            request.Strict ? LineEndPolicy::Strict : LineEndPolicy::ConvertBareLineFeeds, errors);
        dxf.SetFileName(file.Name());
        drawn = file.Reading([&] { return dxf.Regen(dxfMergeNew); }) != 0;
        if (request.Window) {
            drawn = dxf.ShowWindow(*request.Window);
        }
    } catch (const ControlError& error) {
        ReportControlError(errors, error, "drawing", request.FileName);
        return 1;
    }
    if (!picPlandra.WritePng(request.OutputName)) {
        errors << "plandra: cannot write " << request.OutputName << "\n";
        return 1;
    }
    if (!drawn) {
        errors << "plandra: nothing was drawn (the drawing is empty, the window has no width "
                  "or height, or its scale is out of range); "
               << request.OutputName << " shows the empty surface\n";
        return 3;
    }
    return 0;
}

} // namespace plandra::cli
