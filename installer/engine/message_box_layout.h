// Where the parts of the engine's message box (dialog 114) go once its text has been
// measured: the text, the box widened for long texts or many buttons, the buttons
// centred, and the icon.
#pragma once

#include "platform/gdi.h"

#include <vector>

namespace vorn {

struct BoxTemplate {
    /// The dialog's client size, the text control and one button, as the template has them.
    platform::Size Dialog;
    platform::Rect Text;
    platform::Rect Button;
};

struct BoxLayout {
    platform::Size Dialog;
    platform::Rect Text;
    /// The visible buttons' rectangles, left to right.
    std::vector<platform::Rect> Buttons;
    /// Where the icon is drawn, when the box has one.
    platform::Point Icon{8, 12};
};

/// Lays out a box for `measured` text (DrawTextA with word break and calculate
/// rectangle) with `buttons` visible buttons and an icon or not. The text area is at
/// least as wide as the buttons need (each button's width, and half a width more);
/// the box grows with it; button i of n is centred at i/(n+1) of the box's width, the
/// first and third of three 20 pixels further out; an icon moves the text 24 pixels
/// right and widens the box as much.
BoxLayout LayOutMessageBox(const BoxTemplate& box, platform::Size measured, int buttons, bool icon);

} // namespace vorn
