// `plandra print`: the control's Plot from the command line, on a printer or onto a PDF
// file.
#include "print_command.h"

#include "control/database/control_error.h"
#include "control/interface/dxf_control.h"
#include "drawing_loader.h"
#include "offscreen_control.h"
#ifdef _WIN32
#include "platform/win32/win32_printer.h"
#else
#include "platform/posix/cairo_pdf_printer.h"
#include "platform/posix/cups_spooler.h"
#include "platform/posix/posix_library.h"
#include "platform/posix/spooled_printer.h"
#endif

#include <ostream>

namespace plandra::cli {

namespace {

// Where the page goes, and why it did not get there (empty once it did).
struct PrintTarget {
    std::string Name;
    std::function<std::string()> Failure;
};

} // namespace

int RunPrint(const PrintRequest& request, std::ostream& errors) {
    PrintTarget target;
#ifdef _WIN32
    if (!request.PdfName.empty()) {
        errors << "plandra: print --pdf is not available in the Windows build; print on a "
                  "printer with --printer NAME or on the default printer\n";
        return 1;
    }
    OffscreenControl placed(1024, 768, [&](OffscreenGdi&) {
        auto printer =
            std::make_unique<platform::Win32Printer>(request.PrinterName, request.Reading.FileName);
        target.Failure = [&page = *printer] { return page.Error(); };
        return printer;
    });
    target.Name = request.PrinterName.empty() ? "the default printer" : request.PrinterName;
#else
    platform::PosixLibraryService libraries;
    platform::CupsSpooler cups(libraries);
    const platform::PaperSize paper =
        request.Letter ? platform::PaperSize::Letter : platform::PaperSize::A4;
    OffscreenControl placed(
        1024, 768, [&](OffscreenGdi& raster) -> std::unique_ptr<platform::Printer> {
            if (!request.PdfName.empty()) {
                auto pdf =
                    std::make_unique<platform::CairoPdfPrinter>(raster, request.PdfName, paper);
                target.Failure = [&page = *pdf] {
                    return page.Written() ? std::string() : std::string("it cannot be written");
                };
                return pdf;
            }
            auto queue = std::make_unique<platform::SpooledPrinter>(
                raster, cups, request.PrinterName, request.Reading.FileName, paper);
            target.Failure = [&page = *queue] { return page.Error(); };
            return queue;
        });
    target.Name = !request.PdfName.empty()      ? request.PdfName
                  : request.PrinterName.empty() ? "the default printer"
                                                : request.PrinterName;
#endif
    DXF& dxf = placed.Control;
    request.Reading.ApplyTo(dxf);
    dxf.SetPrintAllBlack(request.PrintAllBlack);
    try {
        ReadableFile file(request.Reading.FileName, request.Reading.Policy(), errors);
        dxf.SetFileName(file.Name());
        if (file.Reading([&] { return dxf.Regen(dxfMergeNew); }) == 0) {
            errors << "plandra: nothing was drawn (the drawing is empty or its scale is out of "
                      "range); nothing was printed on "
                   << target.Name << "\n";
            return 3;
        }
        dxf.Plot(request.CurrentView ? dxfCurrentView : dxfExtents);
    } catch (const ControlError& error) {
        ReportControlError(errors, error, "drawing", request.Reading.FileName);
        return 1;
    }
    if (std::string failure = target.Failure(); !failure.empty()) {
        errors << "plandra: cannot print on " << target.Name << ": " << failure << "\n";
        return 1;
    }
    return 0;
}

} // namespace plandra::cli
