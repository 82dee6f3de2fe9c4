// `plandra script`: a control on an offscreen surface, driven by a script.
#include "script_command.h"

#include "control_host.h"
#include "platform/headless/headless_screen.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/offscreen_picture_box.h"

#include <fstream>
#include <istream>
#include <ostream>

namespace plandra::cli {

namespace {

// The reader's progress bar: as wide as the drawing surface, as high as a status bar.
constexpr int StatusBarHeight = 20;

} // namespace

int RunScriptCommand(const ScriptRequest& request, std::istream& standardInput, std::ostream& out,
                     std::ostream& errors) {
    const bool fromStandardInput = request.ScriptName.empty() || request.ScriptName == "-";
    std::ifstream file;
    if (!fromStandardInput) {
        file.open(request.ScriptName, std::ios::binary);
        if (!file) {
            errors << "plandra: cannot read " << request.ScriptName << "\n";
            return 1;
        }
    }

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

    return RunScript(
        fromStandardInput ? standardInput : file,
        fromStandardInput ? std::string("standard input") : request.ScriptName, dxf,
        host.MessageBox,
        [&picPlandra](const std::string& name) { return picPlandra.WritePng(name); },
        request.Settings, out, errors);
}

} // namespace plandra::cli
