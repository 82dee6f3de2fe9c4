// The readers of LAYER table entries and of the header's extents variables.
#include "control/database/aci_colors.h"
#include "control/database/control_error.h"
#include "control/database/drawing_math.h"
#include "control/database/dxf_number.h"
#include "dxf_reader.h"

#include <cstdlib>

namespace plandra {

bool DxfReader::DXFNewLayer() {
    return EntityReader("DXFNewLayer", [this] {
        const GroupValues& group = Database.GroupValue;
        Integer colorNumber = ToInteger(ParseLenientNumber(group[62]));
        if (colorNumber == -32768) {
            throw ControlError::Runtime(RuntimeError::Overflow);
        }
        // A negative colour number marks a layer that is switched off.
        bool layerOn = colorNumber >= 0 && !IsBitSet(ToLong(ParseLenientNumber(group[70])), 0);
        bool redline = group[999].find("REDLINE") != std::string::npos;
        Database.Layers().Add(layerOn ? IntegerTrue : IntegerFalse,
                              ColorFromACI(static_cast<Integer>(std::abs(colorNumber))), group[2],
                              IntegerFalse, redline);
    });
}

bool DxfReader::DXFMinExtents() {
    if (Options.CalcExtents) {
        return true;
    }
    return EntityReader("DXFMinExtents", [this] {
        Database.Extents.Left = Coordinate(10);
        Database.Extents.Bottom = Coordinate(20);
        if (Database.ExtMaxRead) {
            Database.ExtentsFromHeader = true;
        }
        Database.ExtMinRead = true;
        DropInvertedHeaderExtents();
    });
}

bool DxfReader::DXFMaxExtents() {
    if (Options.CalcExtents) {
        return true;
    }
    return EntityReader("DXFMaxExtents", [this] {
        Database.Extents.Right = Coordinate(10);
        Database.Extents.Top = Coordinate(20);
        if (Database.ExtMinRead) {
            Database.ExtentsFromHeader = true;
        }
        Database.ExtMaxRead = true;
        DropInvertedHeaderExtents();
    });
}

// Today's CAD programs write an empty box (minimum above maximum, such as 1E20 and
// -1E20) when they have not worked the extents out; read as extents it would show
// nothing, so with the modern kinds on the entities' own extents are taken instead.
void DxfReader::DropInvertedHeaderExtents() {
    const RealRect& extents = Database.Extents;
    if (Options.ReadModernEntities && Database.ExtentsFromHeader &&
        (extents.Left > extents.Right || extents.Bottom > extents.Top)) {
        Database.Extents = EmptyExtents;
        Database.ExtentsFromHeader = false;
    }
}

} // namespace plandra
