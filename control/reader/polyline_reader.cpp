// The reader of POLYLINE entities with their VERTEX chain and SEQEND.
#include "control/database/drawing_math.h"
#include "control/database/dxf_number.h"
#include "control/database/layer_lookup.h"
#include "dxf_reader.h"
#include "platform/message_box.h"

namespace plandra {

namespace {

constexpr Long PolySegIncrement = 100;
// Vertex flag bit of a spline frame control point (value 16).
constexpr Long SplineFrameBit = 4;

} // namespace

bool DxfReader::DXFPoly() {
    return EntityReader("DXFPoly", [this] {
        PolySegRec segment;
        segment.LayerID = SetLayerID(Database, Database.GroupValue[8]);
        segment.Color = EntityColor(segment.LayerID);
        const Long flags = ToLong(ParseLenientNumber(Database.GroupValue[70]));
        segment.Width = Coordinate(40);
        float extrZ = Coordinate(230);
        if (extrZ == 0) {
            extrZ = 1;
        }

        std::string& line = Database.CurrentLine;
        Source->ReadLine(line);
        if (line != "VERTEX" && Surfaces.MessageBox != nullptr) {
            Surfaces.MessageBox->MessageBoxA("Polyline read error", "", platform::mb::Ok);
        }
        LoadEntity();
        float x = Coordinate(10);
        float y = Coordinate(20);
        const float firstX = x;
        const float firstY = y;
        float bulge = Coordinate(42);

        auto store = [&](float toX, float toY, bool widenExtents) {
            segment.X1 = x * extrZ;
            segment.Y1 = y;
            segment.X2 = toX * extrZ;
            segment.Y2 = toY;
            // A mirrored polyline turns the other way round: its arcs must too, or
            // they would bow to the wrong side of their mirrored chords.
            segment.Bulge = extrZ < 0 ? -bulge : bulge;
            const bool stored = StoreOrWriteToBlock(segment, PolySegIncrement);
            if (stored && widenExtents && !Database.ExtentsFromHeader) {
                // The stored, mirrored X: the extents then hold what is drawn.
                Database.CheckExtents(segment.X1, segment.Y1, segment.X2, segment.Y2);
            }
        };

        for (;;) {
            if (line == "SEQEND") {
                if (IsBitSet(flags, 0)) {
                    store(firstX, firstY, false);
                }
                break;
            }
            Source->ReadLine(line);
            if (line == "VERTEX") {
                LoadEntity();
                float nextX = Coordinate(10);
                float nextY = Coordinate(20);
                if (!IsBitSet(ToLong(ParseLenientNumber(Database.GroupValue[70])),
                              SplineFrameBit)) {
                    store(nextX, nextY, true);
                }
                x = nextX;
                y = nextY;
            }
            // The table still holds the last VERTEX's groups when the line was not one.
            bulge = Coordinate(42);
        }
    });
}

} // namespace plandra
