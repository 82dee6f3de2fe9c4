// The rubber band.
#include "rubber_band.h"

#include "control/database/dxf_number.h"

#include <cmath>

namespace plandra {

Integer BandPixel(float value) {
    return ToInteger(value);
}

void RubberBand::Start(Integer x, Integer y) {
    ZoomAnchorX = ZoomCurrentX = x;
    ZoomAnchorY = ZoomCurrentY = y;
    ZoomActive = true;
    Drawn = BandShape::None;
}

void RubberBand::Follow(platform::PictureBox& surface, BandShape shape, Integer x, Integer y) {
    Erase(surface);
    Draw(surface, shape, x, y);
    Drawn = shape;
    ZoomCurrentX = x;
    ZoomCurrentY = y;
}

void RubberBand::Erase(platform::PictureBox& surface) {
    Draw(surface, Drawn, ZoomCurrentX, ZoomCurrentY);
    Drawn = BandShape::None;
}

void RubberBand::Draw(platform::PictureBox& surface, BandShape shape, Integer x, Integer y) const {
    if (shape == BandShape::None) {
        return;
    }
    // Black inverts like any other colour: the invert mode ignores the pen's colour.
    constexpr platform::ColorRef Ink = 0;
    const int previousMode = surface.DrawMode();
    surface.SetDrawMode(platform::drawmode::Invert);
    switch (shape) {
    case BandShape::Rectangle:
    case BandShape::Line:
        surface.Line(ZoomAnchorX, ZoomAnchorY, x, y, Ink, shape == BandShape::Rectangle);
        break;
    case BandShape::Circle: {
        const double dx = x - ZoomAnchorX;
        const double dy = y - ZoomAnchorY;
        surface.Circle(ZoomAnchorX, ZoomAnchorY, std::nearbyint(std::sqrt(dx * dx + dy * dy)), Ink);
        break;
    }
    case BandShape::None:
        break;
    }
    surface.SetDrawMode(previousMode);
}

} // namespace plandra
