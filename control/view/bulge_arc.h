// The circular arc of a bulged polyline segment: centre, radius and end angles.
#pragma once

#include "control/database/entity_records.h"

namespace plandra {

/// Pi as the arc routines use it: five decimals, in single precision.
inline constexpr float BulgePi = 3.14159f;

/// The arc of one segment in drawing units; angles in radians, counter-clockwise
/// from StartAngle to EndAngle.
struct BulgeArc {
    float CenterX = 0, CenterY = 0;
    float Radius = 0;
    float StartAngle = 0, EndAngle = 0;
};

/// The centre's X: X1 + offX, offX negated when the bulge turns the way dx points
/// (or, on a vertical chord, the way dy points).
float BulgeCenterX(float dx, float dy, float X1, float offX, float bulge);
/// The centre's Y: the chord's middle on a vertical chord, else Y1 + offY with offY
/// negated when the bulge and dx differ in sign.
float BulgeCenterY(float dx, float dy, float Y1, float offY, float bulge);
/// The start angle by the signs of bulge, dx and dy.
float BulgeStartAngle(float dx, float dy, float alpha, float bulge, float theta);
/// The end angle: start + |theta|.
float BulgeEndAngle(float bulge, float dx, float dy, float start, float theta);

/// The whole arc of a segment with a bulge other than 0.
BulgeArc ArcOfBulge(const PolySegRec& segment);

} // namespace plandra
