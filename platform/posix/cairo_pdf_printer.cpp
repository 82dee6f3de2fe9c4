// Pages drawn on a bitmap by CairoGdi and written to a PDF file by cairo.
#include "platform/posix/cairo_pdf_printer.h"

#include "platform/printer_units.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cmath>
#include <utility>

namespace platform {

namespace {

constexpr double MarginInches = 0.25;

} // namespace

CairoPdfPrinter::CairoPdfPrinter(CairoGdi& gdi, std::string fileName, PaperSize paper,
                                 int dotsPerInch)
    : Gdi(gdi), FileName(std::move(fileName)),
      PageWidthPoints(paper == PaperSize::A4 ? 595.276 : 612),
      PageHeightPoints(paper == PaperSize::A4 ? 841.89 : 792), DotsPerInch(dotsPerInch),
      PrintableWidth(static_cast<int>((PageWidthPoints / 72 - 2 * MarginInches) * dotsPerInch)),
      PrintableHeight(static_cast<int>((PageHeightPoints / 72 - 2 * MarginInches) * dotsPerInch)) {}

void CairoPdfPrinter::SetScaleMode(int mode) {
    ScaleModeValue = mode;
}

double CairoPdfPrinter::ScaleWidth() const {
    return PrinterUnits(PrintableWidth, DotsPerInch, ScaleModeValue);
}

double CairoPdfPrinter::ScaleHeight() const {
    return PrinterUnits(PrintableHeight, DotsPerInch, ScaleModeValue);
}

void CairoPdfPrinter::OpenPage() {
    if (Page) {
        return;
    }
    Page = OwnDc(Gdi, Gdi.CreateCompatibleDC(nullptr));
    PageBitmap = OwnObject(Gdi, Gdi.CreateDIBSection(Page.Get(), PrintableWidth, PrintableHeight));
    if (!Page || !PageBitmap) {
        PageBitmap.Reset();
        Page.Reset();
        return;
    }
    PreviousBitmap = Gdi.SelectObject(Page.Get(), PageBitmap.Get());
    Gdi.FillRect(Page.Get(), {0, 0, PrintableWidth, PrintableHeight},
                 static_cast<HBRUSH>(Gdi.GetStockObject(stock::WhiteBrush)));
}

void CairoPdfPrinter::Print(std::string_view) {
    // The control prints only the empty text that opens the page.
    OpenPage();
}

HDC CairoPdfPrinter::hDC() {
    OpenPage();
    return Page.Get();
}

void CairoPdfPrinter::EndDoc() {
    WrittenFile = false;
    if (!Page) {
        return;
    }
    cairo_surface_t* pixels = Gdi.SurfaceOf(Page.Get());
    Gdi.BeginCairo(Page.Get());
    cairo_surface_t* pdf =
        cairo_pdf_surface_create(FileName.c_str(), PageWidthPoints, PageHeightPoints);
    cairo_t* cr = cairo_create(pdf);
    cairo_translate(cr, MarginInches * 72, MarginInches * 72);
    cairo_scale(cr, 72.0 / DotsPerInch, 72.0 / DotsPerInch);
    cairo_set_source_surface(cr, pixels, 0, 0);
    cairo_paint(cr);
    cairo_show_page(cr);
    WrittenFile = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_finish(pdf);
    WrittenFile = WrittenFile && cairo_surface_status(pdf) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(pdf);
    Gdi.EndCairo(Page.Get());
    Gdi.SelectObject(Page.Get(), PreviousBitmap);
    PageBitmap.Reset();
    Page.Reset();
}

} // namespace platform
