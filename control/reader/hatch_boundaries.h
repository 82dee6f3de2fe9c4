// The boundary paths of a HATCH entity as rings of points.
#pragma once

#include "entity_groups.h"
#include "spline_curve.h"

#include <cstddef>
#include <vector>

namespace plandra {

struct HatchBoundaries {
    /// True for a solid fill (group 70 is 1); False for a pattern.
    bool Solid = false;
    /// One ring a boundary path, its edges (lines, circular and elliptic arcs,
    /// splines, or polyline vertices with bulges) joined in order and curves cut into
    /// chords within the tolerance. Rings are not closed by a repeated first point.
    std::vector<std::vector<CurvePoint>> Rings;
};

/// Reads the boundary paths from a HATCH's groups in file order. Counts in the groups
/// are not trusted: paths and edges are what the groups hold. Paths end at the
/// hatch's style (75), pattern type (76) or seed count (98). No more than
/// `maxPoints` points are taken altogether.
HatchBoundaries ReadHatchBoundaries(const EntityGroups& groups, double tolerance,
                                    std::size_t maxPoints);

/// Appends the points of an elliptic arc from parameter `start` to `end` (radians,
/// either direction) to `points`, the first one included, cut into chords within
/// `tolerance`; a circle has `ratio` 1.
void AppendEllipticArc(std::vector<CurvePoint>& points, CurvePoint center, CurvePoint major,
                       double ratio, double start, double end, double tolerance);

} // namespace plandra
