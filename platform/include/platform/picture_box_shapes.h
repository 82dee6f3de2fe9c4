// The Line and Circle methods of a picture box drawn through GDI, shared by the boxes
// whose image is a device context.
#pragma once

#include "platform/gdi.h"
#include "platform/gdi_objects.h"

#include <algorithm>

namespace platform {

/// Draws one shape on `dc` with a width-1 solid pen in `color` and the mix mode
/// `drawMode`; the device context's pen, brush and mix mode are put back afterwards.
template <typename Draw>
void DrawShapeWith(GdiService& gdi, HDC dc, ColorRef color, int drawMode, Draw&& draw) {
    const auto pen = OwnObject(gdi, gdi.CreatePen(ps::Solid, 1, color));
    HGDIOBJ oldPen = gdi.SelectObject(dc, pen.Get());
    HGDIOBJ oldBrush = gdi.SelectObject(dc, gdi.GetStockObject(stock::NullBrush));
    const int oldMode = gdi.SetROP2(dc, drawMode);
    draw();
    if (oldMode != 0) {
        gdi.SetROP2(dc, oldMode);
    }
    gdi.SelectObject(dc, oldBrush);
    gdi.SelectObject(dc, oldPen);
}

/// A line from `from` up to, not including, `to`; with `box`, the rectangle outline
/// through both corners, each pixel once (a rectangle without width or height is the
/// one line along it, both ends included).
inline void LineShape(GdiService& gdi, HDC dc, Point from, Point to, bool box, ColorRef color,
                      int drawMode) {
    DrawShapeWith(gdi, dc, color, drawMode, [&] {
        if (!box) {
            gdi.MoveToEx(dc, from.x, from.y, nullptr);
            gdi.LineTo(dc, to.x, to.y);
            return;
        }
        const int left = std::min(from.x, to.x), right = std::max(from.x, to.x);
        const int top = std::min(from.y, to.y), bottom = std::max(from.y, to.y);
        gdi.MoveToEx(dc, left, top, nullptr);
        if (left == right || top == bottom) {
            gdi.LineTo(dc, right + (top == bottom ? 1 : 0), bottom + (top == bottom ? 0 : 1));
            return;
        }
        gdi.LineTo(dc, right, top);
        gdi.LineTo(dc, right, bottom);
        gdi.LineTo(dc, left, bottom);
        gdi.LineTo(dc, left, top);
    });
}

/// The outline of the circle of `radius` pixels around `centre`.
inline void CircleShape(GdiService& gdi, HDC dc, Point centre, int radius, ColorRef color,
                        int drawMode) {
    const int r = std::max(radius, 0);
    DrawShapeWith(gdi, dc, color, drawMode, [&] {
        gdi.Ellipse(dc, centre.x - r, centre.y - r, centre.x + r + 1, centre.y + r + 1);
    });
}

} // namespace platform
