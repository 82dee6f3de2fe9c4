// A screen without a display: keeps every mouse pointer change so tests can check them.
#pragma once

#include "platform/screen.h"

#include <vector>

namespace platform {

class HeadlessScreen final : public Screen {
public:
    void SetMousePointer(MousePointer pointer) override { History.push_back(pointer); }
    MousePointer GetMousePointer() const override {
        return History.empty() ? MousePointer::Default : History.back();
    }

    /// Every pointer set, oldest first.
    std::vector<MousePointer> History;
};

} // namespace platform
