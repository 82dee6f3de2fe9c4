// `plandra print`: the control's Plot from the command line, onto a PDF file.
#include "print_command.h"

#include "control/database/control_error.h"
#include "control/interface/dxf_control.h"
#include "drawing_loader.h"
#include "offscreen_control.h"
#ifndef _WIN32
#include "platform/posix/cairo_pdf_printer.h"
#endif

#include <ostream>

namespace plandra::cli {

int RunPrint(const PrintRequest& request, std::ostream& errors) {
#ifdef _WIN32
    errors << "plandra: print --pdf is not available in the Windows build; Windows prints "
              "through its own printers\n";
    (void)request;
    return 1;
#else
    platform::CairoPdfPrinter* pdf = nullptr;
    OffscreenControl placed(1024, 768, [&](OffscreenGdi& raster) {
        auto printer = std::make_unique<platform::CairoPdfPrinter>(
            raster, request.PdfName,
            request.Letter ? platform::PaperSize::Letter : platform::PaperSize::A4);
        pdf = printer.get();
        return printer;
    });
    DXF& dxf = placed.Control;
    request.Reading.ApplyTo(dxf);
    dxf.SetPrintAllBlack(request.PrintAllBlack);
    try {
        ReadableFile file(request.Reading.FileName, request.Reading.Policy(), errors);
        dxf.SetFileName(file.Name());
        if (file.Reading([&] { return dxf.Regen(dxfMergeNew); }) == 0) {
            errors << "plandra: nothing was drawn (the drawing is empty or its scale is out of "
                      "range); "
                   << request.PdfName << " was not written\n";
            return 3;
        }
        dxf.Plot(request.CurrentView ? dxfCurrentView : dxfExtents);
    } catch (const ControlError& error) {
        ReportControlError(errors, error, "drawing", request.Reading.FileName);
        return 1;
    }
    if (!pdf->Written()) {
        errors << "plandra: cannot write " << request.PdfName << "\n";
        return 1;
    }
    return 0;
#endif
}

} // namespace plandra::cli
