// The view state of the control and the conversions between drawing units and pixels.
#pragma once

#include "control/database/dxf_number.h"
#include "control/database/entity_records.h"
#include "control/database/real_rect.h"
#include "platform/gdi.h"
#include "platform/picture_box.h"
#include "platform/screen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace plandra {

/// The mapping of the last accepted drawing pass. Every field starts at zero.
class ViewTransform {
public:
    explicit ViewTransform(platform::Screen& screen) : Screen(screen) {}

    /// Drawing X to a pixel column: (X - ViewOriginX) x PixelsPerUnit, rounded half to
    /// even. A result outside 32 bits (or from NaN) puts the pointer back to the default
    /// and raises "Error in CvtX.".
    Long CvtX(float X) const;
    /// Drawing Y to a pixel row, Y axis flipped: SurfaceHeight - (Y - ViewOriginY) x
    /// PixelsPerUnit. Raises "Error in CvtY." as CvtX does.
    Long CvtY(float Y) const;

    /// CvtX and CvtY for the drawing pass: no value where CvtX would raise.
    std::optional<Long> PixelX(float X) const { return ToPixel(UnroundedX(X)); }
    std::optional<Long> PixelY(float Y) const { return ToPixel(UnroundedY(Y)); }
    /// Both coordinates of a drawing point; no value if either overflows.
    std::optional<platform::Point> PixelPoint(float X, float Y) const {
        double x = UnroundedX(X);
        double y = UnroundedY(Y);
        // Both are tested before either is rounded: the pass converts millions of points.
        if (!(InPixelRange(x) && InPixelRange(y))) {
            return std::nullopt;
        }
        return platform::Point{RoundedToLong(x), RoundedToLong(y)};
    }

    /// A pixel column to drawing X; 0 before the first drawing pass.
    float IntToRealX(double XPixel) const;
    /// A pixel row to drawing Y; 0 before the first drawing pass.
    float IntToRealY(double YPixel) const;

    /// The window shown on picPlandra. Returns True.
    bool GetCurrentZoom(float& Left, float& top, float& right, float& bottom) const;

    /// Stores the mapping of an accepted pass in one step. Returns True.
    bool SetViewTransform(Long height, float originX, float originY, float scale,
                          platform::HWND window);

    /// The rectangle for the visibility test from two pixel corners: (x1 + 1, y1 + 1)
    /// to (x2, y2), widened to x1 - 1 or y1 - 1 where it would be empty. The corners
    /// are not put in order. Returns True.
    static bool MakeTestRect(const std::array<platform::Point, 2>& points, platform::Rect& rect) {
        rect = platform::Rect{InnerEdge(points[0].x, points[1].x),
                              InnerEdge(points[0].y, points[1].y), points[1].x, points[1].y};
        return true;
    }

    RealRect ViewWindow;
    float PixelsPerUnit = 0;
    Long SurfaceWidth = 0;
    Long SurfaceHeight = 0;
    float SurfaceAspect = 0;
    float ViewOriginX = 0;
    float ViewOriginY = 0;
    platform::HWND SurfaceWindow = nullptr;

private:
    // Inline because the drawing pass converts several points per entity.
    double UnroundedX(float X) const {
        return (static_cast<double>(X) - ViewOriginX) * PixelsPerUnit;
    }
    double UnroundedY(float Y) const {
        return SurfaceHeight - (static_cast<double>(Y) - ViewOriginY) * PixelsPerUnit;
    }

    /// The values that become pixels: above -2^31, and below 2^31 - 0.5, which already
    /// rounds to the even 2^31. False for NaN.
    static bool InPixelRange(double value) { return value > -2147483648.0 && value < 2147483647.5; }
    static Long RoundedToLong(double value) { return static_cast<Long>(RoundHalfEven(value)); }

    /// A pixel coordinate rounded half to even; no value for NaN or beyond 32 bits.
    static std::optional<Long> ToPixel(double value) {
        if (!InPixelRange(value)) {
            return std::nullopt;
        }
        return RoundedToLong(value);
    }

    /// The test rectangle's left (or top) edge: one pixel in from the first corner, or
    /// one pixel out where that would meet the second corner's edge. Taken in 64 bits
    /// and held to the 32-bit range, so that a corner at its end cannot wrap round to
    /// the other side of the surface.
    static Long InnerEdge(Long first, Long second) {
        std::int64_t edge = std::int64_t{first} + 1;
        if (edge == second) {
            edge = std::int64_t{first} - 1;
        }
        return static_cast<Long>(std::clamp<std::int64_t>(edge, std::numeric_limits<Long>::min(),
                                                          std::numeric_limits<Long>::max()));
    }

    platform::Screen& Screen;
};

} // namespace plandra
