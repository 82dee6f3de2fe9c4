// The readers of the entity kinds of today's CAD programs that become polyline
// segments or solids: LWPOLYLINE, LEADER and TRACE; and the keyword table of the
// kinds read when ReadModernEntities is on.
#include "control/database/drawing_math.h"
#include "control/database/layer_lookup.h"
#include "dxf_reader.h"
#include "hatch_boundaries.h"
#include "spline_curve.h"

#include <algorithm>
#include <cmath>

namespace plandra {

namespace {

constexpr Long PolySegIncrement = 100;

enum class ModernKeyword { None, LwPolyline, Trace, Leader, Spline, Hatch };

constexpr Long FillIncrement = 10;
// The most boundary points one hatch keeps, whatever its file holds.
constexpr std::size_t MaxHatchPoints = 1'000'000;

// Curves are cut into chords that stray from them by at most this share of the
// drawing's size (its extents so far, or the curve's own box when larger): at a
// full view on a large screen that is well under a pixel.
constexpr double ChordToleranceShare = 1.0 / 4000;
// No one curve gives more segments than this, however long or wild it is.
constexpr std::size_t MaxCurveSegments = 8192;

ModernKeyword ClassifyModernEntity(std::string_view line) {
    if (line == "LWPOLYLINE") {
        return ModernKeyword::LwPolyline;
    }
    if (line == "TRACE") {
        return ModernKeyword::Trace;
    }
    if (line == "LEADER") {
        return ModernKeyword::Leader;
    }
    if (line == "SPLINE") {
        return ModernKeyword::Spline;
    }
    if (line == "HATCH") {
        return ModernKeyword::Hatch;
    }
    return ModernKeyword::None;
}

struct LwVertex {
    double X = 0, Y = 0;
    double StartWidth = 0, EndWidth = 0;
    double Bulge = 0;
};

// A value that fits a Single, or 0: the modern readers take what they can rather
// than end the read on one wild number.
float Fitting(double value) {
    return std::isfinite(value) && std::fabs(value) <= 3.0e38 ? static_cast<float>(value) : 0.0f;
}

} // namespace

bool DxfReader::ActOnModernLine(Long codeBefore) {
    if (codeBefore == 9) {
        if (Database.CurrentLine == "$ACADVER") {
            return DXFTextEncoding(true);
        }
        if (Database.CurrentLine == "$DWGCODEPAGE") {
            return DXFTextEncoding(false);
        }
        return true;
    }
    if (codeBefore != 0) {
        return true;
    }
    switch (ClassifyModernEntity(Database.CurrentLine)) {
    case ModernKeyword::LwPolyline:
        return DXFLwPolyline();
    case ModernKeyword::Trace:
        // A TRACE carries the four corners of a SOLID in the same groups.
        return DXFSolid();
    case ModernKeyword::Leader:
        return DXFLeader();
    case ModernKeyword::Spline:
        return DXFSpline();
    case ModernKeyword::Hatch:
        return DXFHatch();
    case ModernKeyword::None:
        break;
    }
    return true;
}

bool DxfReader::DXFTextEncoding(bool version) {
    return EntityReader("DXFTextEncoding", [this, version] {
        if (version) {
            AcadVer = Database.GroupValue[1];
        } else {
            DwgCodePage = Database.GroupValue[3];
        }
        Encoding = EncodingOf(AcadVer, DwgCodePage);
    });
}

std::string DxfReader::DrawingText(const std::string& bytes) const {
    return Options.ReadModernEntities ? DecodeDrawingText(bytes, Encoding) : bytes;
}

void DxfReader::StoreSegment(const PolySegRec& segment, bool widenExtents) {
    const bool stored = StoreOrWriteToBlock(segment, PolySegIncrement);
    if (stored && widenExtents && !Database.ExtentsFromHeader) {
        Database.CheckExtents(segment.X1, segment.Y1, segment.X2, segment.Y2);
    }
}

// Vertices with their widths and bulges, split into segments as POLYLINE is: a
// mirrored extrusion negates X and the bulges; the elevation does not show in plan.
bool DxfReader::DXFLwPolyline() {
    return GroupsReader("DXFLwPolyline", [this] {
        PolySegRec segment;
        segment.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        segment.Color = EntityColor(segment.LayerID);
        const Long flags = static_cast<Long>(std::clamp(Coordinate(70), 0.0f, 65535.0f));
        const double constantWidth = ParseLenientNumber(Database.GroupValue[43]);
        const double extrZ = Database.GroupValue[230].empty() || Coordinate(230) >= 0 ? 1 : -1;

        // The vertex count of group 90 is not trusted: the vertices are what the
        // groups hold, so a count that disagrees cannot make the reader overrun.
        std::vector<LwVertex> vertices;
        for (std::size_t i = 0; i < Groups.Size(); ++i) {
            const Long code = Groups.Code(i);
            if (code == 10) {
                vertices.push_back({Groups.Number(i)});
            } else if (vertices.empty()) {
                continue;
            } else if (code == 20) {
                vertices.back().Y = Groups.Number(i);
            } else if (code == 40) {
                vertices.back().StartWidth = Groups.Number(i);
            } else if (code == 41) {
                vertices.back().EndWidth = Groups.Number(i);
            } else if (code == 42) {
                vertices.back().Bulge = Groups.Number(i);
            }
        }
        const std::size_t count = vertices.size();
        const bool closed = (flags & 1) != 0 && count > 2;
        const std::size_t segments = closed ? count : (count == 0 ? 0 : count - 1);
        for (std::size_t i = 0; i < segments; ++i) {
            const LwVertex& from = vertices[i];
            const LwVertex& to = vertices[(i + 1) % count];
            segment.X1 = Fitting(from.X * extrZ);
            segment.Y1 = Fitting(from.Y);
            segment.X2 = Fitting(to.X * extrZ);
            segment.Y2 = Fitting(to.Y);
            // One width a segment: the constant width, else the mean of the start
            // vertex's start and end widths.
            segment.Width =
                Fitting(constantWidth != 0 ? constantWidth : (from.StartWidth + from.EndWidth) / 2);
            segment.Bulge = Fitting(from.Bulge * extrZ);
            StoreSegment(segment, true);
        }
    });
}

// The leader's line through its vertices; the arrowhead is not drawn.
bool DxfReader::DXFLeader() {
    return GroupsReader("DXFLeader", [this] {
        PolySegRec segment;
        segment.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        segment.Color = EntityColor(segment.LayerID);
        const double extrZ = Database.GroupValue[230].empty() || Coordinate(230) >= 0 ? 1 : -1;
        bool haveVertex = false;
        double lastX = 0;
        double lastY = 0;
        double x = 0;
        for (std::size_t i = 0; i < Groups.Size(); ++i) {
            if (Groups.Code(i) == 10) {
                x = Groups.Number(i) * extrZ;
            } else if (Groups.Code(i) == 20) {
                const double y = Groups.Number(i);
                if (haveVertex) {
                    segment.X1 = Fitting(lastX);
                    segment.Y1 = Fitting(lastY);
                    segment.X2 = Fitting(x);
                    segment.Y2 = Fitting(y);
                    StoreSegment(segment, true);
                }
                lastX = x;
                lastY = y;
                haveVertex = true;
            }
        }
    });
}

double DxfReader::ChordTolerance(const std::vector<CurvePoint>& points) const {
    double left = HUGE_VAL, right = -HUGE_VAL, bottom = HUGE_VAL, top = -HUGE_VAL;
    for (const CurvePoint& p : points) {
        left = std::min(left, p.X);
        right = std::max(right, p.X);
        bottom = std::min(bottom, p.Y);
        top = std::max(top, p.Y);
    }
    double size = points.empty() ? 0 : std::hypot(right - left, top - bottom);
    const RealRect& extents = Database.Extents;
    if (extents.Left <= extents.Right && extents.Bottom <= extents.Top) {
        size = std::max(size, std::hypot(static_cast<double>(extents.Right) - extents.Left,
                                         static_cast<double>(extents.Top) - extents.Bottom));
    }
    return std::isfinite(size) ? size * ChordToleranceShare : 0;
}

void DxfReader::StorePath(const std::vector<CurvePoint>& points, PolySegRec segment) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        segment.X1 = Fitting(points[i - 1].X);
        segment.Y1 = Fitting(points[i - 1].Y);
        segment.X2 = Fitting(points[i].X);
        segment.Y2 = Fitting(points[i].Y);
        StoreSegment(segment, true);
    }
}

bool DxfReader::DXFSpline() {
    return GroupsReader("DXFSpline", [this] {
        PolySegRec segment;
        segment.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        segment.Color = EntityColor(segment.LayerID);
        const double extrZ = Database.GroupValue[230].empty() || Coordinate(230) >= 0 ? 1 : -1;
        SplineDefinition spline;
        spline.Degree = static_cast<int>(std::clamp(Coordinate(71), -1.0f, 64.0f));
        spline.Closed = (static_cast<Long>(std::clamp(Coordinate(70), 0.0f, 65535.0f)) & 1) != 0;
        for (std::size_t i = 0; i < Groups.Size(); ++i) {
            switch (Groups.Code(i)) {
            case 10:
                spline.ControlPoints.push_back({Groups.Number(i) * extrZ, 0});
                break;
            case 20:
                if (!spline.ControlPoints.empty()) {
                    spline.ControlPoints.back().Y = Groups.Number(i);
                }
                break;
            case 11:
                spline.FitPoints.push_back({Groups.Number(i) * extrZ, 0});
                break;
            case 21:
                if (!spline.FitPoints.empty()) {
                    spline.FitPoints.back().Y = Groups.Number(i);
                }
                break;
            case 40:
                spline.Knots.push_back(Groups.Number(i));
                break;
            case 41:
                spline.Weights.push_back(Groups.Number(i));
                break;
            default:
                break;
            }
        }
        const std::vector<CurvePoint>& defining =
            spline.ControlPoints.empty() ? spline.FitPoints : spline.ControlPoints;
        StorePath(SplinePoints(spline, ChordTolerance(defining), MaxCurveSegments), segment);
    });
}

// A solid hatch becomes one filled area whose boundary paths are its rings; a
// pattern hatch is drawn as the outlines of its paths, without the pattern.
bool DxfReader::DXFHatch() {
    return GroupsReader("DXFHatch", [this] {
        const Long layer = SetLayerID(Database, Database.GroupValue[8]);
        const Long color = EntityColor(layer);
        const double extrZ = Database.GroupValue[230].empty() || Coordinate(230) >= 0 ? 1 : -1;
        std::vector<CurvePoint> corners;
        for (std::size_t i = 0; i + 1 < Groups.Size(); ++i) {
            if (Groups.Code(i) == 10 && Groups.Code(i + 1) == 20) {
                corners.push_back({Groups.Number(i), Groups.Number(i + 1)});
            }
        }
        HatchBoundaries hatch =
            ReadHatchBoundaries(Groups, ChordTolerance(corners), MaxHatchPoints);
        for (auto& ring : hatch.Rings) {
            for (CurvePoint& point : ring) {
                point.X *= extrZ;
            }
        }
        if (!hatch.Solid) {
            PolySegRec segment;
            segment.LayerID = layer;
            segment.Color = color;
            for (auto& ring : hatch.Rings) {
                if (ring.size() > 2) {
                    ring.push_back(ring.front());
                }
                StorePath(ring, segment);
            }
            return;
        }
        FillRec fill;
        fill.LayerID = layer;
        fill.Color = color;
        for (const auto& ring : hatch.Rings) {
            if (ring.size() < 3) {
                continue;
            }
            fill.RingSizes.push_back(static_cast<Long>(ring.size()));
            for (const CurvePoint& point : ring) {
                fill.Points.push_back({Fitting(point.X), Fitting(point.Y)});
            }
        }
        if (fill.Points.empty()) {
            return;
        }
        if (StoreOrWriteToBlock(fill, FillIncrement) && !Database.ExtentsFromHeader) {
            for (const FillPoint& point : fill.Points) {
                Database.CheckExtents(point.X, point.Y, point.X, point.Y);
            }
        }
    });
}

} // namespace plandra
