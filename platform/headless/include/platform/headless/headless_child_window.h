// A child window without a display: keeps its placement so tests can check the layout.
#pragma once

#include "platform/child_window.h"

namespace platform {

class HeadlessChildWindow final : public ChildWindow {
public:
    HeadlessChildWindow(int width, int height, bool visible = true)
        : BoxWidth(width), BoxHeight(height), IsVisible(visible) {}

    int Left() const override { return BoxLeft; }
    int Top() const override { return BoxTop; }
    int Width() const override { return BoxWidth; }
    int Height() const override { return BoxHeight; }
    void Move(int left, int top, int width, int height) override {
        BoxLeft = left;
        BoxTop = top;
        BoxWidth = width;
        BoxHeight = height;
    }
    int Align() const override { return AlignTo; }
    void SetAlign(int align) override { AlignTo = align; }
    bool Visible() const override { return IsVisible; }
    void SetVisible(bool visible) override { IsVisible = visible; }

private:
    int BoxLeft = 0;
    int BoxTop = 0;
    int BoxWidth;
    int BoxHeight;
    int AlignTo = align::None;
    bool IsVisible;
};

} // namespace platform
