// A picture box: one of the control's child drawing surfaces (the status bar for now).
#pragma once

#include <cstdint>

namespace platform {

/// RGB colour in the Win32 COLORREF layout 0x00BBGGRR.
using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

/// The members of a picture box that the control uses. Coordinates are in the
/// box's current scale units.
class PictureBox {
public:
    virtual ~PictureBox() = default;

    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual double ScaleWidth() const = 0;
    virtual double Height() const = 0;
    /// The box form of the Line method: fills the rectangle between the two corners.
    virtual void FillBox(double x1, double y1, double x2, double y2, ColorRef color) = 0;
    /// Clears the box to its back colour.
    virtual void Cls() = 0;
    /// Repaints the box on the screen from its persistent image.
    virtual void Refresh() = 0;
};

} // namespace platform
