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

/// Puts the default pointer back however the scope is left.
class DefaultPointerOnExit {
public:
    explicit DefaultPointerOnExit(Screen& screen) : Target(screen) {}
    DefaultPointerOnExit(const DefaultPointerOnExit&) = delete;
    DefaultPointerOnExit& operator=(const DefaultPointerOnExit&) = delete;
    ~DefaultPointerOnExit() { Target.SetMousePointer(MousePointer::Default); }

private:
    Screen& Target;
};

} // namespace platform
