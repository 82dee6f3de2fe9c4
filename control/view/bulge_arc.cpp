// The circular arc of a bulged polyline segment.
#include "bulge_arc.h"

#include <cmath>

namespace plandra {

namespace {

int Sgn(float value) {
    return (value > 0) - (value < 0);
}

} // namespace

float BulgeCenterX(float dx, float dy, float X1, float offX, float bulge) {
    if (Sgn(bulge) == Sgn(dx) || (dx == 0 && Sgn(bulge) == Sgn(dy))) {
        offX = -offX;
    }
    return X1 + offX;
}

float BulgeCenterY(float dx, float dy, float Y1, float offY, float bulge) {
    if (dx == 0) {
        return Y1 + dy / 2;
    }
    if (Sgn(bulge) != Sgn(dx)) {
        offY = -offY;
    }
    return Y1 + offY;
}

float BulgeStartAngle(float dx, float dy, float alpha, float bulge, float theta) {
    if (bulge < 0) {
        if (dx > 0 || (dx == 0 && dy >= 0)) {
            return theta + BulgePi - alpha;
        }
        return theta - alpha;
    }
    if (dx > 0) {
        return -alpha;
    }
    if (dx < 0) {
        return BulgePi - alpha;
    }
    if (dy >= 0) {
        return -(theta - alpha);
    }
    return -(theta + BulgePi - alpha);
}

float BulgeEndAngle(float bulge, float /*dx*/, float /*dy*/, float start, float theta) {
    return bulge >= 0 ? start + theta : start - theta;
}

BulgeArc ArcOfBulge(const PolySegRec& segment) {
    const float bulge = segment.Bulge;
    const float dx = segment.X2 - segment.X1;
    const float dy = segment.Y2 - segment.Y1;
    // The square root is correctly rounded in every library; pow(x, 0.5) need not be.
    const float chord = std::sqrt(dx * dx + dy * dy);
    const float theta = 4 * std::atan(bulge);
    BulgeArc arc;
    arc.Radius = std::fabs(chord / (2 * std::sin(theta / 2)));
    const float base = (BulgePi - theta) / 2;
    const float phi = dx == 0 ? BulgePi / 2 : std::atan(dy / dx);
    const float alpha = (BulgePi - base) - phi;
    const float offX = arc.Radius * std::cos(alpha);
    const float offY = arc.Radius * std::sin(alpha);
    arc.CenterX = BulgeCenterX(dx, dy, segment.X1, offX, bulge);
    arc.CenterY = BulgeCenterY(dx, dy, segment.Y1, offY, bulge);
    arc.StartAngle = BulgeStartAngle(dx, dy, alpha, bulge, theta);
    arc.EndAngle = BulgeEndAngle(bulge, dx, dy, arc.StartAngle, theta);
    return arc;
}

} // namespace plandra
