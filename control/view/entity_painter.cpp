// Draws one entity of the sequence list with GDI calls.
#include "entity_painter.h"

#include "bulge_arc.h"
#include "control/database/drawing_math.h"
#include "control/database/dxf_number.h"
#include "platform/gdi_objects.h"
#include "text_painting.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace plandra {

namespace {

using platform::Point;

// The drawing code converts degrees with its own five-decimal pi, so that arcs end on
// the same pixels as they always have.
double ToRadians(float degrees) {
    return degrees * 2 * DrawingPi / 360;
}

// Pixel widths of wide polyline segments are 16-bit. A width beyond that range is
// drawn as wide as the range allows (far wider than any surface) rather than failing
// the whole pass, so a deep zoom into a wide segment still shows it filling the view.
int SegmentPixelWidth(float width, float pixelsPerUnit) {
    double pixels = RoundHalfEven(static_cast<double>(width) * pixelsPerUnit);
    if (!(pixels > 1)) {
        return 1;
    }
    return pixels > 32767 ? 32767 : static_cast<int>(pixels);
}

} // namespace

EntityPainter::EntityPainter(platform::GdiService& gdi, platform::HDC dc,
                             const ViewTransform& transform, platform::HRGN viewRegion,
                             const DrawingDatabase& database, const DrawingOptions& options,
                             platform::PictureBox* measureSurface)
    : Gdi(gdi), Dc(dc), Transform(transform), ViewRegion(viewRegion), Database(database),
      Options(options), MeasureSurface(measureSurface) {
    // Without a layer collection every entity takes the lookup's own path (and error).
    if (!Database.colLayers) {
        return;
    }
    Long count = Database.colLayers->Count();
    Layers.resize(static_cast<std::size_t>(count) + 1);
    for (Long id = 1; id <= count; ++id) {
        Layers[static_cast<std::size_t>(id)] = {
            LayerIsOn(Database, id),
            static_cast<platform::ColorRef>(LayerDrawColor(Database, Options, id, 0))};
    }
}

void EntityPainter::Draw(const SeqEntry& entry) {
    Long index = entry.EntityIndex;
    // The reader only makes entries for records it stored; this keeps a damaged
    // entry from reading outside its array.
    auto stored = [index](Long count) { return index >= 1 && index <= count; };
    switch (static_cast<EntityKind>(entry.EntityType)) {
    case EntityKind::Line:
        if (stored(Database.LineCount)) {
            DrawLine(Database.Lines[index]);
        }
        break;
    case EntityKind::PolySeg:
        if (stored(Database.PolySegCount)) {
            DrawPolySeg(Database.PolySegs[index]);
        }
        break;
    case EntityKind::Arc:
        if (stored(Database.ArcCount)) {
            DrawArc(Database.Arcs[index]);
        }
        break;
    case EntityKind::Solid:
        if (stored(Database.SolidCount)) {
            DrawSolid(Database.Solids[index]);
        }
        break;
    case EntityKind::Point:
        if (stored(Database.PointCount)) {
            DrawPoint(Database.Points[index]);
        }
        break;
    case EntityKind::Ellipse:
        if (stored(Database.EllipseCount)) {
            DrawEllipse(Database.Ellipses[index]);
        }
        break;
    case EntityKind::Text:
        if (stored(Database.TextCount)) {
            const TextRec& text = Database.Texts[index];
            if (text.Deleted == IntegerFalse) {
                DrawText(text);
            }
        }
        break;
    case EntityKind::Attrib:
        if (Options.DisplayAttributes && stored(Database.AttribCount)) {
            DrawText(Database.Attribs[index]);
        }
        break;
    case EntityKind::Fill:
        if (stored(Database.FillCount)) {
            DrawFill(Database.Fills[index]);
        }
        break;
    case EntityKind::Unused:
        break;
    }
}

platform::ColorRef EntityPainter::Color(Long layerID, Long entityColor) const {
    if (layerID >= 1 && layerID < static_cast<Long>(Layers.size())) {
        return Layers[static_cast<std::size_t>(layerID)].Color;
    }
    return static_cast<platform::ColorRef>(LayerDrawColor(Database, Options, layerID, entityColor));
}

const EntityPainter::ArcEndDirection::Direction& EntityPainter::ArcEndDirection::Of(float degrees) {
    auto bits = std::bit_cast<std::uint32_t>(degrees);
    if (!Known || bits != DegreesBits) {
        double radians = ToRadians(degrees);
        Last = {std::cos(radians), std::sin(radians)};
        DegreesBits = bits;
        Known = true;
    }
    return Last;
}

void EntityPainter::StraightLine(Point from, Point to, int style, int width,
                                 platform::ColorRef color) {
    platform::ScopedSelection pen(Gdi, Dc,
                                  platform::OwnObject(Gdi, Gdi.CreatePen(style, width, color)));
    Gdi.MoveToEx(Dc, from.x, from.y, nullptr);
    Gdi.LineTo(Dc, to.x, to.y);
}

void EntityPainter::DrawLine(const LineRec& line) {
    if (!IsOn(line.LayerID) || line.Deleted != IntegerFalse) {
        return;
    }
    auto start = Transform.PixelPoint(line.X1, line.Y1);
    auto end = Transform.PixelPoint(line.X2, line.Y2);
    if (!start || !end || !IsVisible(*start, *end)) {
        return;
    }
    StraightLine(*start, *end, line.PenStyle, 1, Color(line.LayerID, line.Color));
}

void EntityPainter::DrawPolySeg(const PolySegRec& segment) {
    if (segment.Bulge != 0) {
        BulgeDraw(segment);
        return;
    }
    if (!IsOn(segment.LayerID)) {
        return;
    }
    auto start = Transform.PixelPoint(segment.X1, segment.Y1);
    auto end = Transform.PixelPoint(segment.X2, segment.Y2);
    if (!start || !end || !IsVisible(*start, *end)) {
        return;
    }
    StraightLine(*start, *end, platform::ps::Solid,
                 SegmentPixelWidth(segment.Width, Transform.PixelsPerUnit),
                 Color(segment.LayerID, segment.Color));
}

void EntityPainter::DrawArc(const ArcRec& arc) {
    if (!IsOn(arc.LayerID) || arc.Deleted != IntegerFalse) {
        return;
    }
    // Sums are taken as Single, the type CvtX and CvtY take.
    auto topLeft = Transform.PixelPoint(arc.CenterX - arc.Radius, arc.CenterY + arc.Radius);
    auto bottomRight = Transform.PixelPoint(arc.CenterX + arc.Radius, arc.CenterY - arc.Radius);
    if (!topLeft || !bottomRight || !IsVisible(*topLeft, *bottomRight)) {
        return;
    }
    platform::ColorRef color = Color(arc.LayerID, arc.Color);
    if (arc.StartAngle == arc.EndAngle) {
        platform::ScopedSelection pen(
            Gdi, Dc, platform::OwnObject(Gdi, Gdi.CreatePen(arc.PenStyle, 1, color)));
        Gdi.Ellipse(Dc, topLeft->x, topLeft->y, bottomRight->x, bottomRight->y);
        return;
    }
    const auto& start = StartDirections.Of(arc.StartAngle);
    const auto& end = EndDirections.Of(arc.EndAngle);
    auto startPoint =
        Transform.PixelPoint(static_cast<float>(arc.CenterX + arc.Radius * start.Cos),
                             static_cast<float>(arc.CenterY + arc.Radius * start.Sin));
    auto endPoint = Transform.PixelPoint(static_cast<float>(arc.CenterX + arc.Radius * end.Cos),
                                         static_cast<float>(arc.CenterY + arc.Radius * end.Sin));
    if (!startPoint || !endPoint || *startPoint == *endPoint) {
        return;
    }
    platform::ScopedSelection pen(Gdi, Dc,
                                  platform::OwnObject(Gdi, Gdi.CreatePen(arc.PenStyle, 1, color)));
    Gdi.Arc(Dc, topLeft->x, topLeft->y, bottomRight->x, bottomRight->y, startPoint->x,
            startPoint->y, endPoint->x, endPoint->y);
}

void EntityPainter::DrawEllipse(const EllipseRec& ellipse) {
    if (!IsOn(ellipse.LayerID)) {
        return;
    }
    // Only axis-parallel ellipses are drawn, whole: a slanted one takes its width from
    // the X part of its major axis.
    float width;
    float height;
    if (ellipse.MajorX == 0) {
        height = std::fabs(2 * ellipse.MajorY);
        width = ellipse.Ratio * height;
    } else {
        width = std::fabs(2 * ellipse.MajorX);
        height = ellipse.Ratio * width;
    }
    auto topLeft = Transform.PixelPoint(ellipse.CenterX - width / 2, ellipse.CenterY + height / 2);
    auto bottomRight =
        Transform.PixelPoint(ellipse.CenterX + width / 2, ellipse.CenterY - height / 2);
    if (!topLeft || !bottomRight || !IsVisible(*topLeft, *bottomRight)) {
        return;
    }
    platform::ScopedSelection pen(
        Gdi, Dc,
        platform::OwnObject(
            Gdi, Gdi.CreatePen(ellipse.PenStyle, 1, Color(ellipse.LayerID, ellipse.Color))));
    Gdi.Ellipse(Dc, topLeft->x, topLeft->y, bottomRight->x, bottomRight->y);
}

void EntityPainter::DrawSolid(const SolidRec& solid) {
    if (!IsOn(solid.LayerID)) {
        return;
    }
    std::array<std::optional<Point>, 4> corners = {
        Transform.PixelPoint(solid.X1, solid.Y1), Transform.PixelPoint(solid.X2, solid.Y2),
        Transform.PixelPoint(solid.X3, solid.Y3), Transform.PixelPoint(solid.X4, solid.Y4)};
    std::array<Point, 4> pixels;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        if (!corners[i]) {
            return;
        }
        pixels[i] = *corners[i];
    }
    Gdi.Polygon(Dc, pixels);
    // The brush is selected only while the region is filled, and deleted after the old
    // brush is back: a brush deleted while selected would stay allocated.
    platform::ScopedSelection brush(
        Gdi, Dc, platform::OwnObject(Gdi, Gdi.CreateSolidBrush(Color(solid.LayerID, solid.Color))));
    auto region = platform::OwnObject(Gdi, Gdi.CreatePolygonRgn(pixels, platform::Alternate));
    if (region) {
        Gdi.FillRgn(Dc, region.Get(), brush.Get());
    }
}

// All rings go into one polygon for the alternate rule: each ring is closed on its
// own first point, and every ring after the first is reached from and left back to
// the first ring's start, so that each joining edge is passed once each way and adds
// nothing to the fill.
void EntityPainter::DrawFill(const FillRec& fill) {
    if (!IsOn(fill.LayerID) || fill.Points.empty()) {
        return;
    }
    std::vector<Point>& pixels = FillPixels;
    pixels.clear();
    Point low{INT32_MAX, INT32_MAX};
    Point high{INT32_MIN, INT32_MIN};
    std::size_t at = 0;
    for (Long size : fill.RingSizes) {
        const auto count = static_cast<std::size_t>(size);
        if (count > fill.Points.size() - at) {
            return;
        }
        const std::size_t ringStart = pixels.size();
        for (std::size_t i = at; i < at + count; ++i) {
            auto pixel = Transform.PixelPoint(fill.Points[i].X, fill.Points[i].Y);
            if (!pixel) {
                return;
            }
            pixels.push_back(*pixel);
            low = {std::min(low.x, pixel->x), std::min(low.y, pixel->y)};
            high = {std::max(high.x, pixel->x), std::max(high.y, pixel->y)};
        }
        at += count;
        if (pixels.size() == ringStart) {
            continue;
        }
        pixels.push_back(pixels[ringStart]);
        if (ringStart > 0) {
            pixels.push_back(pixels.front());
        }
    }
    if (pixels.size() < 3 || !IsVisible(low, high)) {
        return;
    }
    platform::ScopedSelection brush(
        Gdi, Dc, platform::OwnObject(Gdi, Gdi.CreateSolidBrush(Color(fill.LayerID, fill.Color))));
    auto region = platform::OwnObject(Gdi, Gdi.CreatePolygonRgn(pixels, platform::Alternate));
    if (region) {
        Gdi.FillRgn(Dc, region.Get(), brush.Get());
    }
}

void EntityPainter::DrawPoint(const PointRec& point) {
    if (!IsOn(point.LayerID)) {
        return;
    }
    if (auto pixel = Transform.PixelPoint(point.X, point.Y)) {
        Gdi.SetPixel(Dc, pixel->x, pixel->y, Color(point.LayerID, point.Color));
    }
}

void EntityPainter::BulgeDraw(const PolySegRec& segment) {
    if (!IsOn(segment.LayerID)) {
        return;
    }
    const BulgeArc arc = ArcOfBulge(segment);
    // Arc pixels are 16-bit; 50000 is the converters' old mark of a failed conversion.
    // An arc beyond either is left out rather than failing the pass.
    auto pixel16 = [](std::optional<Long> pixel) -> std::optional<int> {
        if (!pixel || *pixel == 50000 || *pixel < -32768 || *pixel > 32767) {
            return std::nullopt;
        }
        return static_cast<int>(*pixel);
    };
    auto left = pixel16(Transform.PixelX(arc.CenterX - arc.Radius));
    auto top = pixel16(Transform.PixelY(arc.CenterY + arc.Radius));
    auto right = pixel16(Transform.PixelX(arc.CenterX + arc.Radius));
    auto bottom = pixel16(Transform.PixelY(arc.CenterY - arc.Radius));
    if (!left || !top || !right || !bottom) {
        return;
    }
    auto startX = pixel16(Transform.PixelX(arc.CenterX + arc.Radius * std::cos(arc.StartAngle)));
    auto startY = pixel16(Transform.PixelY(arc.CenterY + arc.Radius * std::sin(arc.StartAngle)));
    auto endX = pixel16(Transform.PixelX(arc.CenterX + arc.Radius * std::cos(arc.EndAngle)));
    auto endY = pixel16(Transform.PixelY(arc.CenterY + arc.Radius * std::sin(arc.EndAngle)));
    if (!startX || !startY || !endX || !endY || (*startX == *endX && *startY == *endY)) {
        return;
    }
    platform::ScopedSelection pen(
        Gdi, Dc,
        platform::OwnObject(
            Gdi, Gdi.CreatePen(platform::ps::Solid, 1, Color(segment.LayerID, segment.Color))));
    Gdi.Arc(Dc, *left, *top, *right, *bottom, *startX, *startY, *endX, *endY);
}

template <typename Record> void EntityPainter::DrawText(const Record& record) {
    if (!IsOn(record.LayerID)) {
        return;
    }
    std::optional<Long> pixelHeight =
        TextPixelHeight(record.Height, record.FontScalar, Transform.PixelsPerUnit);
    if (!pixelHeight || !IsDrawnTextHeight(*pixelHeight)) {
        return;
    }
    auto at = Transform.PixelPoint(record.X, record.Y);
    if (!at) {
        return;
    }
    std::string_view text = record.Text.Trimmed();
    Long width = 0;
    Long height = 0;
    if (MeasureSurface != nullptr) {
        std::string error;
        if (!GetStringDimensions(error, *MeasureSurface, text, *pixelHeight, width, height)) {
            return;
        }
    }
    // The far corner is found in 64 bits so that it cannot wrap round to the far side.
    auto farCorner = [](Long from, Long extent) {
        std::int64_t sum = static_cast<std::int64_t>(from) + extent;
        return static_cast<Long>(std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX));
    };
    if (!IsVisible(*at, Point{farCorner(at->x, width), farCorner(at->y, height)})) {
        return;
    }
    TextDrawing drawing;
    drawing.Text = text;
    drawing.FontName = record.FontName.Trimmed();
    drawing.X = at->x;
    drawing.Y = at->y;
    drawing.PixelHeight = *pixelHeight;
    drawing.Rotation = record.Rotation;
    drawing.HorzAlign = record.HorzAlign;
    drawing.Color = Color(record.LayerID, record.Color);
    DrawTextString(Gdi, Dc, drawing);
}

} // namespace plandra
