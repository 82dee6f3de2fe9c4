// The clipboard, with the Win32 names and meanings of its calls: OpenClipboard,
// EmptyClipboard, SetClipboardData and CloseClipboard, for enhanced metafiles.
#pragma once

#include "platform/metafiles.h"

namespace platform {

/// Clipboard formats, with their Win32 values.
namespace clipboard {
inline constexpr unsigned EnhMetafile = 14; ///< CF_ENHMETAFILE
} // namespace clipboard

/// The clipboard of the desktop the program runs on. Calls follow Win32's order: open,
/// empty, set, close. The owner window is the service's own (given when it is made).
class ClipboardService {
public:
    virtual ~ClipboardService() = default;

    /// Opens the clipboard for changes; false when another program holds it open.
    virtual bool OpenClipboard() = 0;
    /// Drops what the clipboard held; only while it is open.
    virtual bool EmptyClipboard() = 0;
    /// Puts `metafile` on the clipboard as `format` (clipboard::EnhMetafile). On success
    /// the clipboard owns the metafile and the caller must not delete it; on failure
    /// the caller still owns it.
    virtual bool SetClipboardData(unsigned format, HENHMETAFILE metafile) = 0;
    /// Closes the clipboard and publishes what was set while it was open.
    virtual bool CloseClipboard() = 0;
};

} // namespace platform
