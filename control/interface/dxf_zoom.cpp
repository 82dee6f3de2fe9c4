// The control's zoom and pan members: what a press, a drag and a release do under
// each ZoomFunction, the drill-down zoom, the history, the scroll bars and Find.
#include "control/database/control_error.h"
#include "control/database/dxf_number.h"
#include "dxf_control.h"

#include <algorithm>

namespace plandra {

namespace {

// Window rectangles narrower and lower than this are refused.
constexpr int SmallestWindowSide = 3;

BandShape BandShapeOf(ZoomFunctionEnum function) {
    switch (function) {
    case dxfWindow:
    case dxfRedLineRectangle:
        return BandShape::Rectangle;
    case dxfPan:
    case dxfRedLineLine:
        return BandShape::Line;
    case dxfRedLineCircle:
        return BandShape::Circle;
    default:
        return BandShape::None;
    }
}

} // namespace

void DXF::EndBand() {
    ZoomBand.Erase(Surfaces.picPlandra);
    Surfaces.picPlandra.SetAutoRedraw(true);
    ZoomBand.ZoomActive = false;
}

bool DXF::ZoomInitiate(float X, float Y) {
    return WithErrorTrail(
        "ZoomInitiate",
        [this] { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); },
        [&] {
            if (ZoomFunction == dxfRedLineSelect) {
                return SelectRedlineEntity(X, Y);
            }
            const Integer x = BandPixel(X);
            const Integer y = BandPixel(Y);
            // A band still on the surface from a drag that never ended goes first.
            if (ZoomBand.ZoomActive) {
                ZoomBand.Erase(Surfaces.picPlandra);
            }
            Surfaces.picPlandra.SetAutoRedraw(false);
            ZoomBand.Start(x, y);
            return true;
        });
}

Variant DXF::ZoomFeedback(float X, float Y) {
    return WithErrorTrail(
        "ZoomFeedback",
        [this] { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); },
        [&] {
            if (ZoomBand.ZoomActive) {
                const Integer x = BandPixel(X);
                const Integer y = BandPixel(Y);
                ZoomBand.Follow(Surfaces.picPlandra, BandShapeOf(LastZoomFunction()), x, y);
            }
            return Variant();
        });
}

bool DXF::ZoomEnd() {
    return WithErrorTrail(
        "ZoomEnd", [this] { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); },
        [&] {
            const RubberBand& band = ZoomBand;
            switch (ZoomFunction) {
            case dxfWindow: {
                // A release without a press (or a second one) has no rectangle: zooming
                // again into the last one would zoom twice.
                if (!band.ZoomActive) {
                    return false;
                }
                EndBand();
                const int minX = std::min(band.ZoomAnchorX, band.ZoomCurrentX);
                const int maxX = std::max(band.ZoomAnchorX, band.ZoomCurrentX);
                const int minY = std::min(band.ZoomAnchorY, band.ZoomCurrentY);
                const int maxY = std::max(band.ZoomAnchorY, band.ZoomCurrentY);
                // A rectangle without width or height (a straight drag) is too small
                // as well: it would show nothing and leave a window without area.
                if ((maxX - minX < SmallestWindowSide && maxY - minY < SmallestWindowSide) ||
                    maxX == minX || maxY == minY) {
                    Host.MessageBox.MessageBoxA(
                        "Rectangle selected is too small - please select a larger window",
                        "Zoom area", platform::mb::IconExclamation);
                    return false;
                }
                return Navigator.ZoomToPixels(
                    static_cast<Integer>(minX), static_cast<Integer>(maxX),
                    static_cast<Integer>(minY), static_cast<Integer>(maxY));
            }
            case dxfPan: {
                if (!band.ZoomActive) {
                    return false;
                }
                EndBand();
                const int dx = band.ZoomAnchorX - band.ZoomCurrentX;
                const int dy = band.ZoomCurrentY - band.ZoomAnchorY;
                return Navigator.Pan(ToInteger(dx), ToInteger(dy));
            }
            case dxfRedLineLine:
            case dxfRedLineCircle:
            case dxfRedLineRectangle:
                // A release without a press would add the last drag's entities again.
                if (!band.ZoomActive) {
                    return false;
                }
                EndBand();
                // Like the creation methods, the release does not redraw: the host
                // refreshes when it wants the new entities shown.
                AddDraggedRedline();
                return true;
            default:
                return true;
            }
        });
}

Integer DXF::OnTheSpotZoom(float X, float Y, Integer Button) {
    return WithErrorTrail(
        "OnTheSpotZoom",
        [this] { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); },
        [&] {
            constexpr Integer RightButton = 2;
            const float percentage =
                Button == RightButton ? OnTheSpotZoomPctRight : OnTheSpotZoomPctLeft;
            const bool result = StationaryZoom(X, Y, ToInteger(percentage), Surfaces.picPlandra);
            return result ? IntegerTrue : IntegerFalse;
        });
}

bool DXF::StationaryZoom(float X, float Y, Integer Pct, platform::PictureBox& target) {
    return Navigator.StationaryZoom(X, Y, Pct, target);
}

void DXF::AddToPrevZoomStack(const RealRect& window) {
    Navigator.AddToPrevZoomStack(window);
}

Integer DXF::ZoomPrevious() {
    return Navigator.ZoomPrevious();
}

Integer DXF::VerticalScroll(float DeltaY) {
    return Navigator.VerticalScroll(DeltaY);
}

Integer DXF::HorizontalScroll(float DeltaX) {
    return Navigator.HorizontalScroll(DeltaX);
}

Long DXF::Find(std::string& TextToFind, Integer LayerID, bool Pan) {
    return Navigator.Find(TextToFind, LayerID, Pan);
}

} // namespace plandra
