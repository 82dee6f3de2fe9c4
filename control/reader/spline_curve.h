// B-splines and NURBS evaluated to points along the curve, for drawing as straight
// polyline segments.
#pragma once

#include <cstddef>
#include <vector>

namespace plandra {

struct CurvePoint {
    double X = 0, Y = 0;
    friend bool operator==(const CurvePoint&, const CurvePoint&) = default;
};

struct SplineDefinition {
    int Degree = 3;
    std::vector<double> Knots;
    std::vector<CurvePoint> ControlPoints;
    /// One a control point, or empty for a non-rational spline.
    std::vector<double> Weights;
    /// Points the curve passes through, used only when there are no control points.
    std::vector<CurvePoint> FitPoints;
    bool Closed = false;
};

/// Points along the spline from its start to its end, none farther than `tolerance`
/// (drawing units) from the curve between two neighbours as far as sampling can tell,
/// and at most `maxSegments` + 1 of them. Control points with knots and weights are
/// evaluated by de Boor's algorithm; a degree below 1 is taken as 1 and one above
/// what the control points allow is lowered; knots that are missing, too few, too
/// many or out of order are replaced by clamped uniform ones; weights that are
/// missing, not one a point, or not above 0 make the spline non-rational. Without
/// control points the fit points are joined straight. Fewer than two usable points
/// give an empty result.
std::vector<CurvePoint> SplinePoints(const SplineDefinition& spline, double tolerance,
                                     std::size_t maxSegments);

} // namespace plandra
