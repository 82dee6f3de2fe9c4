// The control's redline members: the creation methods, the selection on mouse-down,
// the entities a redline drag adds, and deleting and restoring.
#include "control/database/control_error.h"
#include "control/redline/redline_deletion.h"
#include "control/redline/redline_entities.h"
#include "control/redline/redline_selection.h"
#include "dxf_control.h"

#include <utility>

namespace plandra {

template <typename Work> Long DXF::AddRedline(std::string_view procedure, Work&& work) {
    return WithErrorTrail(
        procedure,
        [this] {
            Surfaces.Screen.SetMousePointer(platform::MousePointer::Default);
            Surfaces.picPlandra.Cls();
        },
        std::forward<Work>(work));
}

Long DXF::DXFAddLine(float X1, float Y1, float X2, float Y2, const std::string& LayerName) {
    return AddRedline("DXFAddLine",
                      [&] { return plandra::DXFAddLine(Database, X1, Y1, X2, Y2, LayerName); });
}

Long DXF::DXFAddSolid(float X1, float Y1, float X2, float Y2, float X3, float Y3, float X4,
                      float Y4, const std::string& LayerName) {
    return AddRedline("DXFAddSolid", [&] {
        return plandra::DXFAddSolid(Database, {X1, Y1, X2, Y2, X3, Y3, X4, Y4}, LayerName);
    });
}

Long DXF::DXFAddCircle(float CenterX, float CenterY, float RadiusX, float RadiusY,
                       const std::string& LayerName) {
    return AddRedline("DXFAddCircle", [&] {
        return plandra::DXFAddCircle(Database, CenterX, CenterY, RadiusX, RadiusY, LayerName);
    });
}

Long DXF::DXFAddText(float X1, float Y1, const std::string& Text, const std::string& LayerName,
                     CoordSystem CoordinateSystem, const Variant& TextHeight,
                     const Variant& HorzAlignment, const Variant& Rotation) {
    return AddRedline("DXFAddText", [&] {
        RedlineText text;
        if (CoordinateSystem == dxfPixel) {
            text.X = View.Transform.IntToRealX(X1);
            text.Y = View.Transform.IntToRealY(Y1);
        } else if (CoordinateSystem == dxfRealWorld) {
            text.X = X1;
            text.Y = Y1;
        } else {
            throw ControlError::Runtime(RuntimeError::InvalidArgument);
        }
        auto given = [](const Variant& value) { return TypeOf(value) != VarType::Empty; };
        text.Text = Text;
        text.Height = given(TextHeight) ? CSng(TextHeight) : Options.RedlineTextHeight;
        text.HorzAlign = given(HorzAlignment) ? CLng(HorzAlignment) : Long{dxfLeft};
        text.Rotation = given(Rotation) ? CSng(Rotation) : 0.0f;
        return plandra::DXFAddText(Database, text, LayerName);
    });
}

bool DXF::SelectRedlineEntity(float X, float Y) {
    std::string strError;
    if (!HandleHide(strError)) {
        throw ControlError::Raised(strError);
    }
    const RedlineScene scene{Database, Options, View.Transform, Surfaces.picPlandra};
    const RedlineScan scan = FindRedlineEntity(strError, scene, X, Y);
    if (scan.Found) {
        const RedlineHit& hit = *scan.Found;
        SetRedlineEntitySelected(hit.Index);
        SetRedlineEntityType(static_cast<EntityTypesEnum>(hit.EntityType));
        // A handle that cannot be placed leaves the entity selected, as a hit it is.
        std::string handleError;
        HandleMove(handleError, hit.Rect.left, hit.Rect.top, hit.Rect.right, hit.Rect.bottom);
    }
    return !scan.Failed;
}

void DXF::AddDraggedRedline() {
    const RubberBand& band = ZoomBand;
    const float ax = View.Transform.IntToRealX(band.ZoomAnchorX);
    const float ay = View.Transform.IntToRealY(band.ZoomAnchorY);
    const float cx = View.Transform.IntToRealX(band.ZoomCurrentX);
    const float cy = View.Transform.IntToRealY(band.ZoomCurrentY);
    const std::string& layer = RedlineCurrentLayer;
    switch (ZoomFunction) {
    case dxfRedLineLine:
        DXFAddLine(ax, ay, cx, cy, layer);
        break;
    case dxfRedLineCircle:
        DXFAddCircle(ax, ay, cx, cy, layer);
        break;
    case dxfRedLineRectangle:
        DXFAddLine(ax, ay, ax, cy, layer);
        DXFAddLine(ax, cy, cx, cy, layer);
        DXFAddLine(cx, cy, cx, ay, layer);
        DXFAddLine(cx, ay, ax, ay, layer);
        break;
    default:
        break;
    }
}

template <typename Mark>
bool DXF::ChangeRedlineMarks(std::string& strError, std::string_view procedure, Mark&& mark) {
    try {
        try {
            mark();
        } catch (const std::bad_alloc&) {
            throw ControlError::Runtime(RuntimeError::OutOfMemory);
        }
    } catch (const ControlError& error) {
        strError = "An error occured in " + std::string(procedure) +
                   ". The message is: " + error.Description;
        return false;
    }
    return HandleHide(strError) && Refresh(strError);
}

bool DXF::RedlineDeleteEntity(std::string& strError) {
    return ChangeRedlineMarks(strError, "RedlineDeleteEntity", [this] {
        MarkRedlineDeleted(Database, RedlineEntityType, CLng(RedlineEntitySelected));
    });
}

bool DXF::RedlineUnDeleteEntity(std::string& strError) {
    return ChangeRedlineMarks(strError, "RedlineUnDeleteEntity",
                              [this] { RestoreRedlineEntities(Database); });
}

} // namespace plandra
