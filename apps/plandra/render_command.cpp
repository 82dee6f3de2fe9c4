// `plandra render`: draws a drawing as the control does and writes it as a PNG file.
#include "render_command.h"

#include "control/database/control_error.h"
#include "control/interface/dxf_control.h"
#include "drawing_loader.h"
#include "offscreen_control.h"

#include <cstdio>
#include <fstream>
#include <ostream>

namespace plandra::cli {

int RunRender(const RenderRequest& request, std::ostream& errors) {
    OffscreenControl placed(request.Width, request.Height);
    DXF& dxf = placed.Control;
    request.Reading.ApplyTo(dxf);
    dxf.SetPrintAllBlack(request.PrintAllBlack);
    dxf.SetBackColor(static_cast<OleColor>(request.BackColor));
    if (!request.TextBoxesName.empty()) {
        placed.Gdi.StartRecording();
    }

    bool drawn = false;
    try {
        ReadableFile file(request.Reading.FileName, request.Reading.Policy(), errors);
        dxf.SetFileName(file.Name());
        drawn = file.Reading([&] { return dxf.Regen(dxfMergeNew); }) != 0;
        if (request.Window) {
            drawn = dxf.ShowWindow(*request.Window);
        }
    } catch (const ControlError& error) {
        ReportControlError(errors, error, "drawing", request.Reading.FileName);
        return 1;
    }
    if (!placed.picPlandra.WritePng(request.OutputName)) {
        errors << "plandra: cannot write " << request.OutputName << "\n";
        return 1;
    }
    if (!request.TextBoxesName.empty()) {
        std::ofstream boxes(request.TextBoxesName, std::ios::binary);
        placed.Gdi.WriteTextBoxes(boxes);
        if (!boxes.flush()) {
            errors << "plandra: cannot write " << request.TextBoxesName << "\n";
            return 1;
        }
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
