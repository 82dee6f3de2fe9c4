// The screen's mouse pointer, as the control sets it around long work.
#pragma once

namespace platform {

/// Mouse pointer shapes by their automation numbers.
enum class MousePointer : int {
    Default = 0,
    Hourglass = 11,
};

/// Stands in for the screen object's MousePointer property.
class Screen {
public:
    virtual ~Screen() = default;
    virtual void SetMousePointer(MousePointer pointer) = 0;
    virtual MousePointer GetMousePointer() const = 0;
};

} // namespace platform
