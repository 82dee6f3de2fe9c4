// A picture box that records what was asked of it.
#include <platform/headless/recording_picture_box.h>

namespace platform {

void RecordingPictureBox::SetVisible(bool visible) {
    IsVisible = visible;
    Calls.push_back(visible ? Call::Show : Call::Hide);
}

void RecordingPictureBox::FillBox(double x1, double y1, double x2, double y2, ColorRef color) {
    Boxes.push_back({x1, y1, x2, y2, color});
    Calls.push_back(Call::FillBox);
}

} // namespace platform
