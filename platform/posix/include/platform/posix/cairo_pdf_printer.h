// A printer whose document goes to a PDF file: each page is drawn by CairoGdi on a
// bitmap of the printable area and placed on a PDF page by cairo.
#pragma once

#include "platform/gdi_objects.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/printer.h"

#include <string>

namespace platform {

enum class PaperSize { A4, Letter };

/// The printable area is the page less a quarter inch on every side, at `dotsPerInch`.
/// The page is opened by the first Print and written by EndDoc.
class CairoPdfPrinter final : public Printer {
public:
    CairoPdfPrinter(CairoGdi& gdi, std::string fileName, PaperSize paper = PaperSize::A4,
                    int dotsPerInch = 600);

    void SetScaleMode(int mode) override;
    void Print(std::string_view text) override;
    HDC hDC() override;
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    void EndDoc() override;

    /// Whether the last EndDoc wrote its file.
    bool Written() const { return WrittenFile; }
    /// The printable area in pixels.
    int Width() const { return PrintableWidth; }
    int Height() const { return PrintableHeight; }

private:
    void OpenPage();

    CairoGdi& Gdi;
    std::string FileName;
    double PageWidthPoints;
    double PageHeightPoints;
    int DotsPerInch;
    int PrintableWidth;
    int PrintableHeight;
    int ScaleModeValue = 1; // twips, the printer's own default
    UniqueDeviceContext Page;
    UniqueGdiObject<HBITMAP> PageBitmap;
    HGDIOBJ PreviousBitmap = nullptr;
    bool WrittenFile = false;
};

} // namespace platform
