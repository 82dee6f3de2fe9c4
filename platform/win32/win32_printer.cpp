// Printing through GDI's print jobs: PrintDlg or CreateDC, StartDoc, StartPage, EndPage
// and EndDoc.
#include "platform/win32/win32_printer.h"

#include "platform/printer_units.h"
#include "win32_api.h"

#include <commdlg.h>
#include <utility>

namespace platform {

namespace {

::HDC Native(void* dc) {
    return static_cast<::HDC>(dc);
}

// The default printer's device context, without showing the dialog.
::HDC DefaultPrinterDc() {
    PRINTDLGA request{};
    request.lStructSize = sizeof request;
    request.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!::PrintDlgA(&request)) {
        return nullptr;
    }
    if (request.hDevMode != nullptr) {
        ::GlobalFree(request.hDevMode);
    }
    if (request.hDevNames != nullptr) {
        ::GlobalFree(request.hDevNames);
    }
    return request.hDC;
}

} // namespace

Win32Printer::Win32Printer(std::string printerName, std::string title)
    : PrinterName(std::move(printerName)), Title(std::move(title)) {}

Win32Printer::~Win32Printer() {
    if (Dc != nullptr) {
        if (Started) {
            ::AbortDoc(Native(Dc));
        }
        ::DeleteDC(Native(Dc));
    }
}

bool Win32Printer::Open() {
    if (Dc != nullptr) {
        return Started;
    }
    Failure.clear();
    Dc = PrinterName.empty() ? DefaultPrinterDc()
                             : ::CreateDCA("WINSPOOL", PrinterName.c_str(), nullptr, nullptr);
    if (Dc == nullptr) {
        Failure = PrinterName.empty() ? "there is no default printer"
                                      : "there is no printer called " + PrinterName;
        return false;
    }
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = Title.c_str();
    Started = ::StartDocA(Native(Dc), &document) > 0;
    if (Started && ::StartPage(Native(Dc)) <= 0) {
        ::AbortDoc(Native(Dc));
        Started = false;
    }
    if (!Started) {
        Failure = "the printer did not start the document";
    }
    return Started;
}

void Win32Printer::Print(std::string_view) {
    // The control prints only the empty text that opens the page.
    Open();
}

HDC Win32Printer::hDC() {
    return Open() ? reinterpret_cast<HDC>(Dc) : nullptr;
}

double Win32Printer::ScaleWidth() const {
    return Dc == nullptr ? 0
                         : PrinterUnits(::GetDeviceCaps(Native(Dc), HORZRES),
                                        ::GetDeviceCaps(Native(Dc), LOGPIXELSX), ScaleModeValue);
}

double Win32Printer::ScaleHeight() const {
    return Dc == nullptr ? 0
                         : PrinterUnits(::GetDeviceCaps(Native(Dc), VERTRES),
                                        ::GetDeviceCaps(Native(Dc), LOGPIXELSY), ScaleModeValue);
}

void Win32Printer::EndDoc() {
    if (Dc == nullptr) {
        if (Failure.empty()) {
            Failure = "nothing was printed";
        }
        return;
    }
    if (Started && (::EndPage(Native(Dc)) <= 0 || ::EndDoc(Native(Dc)) <= 0)) {
        Failure = "the printer did not finish the document";
    }
    Started = false;
    ::DeleteDC(Native(Dc));
    Dc = nullptr;
}

} // namespace platform
