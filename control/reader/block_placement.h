// How an INSERT places a block's entities: scale, rotation about the block's base
// point, then translation to the insertion point.
#pragma once

#include "scratch_records.h"

namespace plandra {

struct InsertPlacement {
    float X = 0, Y = 0; ///< the insertion point
    float Rotation = 0; ///< degrees, counter-clockwise
    float XScale = 1, YScale = 1;

    /// A plain shift: no scale, no rotation.
    static InsertPlacement Shift(float dx, float dy) { return {dx, dy, 0, 1, 1}; }
};

/// Rotates a point about the origin by `Angle` degrees, in place.
void RotatePoint(float& x, float& y, float Angle);

/// Rotates both end points of a segment about the origin by `Angle` degrees, in place.
void RotateLine(float& x1, float& y1, float& x2, float& y2, float Angle);

/// The record as the placement puts it: coordinates scaled, rotated and translated;
/// text heights and rotations, arc radii and angles and ellipse axes follow, arcs
/// and bulges turning the other way when the placement mirrors.
ScratchRecord Placed(const ScratchRecord& record, const InsertPlacement& placement);

} // namespace plandra
