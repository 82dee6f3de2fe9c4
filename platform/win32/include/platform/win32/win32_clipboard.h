// The Windows clipboard through USER32.
#pragma once

#include "platform/clipboard.h"
#include "platform/window_handle.h"

namespace platform {

/// Passes the calls to USER32. The clipboard is opened for `owner`; without one the
/// service makes a hidden message-only window of its own, since a clipboard emptied
/// for no window refuses new data.
class Win32Clipboard final : public ClipboardService {
public:
    explicit Win32Clipboard(HWND owner = nullptr);
    ~Win32Clipboard() override;
    Win32Clipboard(const Win32Clipboard&) = delete;
    Win32Clipboard& operator=(const Win32Clipboard&) = delete;

    bool OpenClipboard() override;
    bool EmptyClipboard() override;
    bool SetClipboardData(unsigned format, HENHMETAFILE metafile) override;
    bool CloseClipboard() override;

private:
    HWND Owner;
    HWND OwnWindow = nullptr;
};

} // namespace platform
