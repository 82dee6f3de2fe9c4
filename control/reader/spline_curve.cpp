// De Boor's algorithm and best-first subdivision of a spline into chords.
#include "spline_curve.h"

#include <algorithm>
#include <cmath>
#include <queue>

namespace plandra {

namespace {

struct Homogeneous {
    double X = 0, Y = 0, W = 1;
};

class Evaluator {
public:
    Evaluator(const SplineDefinition& spline, int degree)
        : Degree(degree), Knots(spline.Knots), Count(spline.ControlPoints.size()) {
        const bool rational = spline.Weights.size() == Count &&
                              std::all_of(spline.Weights.begin(), spline.Weights.end(),
                                          [](double w) { return std::isfinite(w) && w > 0; });
        Points.reserve(Count);
        for (std::size_t i = 0; i < Count; ++i) {
            const double w = rational ? spline.Weights[i] : 1;
            Points.push_back({spline.ControlPoints[i].X * w, spline.ControlPoints[i].Y * w, w});
        }
        if (!KnotsUsable()) {
            ClampedUniformKnots();
        }
        Scratch.resize(static_cast<std::size_t>(Degree) + 1);
    }

    double Start() const { return Knots[static_cast<std::size_t>(Degree)]; }
    double End() const { return Knots[Count]; }

    /// The distinct knots of the domain, in order.
    std::vector<double> Breaks() const {
        std::vector<double> breaks;
        for (std::size_t i = static_cast<std::size_t>(Degree); i <= Count; ++i) {
            if (breaks.empty() || Knots[i] > breaks.back()) {
                breaks.push_back(Knots[i]);
            }
        }
        return breaks;
    }

    CurvePoint At(double t) {
        const std::size_t p = static_cast<std::size_t>(Degree);
        // The span k with Knots[k] <= t < Knots[k + 1], within p to Count - 1.
        auto upper = std::upper_bound(Knots.begin() + static_cast<std::ptrdiff_t>(p),
                                      Knots.begin() + static_cast<std::ptrdiff_t>(Count), t);
        std::size_t k = static_cast<std::size_t>(upper - Knots.begin());
        k = std::clamp<std::size_t>(k == 0 ? 0 : k - 1, p, Count - 1);
        for (std::size_t j = 0; j <= p; ++j) {
            Scratch[j] = Points[j + k - p];
        }
        for (std::size_t r = 1; r <= p; ++r) {
            for (std::size_t j = p; j >= r; --j) {
                const double low = Knots[j + k - p];
                const double span = Knots[j + 1 + k - r] - low;
                const double alpha = span > 0 ? (t - low) / span : 0;
                Homogeneous& d = Scratch[j];
                const Homogeneous& before = Scratch[j - 1];
                d.X = (1 - alpha) * before.X + alpha * d.X;
                d.Y = (1 - alpha) * before.Y + alpha * d.Y;
                d.W = (1 - alpha) * before.W + alpha * d.W;
            }
        }
        const Homogeneous& result = Scratch[p];
        return {result.X / result.W, result.Y / result.W};
    }

private:
    bool KnotsUsable() const {
        if (Knots.size() != Count + static_cast<std::size_t>(Degree) + 1) {
            return false;
        }
        for (std::size_t i = 0; i < Knots.size(); ++i) {
            if (!std::isfinite(Knots[i]) || (i > 0 && Knots[i] < Knots[i - 1])) {
                return false;
            }
        }
        return Start() < End();
    }

    void ClampedUniformKnots() {
        const std::size_t p = static_cast<std::size_t>(Degree);
        Knots.assign(Count + p + 1, 0);
        for (std::size_t i = p + 1; i < Count; ++i) {
            Knots[i] = static_cast<double>(i - p);
        }
        for (std::size_t i = Count; i < Knots.size(); ++i) {
            Knots[i] = static_cast<double>(Count - p);
        }
    }

    int Degree;
    std::vector<double> Knots;
    std::size_t Count;
    std::vector<Homogeneous> Points;
    std::vector<Homogeneous> Scratch;
};

bool Finite(const CurvePoint& point) {
    return std::isfinite(point.X) && std::isfinite(point.Y);
}

double DistanceFromChord(const CurvePoint& p, const CurvePoint& a, const CurvePoint& b) {
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0)) {
        return std::hypot(p.X - a.X, p.Y - a.Y);
    }
    return std::fabs((p.X - a.X) * dy - (p.Y - a.Y) * dx) / length;
}

struct Piece {
    double T0, T1;
    CurvePoint P0, P1, Middle;
    double Error;
};

struct ByError {
    bool operator()(const Piece& a, const Piece& b) const { return a.Error < b.Error; }
};

std::vector<CurvePoint> Evaluate(const SplineDefinition& spline, double tolerance,
                                 std::size_t maxSegments) {
    const std::size_t count = spline.ControlPoints.size();
    const int degree = std::clamp(spline.Degree, 1, static_cast<int>(count) - 1);
    Evaluator curve(spline, degree);

    // The knots split the curve into polynomial pieces; when there are more than the
    // budget allows, every so many is taken.
    std::vector<double> breaks = curve.Breaks();
    const std::size_t firstPieces = std::max<std::size_t>(1, maxSegments / 4);
    if (breaks.size() - 1 > firstPieces) {
        std::vector<double> fewer;
        for (std::size_t i = 0; i < firstPieces; ++i) {
            fewer.push_back(breaks[i * (breaks.size() - 1) / firstPieces]);
        }
        fewer.push_back(breaks.back());
        breaks = std::move(fewer);
    }
    auto piece = [&](double t0, double t1, CurvePoint p0, CurvePoint p1) {
        const CurvePoint middle = curve.At((t0 + t1) / 2);
        return Piece{t0, t1, p0, p1, middle, DistanceFromChord(middle, p0, p1)};
    };
    std::priority_queue<Piece, std::vector<Piece>, ByError> open;
    std::vector<Piece> done;
    CurvePoint previous = curve.At(breaks.front());
    for (std::size_t i = 1; i < breaks.size(); ++i) {
        const CurvePoint next = curve.At(breaks[i]);
        open.push(piece(breaks[i - 1], breaks[i], previous, next));
        previous = next;
    }
    // The worst chord is split first, so a budget that runs out leaves the error
    // spread evenly rather than one end fine and the other coarse.
    std::size_t segments = open.size();
    while (!open.empty()) {
        Piece worst = open.top();
        open.pop();
        if (!(worst.Error > tolerance) || segments >= maxSegments) {
            done.push_back(worst);
            continue;
        }
        const double middleT = (worst.T0 + worst.T1) / 2;
        open.push(piece(worst.T0, middleT, worst.P0, worst.Middle));
        open.push(piece(middleT, worst.T1, worst.Middle, worst.P1));
        ++segments;
    }
    std::sort(done.begin(), done.end(), [](const Piece& a, const Piece& b) { return a.T0 < b.T0; });
    std::vector<CurvePoint> points;
    points.reserve(done.size() + 1);
    points.push_back(done.front().P0);
    for (const Piece& p : done) {
        points.push_back(p.P1);
    }
    return points;
}

} // namespace

std::vector<CurvePoint> SplinePoints(const SplineDefinition& spline, double tolerance,
                                     std::size_t maxSegments) {
    std::vector<CurvePoint> points;
    maxSegments = std::max<std::size_t>(maxSegments, 1);
    if (spline.ControlPoints.size() >= 2) {
        points = Evaluate(spline, tolerance, maxSegments);
    } else {
        // Joined straight; more fit points than the budget are thinned out evenly.
        const std::vector<CurvePoint>& fit = spline.FitPoints;
        const std::size_t step = fit.size() / (maxSegments + 1) + 1;
        for (std::size_t i = 0; i < fit.size(); i += step) {
            points.push_back(fit[i]);
        }
        if (!fit.empty() && step > 1 && !(points.back() == fit.back())) {
            points.push_back(fit.back());
        }
        if (spline.Closed && points.size() > 2 && !(points.front() == points.back())) {
            points.push_back(points.front());
        }
    }
    std::erase_if(points, [](const CurvePoint& p) { return !Finite(p); });
    if (points.size() < 2) {
        points.clear();
    }
    return points;
}

} // namespace plandra
