// A clipboard that fails on purpose.
#include "platform/headless/fault_injection_clipboard.h"

namespace platform {

bool FaultInjectingClipboard::OpenClipboard() {
    return !Plan.Use(ClipboardCall::OpenClipboard) && Inner.OpenClipboard();
}

bool FaultInjectingClipboard::EmptyClipboard() {
    return !Plan.Use(ClipboardCall::EmptyClipboard) && Inner.EmptyClipboard();
}

bool FaultInjectingClipboard::SetClipboardData(unsigned format, HENHMETAFILE metafile) {
    return !Plan.Use(ClipboardCall::SetClipboardData) && Inner.SetClipboardData(format, metafile);
}

bool FaultInjectingClipboard::CloseClipboard() {
    return !Plan.Use(ClipboardCall::CloseClipboard) && Inner.CloseClipboard();
}

} // namespace platform
