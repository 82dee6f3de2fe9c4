// The screen's mouse pointer on Windows: the cursor shown over the application.
#pragma once

#include "platform/screen.h"

namespace platform {

class Win32Screen final : public Screen {
public:
    void SetMousePointer(MousePointer pointer) override;
    MousePointer GetMousePointer() const override { return Current; }

private:
    MousePointer Current = MousePointer::Default;
};

} // namespace platform
