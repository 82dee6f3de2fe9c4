// Scaling, rotating and translating the records of an inserted block.
#include "block_placement.h"

#include "control/database/drawing_math.h"
#include "control/database/dxf_number.h"

#include <cmath>

namespace plandra {

namespace {

class Placer {
public:
    explicit Placer(const InsertPlacement& placement) : Placement(placement) {}

    LineRec operator()(LineRec line) const {
        ScaleEnds(line.X1, line.Y1, line.X2, line.Y2);
        return line;
    }

    PolySegRec operator()(PolySegRec segment) const {
        ScaleEnds(segment.X1, segment.Y1, segment.X2, segment.Y2);
        // A mirrored copy runs the other way round: its arcs must too, or they would
        // bow to the wrong side of their mirrored chords.
        if (Mirrors()) {
            segment.Bulge = -segment.Bulge;
        }
        return segment;
    }

    TextRec operator()(TextRec text) const {
        PlacePoint(text.X, text.Y);
        text.Height = ToSingle(static_cast<double>(text.Height) * Placement.XScale);
        text.Rotation = ToSingle(static_cast<double>(text.Rotation) + Placement.Rotation);
        return text;
    }

    ArcRec operator()(ArcRec arc) const {
        PlacePoint(arc.CenterX, arc.CenterY);
        arc.Radius = ToSingle(static_cast<double>(arc.Radius) * std::fabs(Placement.XScale));
        float start = arc.StartAngle;
        float end = arc.EndAngle;
        // Mirroring keeps the arc counter-clockwise by swapping its ends.
        if (Placement.XScale < 0) {
            float mirroredStart = ToSingle(180.0 - end);
            end = ToSingle(180.0 - start);
            start = mirroredStart;
        }
        if (Placement.YScale < 0) {
            float mirroredStart = -end;
            end = -start;
            start = mirroredStart;
        }
        arc.StartAngle = ToSingle(static_cast<double>(start) + Placement.Rotation);
        arc.EndAngle = ToSingle(static_cast<double>(end) + Placement.Rotation);
        return arc;
    }

    SolidRec operator()(SolidRec solid) const {
        PlacePoint(solid.X1, solid.Y1);
        PlacePoint(solid.X2, solid.Y2);
        PlacePoint(solid.X3, solid.Y3);
        PlacePoint(solid.X4, solid.Y4);
        return solid;
    }

    PointRec operator()(PointRec point) const {
        PlacePoint(point.X, point.Y);
        return point;
    }

    EllipseRec operator()(EllipseRec ellipse) const {
        PlacePoint(ellipse.CenterX, ellipse.CenterY);
        Scale(ellipse.MajorX, ellipse.MajorY);
        RotatePoint(ellipse.MajorX, ellipse.MajorY, Placement.Rotation);
        // A mirror image runs its parameters the other way.
        if (Mirrors()) {
            float mirroredStart = -ellipse.EndParam;
            ellipse.EndParam = -ellipse.StartParam;
            ellipse.StartParam = mirroredStart;
        }
        return ellipse;
    }

    FillRec operator()(FillRec fill) const {
        for (FillPoint& point : fill.Points) {
            PlacePoint(point.X, point.Y);
        }
        return fill;
    }

private:
    bool Mirrors() const { return (Placement.XScale < 0) != (Placement.YScale < 0); }

    void Scale(float& x, float& y) const {
        x = ToSingle(static_cast<double>(x) * Placement.XScale);
        y = ToSingle(static_cast<double>(y) * Placement.YScale);
    }

    void Translate(float& x, float& y) const {
        x = ToSingle(static_cast<double>(x) + Placement.X);
        y = ToSingle(static_cast<double>(y) + Placement.Y);
    }

    void PlacePoint(float& x, float& y) const {
        Scale(x, y);
        RotatePoint(x, y, Placement.Rotation);
        Translate(x, y);
    }

    void ScaleEnds(float& x1, float& y1, float& x2, float& y2) const {
        Scale(x1, y1);
        Scale(x2, y2);
        if (Placement.Rotation != 0) {
            RotateLine(x1, y1, x2, y2, Placement.Rotation);
        }
        Translate(x1, y1);
        Translate(x2, y2);
    }

    const InsertPlacement& Placement;
};

} // namespace

void RotatePoint(float& x, float& y, float Angle) {
    // The angle in radians is taken as a Single, with the drawing code's pi.
    const float radians = static_cast<float>(Angle * 2 * DrawingPi / 360);
    const double cosine = std::cos(radians);
    const double sine = std::sin(radians);
    const double rotatedX = x * cosine - y * sine;
    const double rotatedY = x * sine + y * cosine;
    x = ToSingle(rotatedX);
    y = ToSingle(rotatedY);
}

void RotateLine(float& x1, float& y1, float& x2, float& y2, float Angle) {
    RotatePoint(x1, y1, Angle);
    RotatePoint(x2, y2, Angle);
}

ScratchRecord Placed(const ScratchRecord& record, const InsertPlacement& placement) {
    return std::visit([&](const auto& kind) { return ScratchRecord(Placer(placement)(kind)); },
                      record);
}

} // namespace plandra
