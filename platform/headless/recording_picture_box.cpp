// A picture box that records what was asked of it.
#include <platform/headless/recording_picture_box.h>

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
