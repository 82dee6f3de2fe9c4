// The conversions between drawing units and pixels.
#include "view_transform.h"

#include "control/database/control_error.h"
#include "control/database/dxf_number.h"

#include <cmath>
#include <limits>

namespace plandra {

namespace {

std::optional<Long> ToPixel(double value) {
    // The comparison is false for NaN, which is refused with the out-of-range values.
    if (!(std::fabs(value) < 2147483648.0)) {
        return std::nullopt;
    }
    double rounded = RoundHalfEven(value);
    if (rounded > std::numeric_limits<Long>::max() || rounded < std::numeric_limits<Long>::min()) {
        return std::nullopt;
    }
    return static_cast<Long>(rounded);
}

Long Clamped(std::int64_t value) {
    if (value > std::numeric_limits<Long>::max()) {
        return std::numeric_limits<Long>::max();
    }
    if (value < std::numeric_limits<Long>::min()) {
        return std::numeric_limits<Long>::min();
    }
    return static_cast<Long>(value);
}

} // namespace

std::optional<Long> ViewTransform::PixelX(float X) const {
    return ToPixel((static_cast<double>(X) - ViewOriginX) * PixelsPerUnit);
}

std::optional<Long> ViewTransform::PixelY(float Y) const {
    return ToPixel(SurfaceHeight - (static_cast<double>(Y) - ViewOriginY) * PixelsPerUnit);
}

std::optional<platform::Point> ViewTransform::PixelPoint(float X, float Y) const {
    std::optional<Long> x = PixelX(X);
    std::optional<Long> y = PixelY(Y);
    if (!x || !y) {
        return std::nullopt;
    }
    return platform::Point{*x, *y};
}

Long ViewTransform::CvtX(float X) const {
    if (std::optional<Long> pixel = PixelX(X)) {
        return *pixel;
    }
    Screen.SetMousePointer(platform::MousePointer::Default);
    throw ControlError::Raised("Error in CvtX.");
}

Long ViewTransform::CvtY(float Y) const {
    if (std::optional<Long> pixel = PixelY(Y)) {
        return *pixel;
    }
    Screen.SetMousePointer(platform::MousePointer::Default);
    throw ControlError::Raised("Error in CvtY.");
}

float ViewTransform::IntToRealX(double XPixel) const {
    if (PixelsPerUnit == 0) {
        return 0;
    }
    return static_cast<float>(ViewWindow.Left + XPixel / PixelsPerUnit);
}

float ViewTransform::IntToRealY(double YPixel) const {
    if (PixelsPerUnit == 0) {
        return 0;
    }
    return static_cast<float>(ViewWindow.Bottom + (SurfaceHeight - YPixel) / PixelsPerUnit);
}

bool ViewTransform::GetCurrentZoom(float& Left, float& top, float& right, float& bottom) const {
    Left = ViewWindow.Left;
    top = ViewWindow.Top;
    right = ViewWindow.Right;
    bottom = ViewWindow.Bottom;
    return true;
}

bool ViewTransform::SetViewTransform(Long height, float originX, float originY, float scale,
                                     platform::HWND window) {
    SurfaceHeight = height;
    ViewOriginX = originX;
    ViewOriginY = originY;
    PixelsPerUnit = scale;
    SurfaceWindow = window;
    return true;
}

bool ViewTransform::MakeTestRect(const std::array<platform::Point, 2>& points,
                                 platform::Rect& rect) {
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

} // namespace plandra
