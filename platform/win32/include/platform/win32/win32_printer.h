// A Windows printer: the default printer, or one named, through GDI's print jobs.
#pragma once

#include "platform/printer.h"

#include <string>

namespace platform {

/// The document is one page: the first Print (or hDC) makes the printer's device
/// context (the default printer's through PrintDlg, or the named printer's through
/// CreateDC) and starts the document and its page; EndDoc ends both and lets the
/// device context go, so the printer serves the next document the same way.
class Win32Printer final : public Printer {
public:
    /// An empty `printerName` prints on the default printer.
    explicit Win32Printer(std::string printerName = {}, std::string title = "Plandra");
    ~Win32Printer() override;
    Win32Printer(const Win32Printer&) = delete;
    Win32Printer& operator=(const Win32Printer&) = delete;

    void SetScaleMode(int mode) override { ScaleModeValue = mode; }
    void Print(std::string_view text) override;
    HDC hDC() override;
    double ScaleWidth() const override;
    double ScaleHeight() const override;
    void EndDoc() override;

    /// Why the last document was not printed; empty when it was.
    const std::string& Error() const { return Failure; }

private:
    bool Open();

    std::string PrinterName;
    std::string Title;
    void* Dc = nullptr;     // the printer's ::HDC while a document is open
    int ScaleModeValue = 1; // twips, the printer's own default
    bool Started = false;
    std::string Failure;
};

} // namespace platform
