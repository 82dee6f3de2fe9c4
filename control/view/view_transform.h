// The view state of the control and the conversions between drawing units and pixels.
#pragma once

#include "control/database/dxf_number.h"

#include "control/database/entity_records.h"
#include "control/database/real_rect.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <platform/gdi.h>
#include <platform/picture_box.h>
#include <platform/screen.h>

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
    std::optional<Long> PixelX(float X) const {
        return ToPixel((static_cast<double>(X) - ViewOriginX) * PixelsPerUnit);
    }
    std::optional<Long> PixelY(float Y) const {
        return ToPixel(SurfaceHeight - (static_cast<double>(Y) - ViewOriginY) * PixelsPerUnit);
    }
    /// Both coordinates of a drawing point; no value if either overflows.
    std::optional<platform::Point> PixelPoint(float X, float Y) const {
        std::optional<Long> x = PixelX(X);
        std::optional<Long> y = PixelY(Y);
        if (!x || !y) {
            return std::nullopt;
        }
        return platform::Point{*x, *y};
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
        // Computed in 64 bits: a corner at the edge of the 32-bit range must not wrap
        // round to the other side of the surface.
        std::int64_t x1 = points[0].x;
        std::int64_t y1 = points[0].y;
        std::int64_t left = x1 + 1;
        std::int64_t top = y1 + 1;
        std::int64_t right = points[1].x;
        std::int64_t bottom = points[1].y;
        if (left == right) {
            left = x1 - 1;
        }
        if (top == bottom) {
            top = y1 - 1;
        }
        rect = platform::Rect{Clamped(left), Clamped(top), Clamped(right), Clamped(bottom)};
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
    /// A pixel coordinate rounded half to even; no value for NaN or beyond 32 bits.
    /// Inline because the drawing pass converts several points per entity.
    static std::optional<Long> ToPixel(double value) {
        // The comparison is false for NaN, which is refused with the out-of-range values.
        if (!(value > -2147483648.0 && value < 2147483648.0)) {
            return std::nullopt;
        }
        double rounded = RoundHalfEven(value);
        if (rounded >= 2147483648.0) {
            return std::nullopt;
        }
        return static_cast<Long>(rounded);
    }

    static Long Clamped(std::int64_t value) {
        if (value > std::numeric_limits<Long>::max()) {
            return std::numeric_limits<Long>::max();
        }
        if (value < std::numeric_limits<Long>::min()) {
            return std::numeric_limits<Long>::min();
        }
        return static_cast<Long>(value);
    }

    platform::Screen& Screen;
};

} // namespace plandra
