// The engine's message box layout.
#include "message_box_layout.h"

#include <algorithm>

namespace vorn {

namespace {
constexpr int IconRoom = 24;
constexpr int ThreeButtonSpread = 20;
} // namespace

BoxLayout LayOutMessageBox(const BoxTemplate& box, platform::Size measured, int buttons,
                           bool icon) {
    buttons = std::clamp(buttons, 1, 3);
    const int buttonWidth = box.Button.right - box.Button.left;
    const int buttonHeight = box.Button.bottom - box.Button.top;
    const int templateWidth = box.Text.right - box.Text.left;
    const int templateHeight = box.Text.bottom - box.Text.top;
    const int width =
        std::max({measured.cx, buttons * buttonWidth + buttonWidth / 2, templateWidth});
    const int height = std::max(measured.cy, templateHeight);
    const int shift = icon ? IconRoom : 0;

    BoxLayout layout;
    layout.Text = {box.Text.left + shift, box.Text.top, box.Text.left + shift + width,
                   box.Text.top + height};
    // The margins around the text stay as the template has them.
    layout.Dialog = {box.Dialog.cx + (width - templateWidth) + shift,
                     box.Dialog.cy + (height - templateHeight)};
    const int top = box.Button.top + (height - templateHeight);
    for (int i = 1; i <= buttons; ++i) {
        int centre = layout.Dialog.cx * i / (buttons + 1);
        if (buttons == 3 && i != 2) {
            centre += i == 1 ? -ThreeButtonSpread : ThreeButtonSpread;
        }
        const int left = centre - buttonWidth / 2;
        layout.Buttons.push_back({left, top, left + buttonWidth, top + buttonHeight});
    }
    return layout;
}

} // namespace vorn
