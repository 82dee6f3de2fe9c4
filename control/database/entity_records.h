// The fixed records of the drawing database, one per entity kind, and the sequence entry.
#pragma once

#include "fixed_string.h"

#include <cstdint>
#include <vector>

namespace plandra {

using Integer = std::int16_t; ///< 16-bit automation Integer.
using Long = std::int32_t;    ///< 32-bit automation Long.

/// Integer booleans: True is -1.
inline constexpr Integer IntegerTrue = -1;
inline constexpr Integer IntegerFalse = 0;

/// Entity kind codes as stored in the sequence list.
enum class EntityKind : Long {
    Line = 1,
    PolySeg = 2,
    Text = 3,
    Arc = 4,
    Solid = 5,
    Point = 6,
    Attrib = 7,
    Unused = 8,
    Ellipse = 9,
    Fill = 10,
};

struct SeqEntry {
    Long EntityType = 0; ///< an EntityKind code
    Long EntityIndex = 0;
};

struct LineRec {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    Long LayerID = 0;
    Long Color = 0;
    Long PenStyle = 0;
    Integer Redline = IntegerFalse;
    Integer Deleted = IntegerFalse;
};

/// One straight or bulged polyline segment.
struct PolySegRec {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    float Width = 0; ///< the polyline's default start width
    Long LayerID = 0;
    Long Color = 0;
    float Bulge = 0; ///< the start vertex's bulge; 0 is straight
};

struct TextRec {
    float X = 0, Y = 0;
    FixedString<100> Text;
    float Height = 0;
    float Rotation = 0; ///< degrees
    Long HorzAlign = 0;
    Long LayerID = 0;
    Long Underline = 0; ///< Long boolean
    Long Color = 0;
    FixedString<20> FontName;
    float FontScalar = 0;
    Integer Redline = IntegerFalse;
    Integer Deleted = IntegerFalse;
};

/// Circles (StartAngle equal to EndAngle) and arcs; angles in degrees.
struct ArcRec {
    float CenterX = 0, CenterY = 0;
    float Radius = 0;
    float StartAngle = 0, EndAngle = 0;
    Long LayerID = 0;
    Long Color = 0;
    Long PenStyle = 0;
    Integer Redline = IntegerFalse;
    Integer Deleted = IntegerFalse;
};

struct EllipseRec {
    float CenterX = 0, CenterY = 0;
    float MajorX = 0, MajorY = 0; ///< major axis end point relative to the centre
    float Ratio = 0;              ///< minor axis divided by major axis
    float StartParam = 0, EndParam = 0;
    Long LayerID = 0;
    Long Color = 0;
    Long PenStyle = 0;
};

struct PointRec {
    float X = 0, Y = 0;
    Long LayerID = 0;
    Long Color = 0;
};

/// The corners in polygon order: the file's corners 1, 2, 4, 3.
struct SolidRec {
    float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
    Long LayerID = 0;
    Long Color = 0;
};

struct FillPoint {
    float X = 0, Y = 0;
    friend bool operator==(const FillPoint&, const FillPoint&) = default;
};

/// A filled area (a solid HATCH): closed rings of points, filled as one polygon by
/// the alternate rule, so that a ring inside another is a hole. Never redline.
struct FillRec {
    std::vector<FillPoint> Points;
    /// The number of points of each ring, in the order of Points.
    std::vector<Long> RingSizes;
    Long LayerID = 0;
    Long Color = 0;
};

struct AttribRec {
    float X = 0, Y = 0;
    FixedString<100> Text;
    float Height = 0;
    float Rotation = 0; ///< degrees
    Long HorzAlign = 0;
    Long LayerID = 0; ///< the layer of the INSERT the attribute follows
    Long Color = 0;
    FixedString<20> FontName;
    float FontScalar = 0;
};

struct BlockRec {
    float BaseX = 0, BaseY = 0;
    FixedString<50> Name;
    FixedString<100> FileName; ///< the block's scratch file; blanks once deleted
};

/// An INSERT met inside a block definition, expanded when ENTITIES begins.
struct PendingInsertRec {
    /// The block whose scratch file receives the copy, by its number: a file name
    /// cut to a fixed width would break under a long scratch folder.
    Long ParentBlock = 0;
    FixedString<50> BlockName;
    Long LayerID = 0;
    float X = 0, Y = 0; ///< relative to the enclosing block's base point
    float Rotation = 0, XScale = 0, YScale = 0;
};

} // namespace plandra
