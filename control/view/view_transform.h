// The view state of the control and the conversions between drawing units and pixels.
#pragma once

#include "control/database/entity_records.h"
#include "control/database/real_rect.h"

#include <array>
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
    std::optional<Long> PixelX(float X) const;
    std::optional<Long> PixelY(float Y) const;
    /// Both coordinates of a drawing point; no value if either overflows.
    std::optional<platform::Point> PixelPoint(float X, float Y) const;

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
    static bool MakeTestRect(const std::array<platform::Point, 2>& points, platform::Rect& rect);

    RealRect ViewWindow;
    float PixelsPerUnit = 0;
    Long SurfaceWidth = 0;
    Long SurfaceHeight = 0;
    float SurfaceAspect = 0;
    float ViewOriginX = 0;
    float ViewOriginY = 0;
    platform::HWND SurfaceWindow = nullptr;

private:
    platform::Screen& Screen;
};

} // namespace plandra
