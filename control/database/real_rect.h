// A rectangle in drawing units.
#pragma once

namespace plandra {

/// Left is the smallest X, Top the largest Y, Right the largest X, Bottom the
/// smallest Y (drawing units, Y axis up).
struct RealRect {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;

    friend bool operator==(const RealRect&, const RealRect&) = default;
};

/// The extents a load starts from, so that the first point sets all four sides.
inline constexpr RealRect EmptyExtents{1E30f, -1E30f, -1E30f, 1E30f};

} // namespace plandra
