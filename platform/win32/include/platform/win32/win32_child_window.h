// One of the control's child windows on Windows: a child HWND placed and shown
// through USER32.
#pragma once

#include "platform/child_window.h"
#include "platform/window_handle.h"

namespace platform {

/// Places a child window that its parent owns and that outlives this object. Sizes
/// are the window's own (border included), positions are in its parent's client
/// pixels. A window aligned to the top is docked there: whatever it is moved to, it
/// sits at the parent's top left corner with the parent's client width and keeps
/// only the height it is given.
class Win32ChildWindow final : public ChildWindow {
public:
    explicit Win32ChildWindow(HWND window) : Handle(window) {}

    int Left() const override;
    int Top() const override;
    int Width() const override;
    int Height() const override;
    void Move(int left, int top, int width, int height) override;
    int Align() const override { return AlignTo; }
    /// Aligning to the top docks the window at once.
    void SetAlign(int align) override;
    /// The window's own visibility flag (WS_VISIBLE), whether or not its parent shows.
    bool Visible() const override;
    void SetVisible(bool visible) override;

    HWND Get() const { return Handle; }

private:
    HWND Handle;
    int AlignTo = align::None;
};

} // namespace platform
