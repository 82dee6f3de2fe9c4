// Reading HATCH boundary paths, edge by edge, into rings of points.
#include "hatch_boundaries.h"

#include <algorithm>
#include <cmath>

namespace plandra {

namespace {

constexpr double Pi = 3.14159265358979323846;
// The most chords one arc is cut into, and the budget of one spline edge.
constexpr double MaxArcChords = 1024;
constexpr std::size_t MaxSplineEdgeSegments = 2048;

enum class EdgeType { None = 0, Line = 1, Arc = 2, Ellipse = 3, Spline = 4 };

struct Edge {
    EdgeType Type = EdgeType::None;
    CurvePoint First, Second; ///< line ends, or centre and major axis end
    double Radius = 0;        ///< arc radius, or ellipse minor-to-major ratio
    double Start = 0, End = 0;
    bool CounterClockwise = true;
    SplineDefinition Spline;
};

double Radians(double degrees) {
    return degrees * Pi / 180;
}

class RingBuilder {
public:
    RingBuilder(double tolerance, std::size_t& budget) : Tolerance(tolerance), Budget(budget) {}

    void Add(CurvePoint point) {
        if (Budget == 0 || !std::isfinite(point.X) || !std::isfinite(point.Y)) {
            return;
        }
        if (Ring.empty() || !(Ring.back() == point)) {
            Ring.push_back(point);
            --Budget;
        }
    }

    void AddAll(const std::vector<CurvePoint>& points) {
        for (const CurvePoint& p : points) {
            Add(p);
        }
    }

    void AddEdge(const Edge& edge) {
        std::vector<CurvePoint> points;
        switch (edge.Type) {
        case EdgeType::Line:
            Add(edge.First);
            Add(edge.Second);
            return;
        case EdgeType::Arc:
        case EdgeType::Ellipse: {
            const bool circle = edge.Type == EdgeType::Arc;
            CurvePoint major = circle ? CurvePoint{edge.Radius, 0} : edge.Second;
            double ratio = circle ? 1 : edge.Radius;
            double start = Radians(edge.Start);
            double end = Radians(edge.End);
            // An angle so large that a turn added to it leaves it as it was makes
            // no arc; the turns the loops below add would never reach it.
            if (!(std::fabs(start) + 2 * Pi > std::fabs(start)) || !std::isfinite(end)) {
                return;
            }
            // A clockwise edge carries its angles mirrored: it runs from -start
            // down to -end. Angles many turns apart are first brought to within a
            // turn, so that the loops add a turn once or twice, not millions of times.
            if (!edge.CounterClockwise) {
                start = -start;
                end = -end;
                if (end - start > 2 * Pi) {
                    end = start + std::fmod(end - start, 2 * Pi);
                }
                while (end > start) {
                    end -= 2 * Pi;
                }
            } else {
                if (start - end > 2 * Pi) {
                    end = start - std::fmod(start - end, 2 * Pi);
                }
                while (end <= start) {
                    end += 2 * Pi;
                }
            }
            if (std::fabs(end - start) > 2 * Pi) {
                end = start + (end > start ? 2 * Pi : -2 * Pi);
            }
            AppendEllipticArc(points, edge.First, major, ratio, start, end, Tolerance);
            AddAll(points);
            return;
        }
        case EdgeType::Spline:
            AddAll(SplinePoints(edge.Spline, Tolerance, MaxSplineEdgeSegments));
            return;
        case EdgeType::None:
            return;
        }
    }

    std::vector<CurvePoint> Take() {
        if (Ring.size() > 1 && Ring.front() == Ring.back()) {
            Ring.pop_back();
        }
        return std::move(Ring);
    }

private:
    double Tolerance;
    std::size_t& Budget;
    std::vector<CurvePoint> Ring;
};

// Adds the polyline vertices of a path, with the arcs of their bulges.
void AddPolylinePath(RingBuilder& ring, const std::vector<CurvePoint>& vertices,
                     const std::vector<double>& bulges, double tolerance) {
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const CurvePoint& from = vertices[i];
        const CurvePoint& to = vertices[(i + 1) % vertices.size()];
        ring.Add(from);
        const double bulge = bulges[i];
        const double chord = std::hypot(to.X - from.X, to.Y - from.Y);
        if (bulge == 0 || !(chord > 0) || !std::isfinite(bulge)) {
            continue;
        }
        // The arc turns through four times the bulge's arc tangent, counter-clockwise
        // for a positive bulge.
        const double sweep = 4 * std::atan(bulge);
        const double radius = chord / (2 * std::sin(std::fabs(sweep) / 2));
        const double midX = (from.X + to.X) / 2;
        const double midY = (from.Y + to.Y) / 2;
        // From the chord's middle to the centre: along the chord's left normal for a
        // counter-clockwise arc of less than half a turn.
        const double toCentre = radius * std::cos(sweep / 2) * (sweep > 0 ? 1 : -1);
        const CurvePoint centre{midX - (to.Y - from.Y) / chord * toCentre,
                                midY + (to.X - from.X) / chord * toCentre};
        const double start = std::atan2(from.Y - centre.Y, from.X - centre.X);
        std::vector<CurvePoint> points;
        AppendEllipticArc(points, centre, {radius, 0}, 1, start, start + sweep, tolerance);
        ring.AddAll(points);
    }
}

} // namespace

void AppendEllipticArc(std::vector<CurvePoint>& points, CurvePoint center, CurvePoint major,
                       double ratio, double start, double end, double tolerance) {
    const double radius = std::hypot(major.X, major.Y);
    if (!std::isfinite(radius) || !std::isfinite(start) || !std::isfinite(end) ||
        !std::isfinite(ratio)) {
        return;
    }
    const double sweep = end - start;
    // Chords of angle a stray from a circle of radius r by r (1 - cos(a / 2)).
    double step = radius > tolerance && tolerance > 0 ? 2 * std::acos(1 - tolerance / radius) : Pi;
    double chords = std::ceil(std::fabs(sweep) / std::max(step, 1e-9));
    chords = std::clamp(chords, 1.0, MaxArcChords);
    const CurvePoint minor{-major.Y * ratio, major.X * ratio};
    const int count = static_cast<int>(chords);
    for (int i = 0; i <= count; ++i) {
        const double t = start + sweep * i / count;
        points.push_back({center.X + major.X * std::cos(t) + minor.X * std::sin(t),
                          center.Y + major.Y * std::cos(t) + minor.Y * std::sin(t)});
    }
}

HatchBoundaries ReadHatchBoundaries(const EntityGroups& groups, double tolerance,
                                    std::size_t maxPoints) {
    HatchBoundaries result;
    std::size_t budget = maxPoints;
    std::size_t i = 0;
    const std::size_t size = groups.Size();
    for (; i < size && groups.Code(i) != 92; ++i) {
        if (groups.Code(i) == 70) {
            result.Solid = groups.Number(i) == 1;
        }
    }
    while (i < size && groups.Code(i) == 92) {
        const bool polyline =
            (static_cast<long>(std::clamp(groups.Number(i), 0.0, 65535.0)) & 2) != 0;
        ++i;
        RingBuilder ring(tolerance, budget);
        std::vector<CurvePoint> vertices;
        std::vector<double> bulges;
        Edge edge;
        auto finishEdge = [&] {
            ring.AddEdge(edge);
            edge = Edge{};
        };
        for (; i < size; ++i) {
            const Long code = groups.Code(i);
            if (code == 92 || code == 75 || code == 76 || code == 98) {
                break;
            }
            const double value = groups.Number(i);
            if (polyline) {
                if (code == 10) {
                    vertices.push_back({value, 0});
                    bulges.push_back(0);
                } else if (code == 20 && !vertices.empty()) {
                    vertices.back().Y = value;
                } else if (code == 42 && !bulges.empty()) {
                    bulges.back() = value;
                }
                continue;
            }
            if (code == 72) {
                finishEdge();
                const double type = value;
                edge.Type = type >= 1 && type <= 4 ? static_cast<EdgeType>(static_cast<int>(type))
                                                   : EdgeType::None;
                continue;
            }
            SplineDefinition& spline = edge.Spline;
            switch (edge.Type) {
            case EdgeType::Line:
            case EdgeType::Arc:
            case EdgeType::Ellipse:
                if (code == 10) {
                    edge.First.X = value;
                } else if (code == 20) {
                    edge.First.Y = value;
                } else if (code == 11) {
                    edge.Second.X = value;
                } else if (code == 21) {
                    edge.Second.Y = value;
                } else if (code == 40) {
                    edge.Radius = value;
                } else if (code == 50) {
                    edge.Start = value;
                } else if (code == 51) {
                    edge.End = value;
                } else if (code == 73) {
                    edge.CounterClockwise = value != 0;
                }
                break;
            case EdgeType::Spline:
                if (code == 94) {
                    spline.Degree = static_cast<int>(std::clamp(value, -1.0, 64.0));
                } else if (code == 40) {
                    spline.Knots.push_back(value);
                } else if (code == 42) {
                    spline.Weights.push_back(value);
                } else if (code == 10) {
                    spline.ControlPoints.push_back({value, 0});
                } else if (code == 20 && !spline.ControlPoints.empty()) {
                    spline.ControlPoints.back().Y = value;
                } else if (code == 11) {
                    spline.FitPoints.push_back({value, 0});
                } else if (code == 21 && !spline.FitPoints.empty()) {
                    spline.FitPoints.back().Y = value;
                }
                break;
            case EdgeType::None:
                break;
            }
        }
        if (polyline) {
            AddPolylinePath(ring, vertices, bulges, tolerance);
        } else {
            finishEdge();
        }
        result.Rings.push_back(ring.Take());
    }
    return result;
}

} // namespace plandra
