// The rubber band drawn while the mouse drags on picPlandra: a rectangle, a line or a
// circle from the press point, drawn in invert mode so that drawing it again erases it.
#pragma once

#include "control/database/entity_records.h"
#include "platform/picture_box.h"

namespace plandra {

enum class BandShape {
    None,
    Rectangle,
    Line,
    /// Centred on the anchor, through the current point.
    Circle,
};

/// A pixel coordinate of the mouse as the band keeps it: rounded half to even to a
/// 16-bit Integer; the Overflow error for a value beyond it or NaN.
Integer BandPixel(float value);

/// The band's state: where the press happened, the last point drawn, and whether a
/// drag is under way.
class RubberBand {
public:
    /// A press at (x, y): anchor and current point there, active, nothing drawn yet.
    void Start(Integer x, Integer y);
    /// Erases the band drawn to the current point and draws it in `shape` to (x, y),
    /// which becomes the current point. Nothing is drawn for BandShape::None.
    void Follow(platform::PictureBox& surface, BandShape shape, Integer x, Integer y);
    /// Takes the band off the surface by drawing it once more.
    void Erase(platform::PictureBox& surface);

    Integer ZoomAnchorX = 0;
    Integer ZoomAnchorY = 0;
    Integer ZoomCurrentX = 0;
    Integer ZoomCurrentY = 0;
    bool ZoomActive = false;

private:
    /// The shape on the surface: erased in the shape it was drawn in, even when another
    /// control has changed the band style meanwhile.
    BandShape Drawn = BandShape::None;

    void Draw(platform::PictureBox& surface, BandShape shape, Integer x, Integer y) const;
};

} // namespace plandra
