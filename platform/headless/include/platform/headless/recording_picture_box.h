// A picture box that draws nothing and records what was asked of it.
#pragma once

#include <platform/picture_box.h>

#include <vector>

namespace platform {

class RecordingPictureBox final : public PictureBox {
public:
    enum class Call { Show, Hide, FillBox, Cls, Refresh };

    struct Filled {
        double X1, Y1, X2, Y2;
        ColorRef Color;
    };

    RecordingPictureBox(double scaleWidth, double height)
        : Width(scaleWidth), BoxHeight(height) {}

    bool Visible() const override { return IsVisible; }
    void SetVisible(bool visible) override;
    double ScaleWidth() const override { return Width; }
    double Height() const override { return BoxHeight; }
    void FillBox(double x1, double y1, double x2, double y2, ColorRef color) override;
    void Cls() override { Calls.push_back(Call::Cls); }
    void Refresh() override { Calls.push_back(Call::Refresh); }

    std::vector<Call> Calls;
    std::vector<Filled> Boxes;

private:
    double Width;
    double BoxHeight;
    bool IsVisible = false;
};

} // namespace platform
