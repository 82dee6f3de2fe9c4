// The readers of LINE, POINT, CIRCLE and ARC, ELLIPSE, SOLID and 3DFACE.
#include "control/database/aci_colors.h"
#include "control/database/control_error.h"
#include "control/database/drawing_math.h"
#include "control/database/dxf_number.h"
#include "control/database/layer_lookup.h"
#include "control/database/linetype_map.h"
#include "dxf_reader.h"

#include <cmath>

namespace plandra {

namespace {

// Growth increments of the arrays these readers append to.
constexpr Long LineIncrement = 100;
constexpr Long PointIncrement = 100;
constexpr Long ArcIncrement = 10;
constexpr Long EllipseIncrement = 10;
constexpr Long SolidIncrement = 10;

} // namespace

float DxfReader::Coordinate(Long code) const {
    return ToSingle(ParseLenientNumber(Database.GroupValue[code]));
}

Long DxfReader::EntityColor(Long layerID) const {
    const std::string& colorNumber = Database.GroupValue[62];
    if (!colorNumber.empty()) {
        return ColorFromACI(ToInteger(ParseLenientNumber(colorNumber)));
    }
    return Database.colLayers->Item(layerID)->LayerColor;
}

bool DxfReader::DXFLine() {
    return EntityReader("DXFLine", [this] {
        LineRec line;
        line.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        line.Color = EntityColor(line.LayerID);
        line.PenStyle = PenStyleFromLinetype(Database.GroupValue[6]);
        line.X1 = Coordinate(10);
        line.Y1 = Coordinate(20);
        line.X2 = Coordinate(11);
        line.Y2 = Coordinate(21);
        if (!Database.ExtentsFromHeader) {
            Database.CheckExtents(line.X1, line.Y1, line.X2, line.Y2);
        }
        StoreOrWriteToBlock(line, LineIncrement);
    });
}

bool DxfReader::DXFPoint() {
    return EntityReader("DXFPoint", [this] {
        PointRec point;
        point.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        point.Color = EntityColor(point.LayerID);
        point.X = Coordinate(10);
        point.Y = Coordinate(20);
        StoreOrWriteToBlock(point, PointIncrement);
    });
}

// Serves CIRCLE and ARC; a circle carries no angles and so has both at 0.
bool DxfReader::DXFCircle() {
    return EntityReader("", [this] {
        ArcRec arc;
        arc.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        arc.Color = EntityColor(arc.LayerID);
        arc.PenStyle = PenStyleFromLinetype(Database.GroupValue[6]);
        arc.CenterX = Coordinate(10);
        arc.CenterY = Coordinate(20);
        arc.Radius = Coordinate(40);
        arc.StartAngle = Coordinate(50);
        arc.EndAngle = Coordinate(51);
        NormalizeAngle(arc.StartAngle);
        NormalizeAngle(arc.EndAngle);
        if (!Database.ExtentsFromHeader) {
            if (arc.StartAngle != arc.EndAngle) {
                // Only the two end points count; the curve between them does not.
                double start = arc.StartAngle * DrawingPi / 180;
                double end = arc.EndAngle * DrawingPi / 180;
                Database.CheckExtents(arc.CenterX + arc.Radius * std::cos(start),
                                      arc.CenterY + arc.Radius * std::sin(start),
                                      arc.CenterX + arc.Radius * std::cos(end),
                                      arc.CenterY + arc.Radius * std::sin(end));
            } else {
                Database.CheckExtents(static_cast<double>(arc.CenterX) - arc.Radius,
                                      static_cast<double>(arc.CenterY) - arc.Radius,
                                      static_cast<double>(arc.CenterX) + arc.Radius,
                                      static_cast<double>(arc.CenterY) + arc.Radius);
            }
        }
        StoreOrWriteToBlock(arc, ArcIncrement);
    });
}

bool DxfReader::DXFEllipse() {
    return EntityReader("", [this] {
        EllipseRec ellipse;
        ellipse.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        ellipse.Color = EntityColor(ellipse.LayerID);
        ellipse.PenStyle = PenStyleFromLinetype(Database.GroupValue[6]);
        ellipse.CenterX = Coordinate(10);
        ellipse.CenterY = Coordinate(20);
        ellipse.MajorX = Coordinate(11);
        ellipse.MajorY = Coordinate(21);
        ellipse.Ratio = Coordinate(40);
        ellipse.StartParam = Coordinate(41);
        // The parameters are radians, but the end is reduced by 360 all the same.
        ellipse.EndParam = Coordinate(42);
        NormalizeAngle(ellipse.EndParam);
        StoreOrWriteToBlock(ellipse, EllipseIncrement);
    });
}

bool DxfReader::DXFSolid() {
    return EntityReader("DXFSolid ", [this] {
        SolidRec solid;
        solid.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        solid.Color = EntityColor(solid.LayerID);
        // The file's third and fourth corners are stored swapped so that the four
        // corners draw as one polygon.
        solid.X1 = Coordinate(10);
        solid.Y1 = Coordinate(20);
        solid.X2 = Coordinate(11);
        solid.Y2 = Coordinate(21);
        solid.X3 = Coordinate(13);
        solid.Y3 = Coordinate(23);
        solid.X4 = Coordinate(12);
        solid.Y4 = Coordinate(22);
        if (!Database.ExtentsFromHeader) {
            Database.CheckExtents(solid.X1, solid.Y1, solid.X2, solid.Y2);
        }
        if (StoreOrWriteToBlock(solid, SolidIncrement) && !Database.ExtentsFromHeader) {
            Database.CheckExtents(solid.X3, solid.Y3, solid.X4, solid.Y4);
        }
    });
}

bool DxfReader::DXF3DFace() {
    return EntityReader("DXF3DFace", [this] {
        LineRec edge;
        edge.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        edge.Color = EntityColor(edge.LayerID);
        edge.PenStyle = PenStyleFromLinetype(Database.GroupValue[6]);
        const float cornerX[4] = {Coordinate(10), Coordinate(11), Coordinate(12), Coordinate(13)};
        const float cornerY[4] = {Coordinate(20), Coordinate(21), Coordinate(22), Coordinate(23)};
        if (!Database.ExtentsFromHeader) {
            Database.CheckExtents(cornerX[0], cornerY[0], cornerX[1], cornerY[1]);
        }
        for (int corner = 0; corner < 4; ++corner) {
            int next = (corner + 1) % 4;
            edge.X1 = cornerX[corner];
            edge.Y1 = cornerY[corner];
            edge.X2 = cornerX[next];
            edge.Y2 = cornerY[next];
            StoreOrWriteToBlock(edge, LineIncrement);
        }
    });
}

} // namespace plandra
