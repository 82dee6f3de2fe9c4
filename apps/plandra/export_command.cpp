// `plandra export`: the control's metafile export from the command line.
#include "export_command.h"

#include "control/database/control_error.h"
#include "control/interface/dxf_control.h"
#include "drawing_loader.h"
#include "offscreen_control.h"
#include "platform/ansi_text.h"

#include <filesystem>
#include <ostream>
#include <system_error>

namespace plandra::cli {

int RunExport(const ExportRequest& request, std::ostream& errors) {
    OffscreenControl placed(request.Width, request.Height);
    DXF& dxf = placed.Control;
    request.Reading.ApplyTo(dxf);
    dxf.SetPrintAllBlack(request.PrintAllBlack);

    // The control reports a failed write only by the missing file: an old file of the
    // name is moved out of the way first, and put back when nothing new came.
    std::error_code ignored;
    std::filesystem::path output(request.OutputName);
    std::filesystem::path kept = output;
    kept += ".plandra-old";
    bool hadOld = std::filesystem::exists(output, ignored);
    if (hadOld) {
        std::filesystem::rename(output, kept, ignored);
    }
    auto restore = [&] {
        if (hadOld) {
            std::filesystem::rename(kept, output, ignored);
        }
    };
    try {
        ReadableFile file(request.Reading.FileName, request.Reading.Policy(), errors);
        dxf.SetFileName(file.Name());
        bool drawn = file.Reading([&] { return dxf.Regen(dxfMergeNew); }) != 0;
        if (request.Window) {
            drawn = dxf.ShowWindow(*request.Window);
        }
        if (!drawn) {
            restore();
            errors << "plandra: nothing was drawn (the drawing is empty, the window has no "
                      "width or height, or its scale is out of range); "
                   << request.OutputName << " was not written\n";
            return 3;
        }
        std::string_view name = request.OutputName;
        if (name.size() >= 4 &&
            platform::EqualsIgnoringCase(name.substr(name.size() - 4), ".wmf")) {
            dxf.WritePlaceableMetafile(request.OutputName);
        } else {
            dxf.SaveWMF(request.OutputName);
        }
    } catch (const ControlError& error) {
        restore();
        ReportControlError(errors, error, "drawing", request.Reading.FileName);
        return 1;
    }
    if (!std::filesystem::exists(output, ignored)) {
        restore();
        errors << "plandra: cannot write " << request.OutputName << "\n";
        return 1;
    }
    if (hadOld) {
        std::filesystem::remove(kept, ignored);
    }
    return 0;
}

} // namespace plandra::cli
