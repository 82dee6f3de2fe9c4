// A picture box that records what was asked of it.
#include "platform/headless/recording_picture_box.h"

namespace platform {

void RecordingPictureBox::SetVisible(bool visible) {
    IsVisible = visible;
    Calls.push_back(visible ? Call::Show : Call::Hide);
}

void RecordingPictureBox::ZOrder(int) {
    Calls.push_back(Call::ZOrder);
}

void RecordingPictureBox::FillBox(double x1, double y1, double x2, double y2, ColorRef color) {
    Boxes.push_back({x1, y1, x2, y2, color});
    Calls.push_back(Call::FillBox);
}

void RecordingPictureBox::SetDrawMode(int mode) {
    if (mode >= r2::Black && mode <= r2::White) {
        Mix = mode;
    }
}

void RecordingPictureBox::Line(double x1, double y1, double x2, double y2, ColorRef, bool box) {
    const Call kind = box ? Call::Box : Call::Line;
    Shapes.push_back({kind, x1, y1, x2, y2, Mix, IsAutoRedraw});
    Calls.push_back(kind);
}

void RecordingPictureBox::Circle(double x, double y, double radius, ColorRef) {
    Shapes.push_back({Call::Circle, x, y, radius, 0, Mix, IsAutoRedraw});
    Calls.push_back(Call::Circle);
}

void RecordingPictureBox::Cls() {
    X = 0;
    Y = 0;
    Calls.push_back(Call::Cls);
}

void RecordingPictureBox::Print(std::string_view text) {
    Texts.push_back({std::string(text), X, Y});
    Calls.push_back(Call::Print);
    X = 0;
    Y += CharHeight;
}

} // namespace platform
