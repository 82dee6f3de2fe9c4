// A printer whose document goes to a print queue: the page is made as a PDF file by
// CairoPdfPrinter in a private temporary file and handed to the spooler when the
// document ends.
#pragma once

#include "platform/posix/cairo_pdf_printer.h"
#include "platform/print_spooler.h"

#include <string>

namespace platform {

class SpooledPrinter final : public Printer {
public:
    /// Prints on the queue `queue` of `spooler` as the job `title`.
    SpooledPrinter(CairoGdi& gdi, PrintSpooler& spooler, std::string queue, std::string title,
                   PaperSize paper = PaperSize::A4);
    ~SpooledPrinter() override;
    SpooledPrinter(const SpooledPrinter&) = delete;
    SpooledPrinter& operator=(const SpooledPrinter&) = delete;

    void SetScaleMode(int mode) override { Page.SetScaleMode(mode); }
    void Print(std::string_view text) override { Page.Print(text); }
    HDC hDC() override { return Page.hDC(); }
    double ScaleWidth() const override { return Page.ScaleWidth(); }
    double ScaleHeight() const override { return Page.ScaleHeight(); }
    /// Writes the page and sends it to the queue; the temporary file goes either way.
    void EndDoc() override;

    /// The number of the last job sent, 0 when none was.
    int Job() const { return JobNumber; }
    /// Why the last document was not printed; empty when it was.
    const std::string& Error() const { return Failure; }

private:
    PrintSpooler& Spooler;
    std::string Queue;
    std::string Title;
    std::string TemporaryFile;
    CairoPdfPrinter Page;
    int JobNumber = 0;
    std::string Failure;
};

/// A new empty file of its own in the system's temporary folder ($TMPDIR or /tmp),
/// readable by the user only; empty when none can be made.
std::string MakePrivateTemporaryFile(std::string_view suffix);

} // namespace platform
