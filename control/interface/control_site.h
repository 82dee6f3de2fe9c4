// What the control sees of its host: the container's ambient state and notifications,
// and the sink of the control's events.
#pragma once

#include "control/database/entity_records.h"

#include <string_view>

namespace plandra {

/// The container that holds the control.
class ControlContainer {
public:
    virtual ~ControlContainer() = default;
    /// The ambient UserMode: False while the container's form is being designed.
    virtual bool UserMode() const = 0;
    /// A property changed; `key` is its property-bag key, so the container can mark
    /// its form as modified.
    virtual void PropertyChanged(std::string_view key) = 0;
};

/// The control's event interface __DXF. Every parameter is passed by reference, as
/// automation events do; X and Y are picPlandra pixels, Button and Shift bit masks
/// (left 1, right 2, middle 4; Shift 1, Ctrl 2, Alt 4).
class DXFEvents {
public:
    virtual ~DXFEvents() = default;
    virtual void MouseDown(Integer& Button, Integer& Shift, float& X, float& Y) = 0;
    virtual void MouseMove(Integer& Button, Integer& Shift, float& X, float& Y) = 0;
    virtual void MouseUp(Integer& Button, Integer& Shift, float& X, float& Y) = 0;
};

/// A container that is always at run time and ignores notifications, for hosts that
/// have no design mode (command-line tools).
class RunTimeContainer final : public ControlContainer {
public:
    bool UserMode() const override { return true; }
    void PropertyChanged(std::string_view) override {}
};

} // namespace plandra
