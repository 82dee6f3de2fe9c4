// Where one of the control's child windows sits inside the control.
#pragma once

namespace platform {

/// Align values of a child window.
namespace align {
inline constexpr int None = 0;
inline constexpr int Top = 1;
} // namespace align

/// The placement and visibility of a child window (Left, Top, Width, Height, Align,
/// Visible and Move), in the pixels of the control that holds it.
class ChildWindow {
public:
    virtual ~ChildWindow() = default;
    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Move(int left, int top, int width, int height) = 0;
    virtual int Align() const = 0;
    virtual void SetAlign(int align) = 0;
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};

} // namespace platform
