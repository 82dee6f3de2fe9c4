// The printer object: one document of pages drawn through a device context.
#pragma once

#include "platform/gdi.h"

#include <string_view>

namespace platform {

/// The printer as the control prints on it: a scale mode, Print to open the page, the
/// device context of the page, its printable size and the end of the document.
class Printer {
public:
    virtual ~Printer() = default;

    /// A scale:: value (picture_box.h); the control prints in pixels.
    virtual void SetScaleMode(int mode) = 0;
    /// Prints text at the current position; the first output opens the page.
    virtual void Print(std::string_view text) = 0;
    /// The device context of the open page; valid until EndDoc. It belongs to the
    /// GdiService the control draws with.
    virtual HDC hDC() = 0;
    /// The printable area in the current scale units.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    /// Ends the document and sends it on (to its file or print queue).
    virtual void EndDoc() = 0;
};

} // namespace platform
