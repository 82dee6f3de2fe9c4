// Pixel-exact drawing of width-1 pens and plain fills straight into a 24-bit image.
#pragma once

#include "platform/gdi.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform::raster {

/// An image of 0x00RRGGBB pixels, rows `Stride` pixels apart.
struct Target {
    std::uint32_t* Pixels = nullptr;
    std::ptrdiff_t Stride = 0;
    int Width = 0;
    int Height = 0;

    std::uint32_t& At(int x, int y) const { return Pixels[y * Stride + x]; }
};

constexpr std::uint32_t ToPixel(ColorRef color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

constexpr ColorRef ToColorRef(std::uint32_t pixel) {
    return ToPixel(pixel & 0xFFFFFF);
}

/// How a width-1 pen paints: its colour and dash style, the background colour the
/// gaps take when they are opaque, and the mix mode.
struct PenPaint {
    std::uint32_t Ink = 0;
    std::uint32_t Background = 0xFFFFFF;
    bool OpaqueGaps = true;
    int Style = ps::Solid;
    int Rop2 = r2::CopyPen;
};

/// The pixels from `from` up to, not including, `to`, clipped to the image. Lines of
/// any length cost only what they cover of the image.
void CosmeticLine(const Target& target, Point from, Point to, const PenPaint& pen);

/// The outline of the ellipse inscribed in the box (right column and bottom row
/// excluded), counter-clockwise as seen on the screen. With `arc`, only the part from
/// the ray through arc[0] to the ray through arc[1]; equal rays give the whole ellipse.
/// With `fill`, the inside is filled first in that pixel value.
void EllipseOutline(const Target& target, Rect box, const PenPaint& pen, const Point* arc,
                    const std::uint32_t* fill);

/// Fills the polygon through `points`, closed from the last back to the first, as GDI
/// fills polygons and polygon regions: pixel (x, y) is inside when the point (x, y) is,
/// by the alternate rule or with `winding` the winding rule, where a point on an edge
/// counts as inside on its left and top sides and outside on its right and bottom.
void FillPolygon(const Target& target, std::span<const Point> points, bool winding,
                 std::uint32_t pixel);

/// Fills the rectangle, right column and bottom row excluded, clipped to the image.
void FillRectangle(const Target& target, Rect rect, std::uint32_t pixel);

} // namespace platform::raster
