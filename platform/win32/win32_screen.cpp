// The screen's mouse pointer on Windows.
#include "platform/win32/win32_screen.h"

#include "win32_api.h"

namespace platform {

void Win32Screen::SetMousePointer(MousePointer pointer) {
    Current = pointer;
    LPCSTR cursor = pointer == MousePointer::Hourglass ? IDC_WAIT : IDC_ARROW;
    SetCursor(LoadCursorA(nullptr, cursor));
}

} // namespace platform
