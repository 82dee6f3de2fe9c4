// The seven enumerations of the control's type library, with their automation values.
#pragma once

#include "control/database/entity_records.h"

#include <span>
#include <string_view>

namespace plandra {

enum ZoomFunctionEnum : Long {
    dxfWindow = 0,
    dxfDrillDown = 1,
    dxfPan = 2,
    dxfRedLineText = 3,
    dxfRedLineLine = 4,
    dxfRedLineCircle = 5,
    dxfRedLineRectangle = 6,
    // 7 was never given out; hosts compiled against 8 must keep working.
    dxfRedLineSelect = 8,
};

enum HorzAlignEnum : Long {
    dxfLeft = 0,
    dxfCenter = 1,
    dxfRight = 2,
};

enum CoordSystem : Long {
    dxfPixel = 0,
    dxfRealWorld = 1,
};

enum DispAttribsEnum : Long {
    dxfAttribsOff = 0,
    dxfAttribsOn = 1,
};

enum PlotSizeEnum : Long {
    dxfExtents = 0,
    dxfCurrentView = 1,
};

/// How Regen treats what the database holds: emptied first, or kept and added to.
enum MergeEnum : Long {
    dxfMergeNew = 0,
    dxfMergeAdd = 1,
};

enum EntityTypesEnum : Long {
    dxfRedLineNone = -1,
    dxfRedLineNewLine = 0,
    dxfRedLineNewCircle = 1,
    dxfRedLineNewText = 2,
    dxfRedLineNewSolid = 3,
};

/// One member of an enumeration as the type library lists it; its help string is
/// its own name.
struct EnumMember {
    std::string_view Name;
    Long Value;
};

struct EnumInfo {
    std::string_view Name;
    std::span<const EnumMember> Members;
};

/// The seven enumerations in type-library order.
std::span<const EnumInfo> ControlEnumerations();

} // namespace plandra
