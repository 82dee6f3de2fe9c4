// `plandra print`: loads a drawing as the control does and prints it through the
// control's Plot on a printer or onto a PDF file.
#pragma once

#include "reading_options.h"

#include <iosfwd>
#include <string>

namespace plandra::cli {

struct PrintRequest {
    ReadingOptions Reading;
    /// The PDF file to print to; empty: a printer.
    std::string PdfName;
    /// The printer (a CUPS queue on Linux); empty: the default printer.
    std::string PrinterName;
    /// The view the control shows (the extents after loading) instead of the extents.
    bool CurrentView = false;
    bool Letter = false; ///< Letter paper instead of A4
    bool PrintAllBlack = false;
};

/// Prints as requested. Returns the exit status: 0 when the PDF was written or the job
/// taken by the printer, 1 when the drawing could not be read or the page not printed,
/// 3 when nothing could be drawn.
/// Messages go to `errors`.
int RunPrint(const PrintRequest& request, std::ostream& errors);

} // namespace plandra::cli
