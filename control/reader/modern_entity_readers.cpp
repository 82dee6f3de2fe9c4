// The readers of the entity kinds of today's CAD programs that become polyline
// segments or solids: LWPOLYLINE, LEADER and TRACE; and the keyword table of the
// kinds read when ReadModernEntities is on.
#include "control/database/drawing_math.h"
#include "control/database/layer_lookup.h"
#include "dxf_reader.h"

#include <cmath>

namespace plandra {

namespace {

constexpr Long PolySegIncrement = 100;

enum class ModernKeyword { None, LwPolyline, Trace, Leader };

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
        const Long flags = static_cast<Long>(Fitting(Coordinate(70)));
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

} // namespace plandra
