// Zoom, pan, history, scrolling and the text search.
#include "view_navigation.h"

#include "control/database/control_error.h"

#include <cmath>

namespace plandra {

namespace {

bool HasArea(const RealRect& window) {
    return window.Right - window.Left != 0 && window.Top - window.Bottom != 0;
}

// The new window must stay drawable: a side that is NaN or infinite (from an
// extreme zoom, a huge extent or a NaN coordinate) would poison every later view.
void RequireFinite(const RealRect& window) {
    if (!(std::isfinite(window.Left) && std::isfinite(window.Top) && std::isfinite(window.Right) &&
          std::isfinite(window.Bottom))) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
}

// A zoom must also keep the window's sides apart: one whose sides have run together
// (a zoom in beyond a Single's precision, a huge cursor position) draws nothing and
// could never be zoomed out of again.
void RequireDrawable(const RealRect& window) {
    RequireFinite(window);
    if (!HasArea(window)) {
        throw ControlError::Runtime(RuntimeError::Overflow);
    }
}

bool IsScrollPosition(float value) {
    return value >= 0 && value <= 100;
}

} // namespace

ViewNavigator::ViewNavigator(DrawingView& view, DrawingDatabase& database,
                             std::array<RealRect, 4>& prevZoomStack,
                             platform::PictureBox& picPlandra, platform::Screen& screen)
    : View(view), Database(database), History(prevZoomStack), Surface(picPlandra), Screen(screen) {}

template <typename Work> auto ViewNavigator::Traced(std::string_view procedure, Work&& work) {
    return WithErrorTrail(
        procedure, [this] { RestorePointer(); }, std::forward<Work>(work));
}

bool ViewNavigator::DrawTarget(platform::PictureBox& target) {
    target.Cls();
    const bool result = View.Zoom(ZoomTarget);
    target.Refresh();
    return result;
}

bool ViewNavigator::ZoomToPixels(Integer minX, Integer maxX, Integer minY, Integer maxY) {
    const ViewTransform& transform = View.Transform;
    const float ppu = transform.PixelsPerUnit;
    if (ppu == 0) {
        return false;
    }
    const RealRect& window = transform.ViewWindow;
    const double height = Surface.ScaleHeight();
    const RealRect target{
        window.Left + minX / ppu, static_cast<float>(window.Bottom + (height - minY) / ppu),
        window.Left + maxX / ppu, static_cast<float>(window.Bottom + (height - maxY) / ppu)};
    RequireDrawable(target);
    ZoomTarget = target;
    DrawTarget(Surface);
    View.Transform.ViewWindow = ZoomTarget;
    AddToPrevZoomStack(ZoomTarget);
    return true;
}

bool ViewNavigator::Pan(Integer dx, Integer dy) {
    const float ppu = View.Transform.PixelsPerUnit;
    if (ppu == 0) {
        return false;
    }
    const RealRect& window = View.Transform.ViewWindow;
    const float shiftX = dx / ppu;
    const float shiftY = dy / ppu;
    const RealRect target{window.Left + shiftX, window.Top + shiftY, window.Right + shiftX,
                          window.Bottom + shiftY};
    RequireDrawable(target);
    ZoomTarget = target;
    DrawTarget(Surface);
    View.Transform.ViewWindow = ZoomTarget;
    AddToPrevZoomStack(ZoomTarget);
    return true;
}

bool ViewNavigator::StationaryZoom(float X, float Y, Integer Pct, platform::PictureBox& target) {
    return Traced("StationaryZoom", [&] {
        const ViewTransform& transform = View.Transform;
        const float ppu = transform.PixelsPerUnit;
        if (ppu == 0) {
            RestorePointer();
            return false;
        }
        if (Pct <= 0) {
            throw ControlError::Runtime(RuntimeError::InvalidArgument);
        }
        const RealRect& window = transform.ViewWindow;
        const double worldX = window.Left + X / ppu;
        const double worldY =
            window.Bottom - (Y - static_cast<double>(transform.SurfaceHeight)) / ppu;
        const double factor = 100.0 / Pct;
        const double width = factor * (window.Right - window.Left);
        const double height = factor * (window.Top - window.Bottom);
        const double fx = X / target.ScaleWidth();
        const double fy = Y / target.ScaleHeight();
        const RealRect zoomed{static_cast<float>(worldX - fx * width),
                              static_cast<float>(worldY + fy * height),
                              static_cast<float>(worldX + (1 - fx) * width),
                              static_cast<float>(worldY - (1 - fy) * height)};
        RequireDrawable(zoomed);
        ZoomTarget = zoomed;
        target.Cls();
        AddToPrevZoomStack(ZoomTarget);
        const bool result = View.Zoom(ZoomTarget);
        target.Refresh();
        View.Transform.ViewWindow = ZoomTarget;
        RestorePointer();
        return result;
    });
}

void ViewNavigator::AddToPrevZoomStack(const RealRect& window) {
    Traced("AddToPrevZoomStack", [&] { History.Add(window); });
}

Integer ViewNavigator::ZoomPrevious() {
    return Traced("ZoomPrevious", [&] {
        const RealRect window = History.Previous(Database.Extents);
        Surface.Cls();
        const bool result = View.Zoom(window);
        Surface.Refresh();
        return result ? IntegerTrue : IntegerFalse;
    });
}

Integer ViewNavigator::ShowScrolled(const RealRect& window, float& lastScroll, float delta) {
    RequireFinite(window);
    lastScroll = delta;
    View.Transform.ViewWindow = window;
    View.DXFRefresh();
    return IntegerTrue;
}

Integer ViewNavigator::VerticalScroll(float DeltaY) {
    return Traced("VerticalScroll", [&] {
        if (!IsScrollPosition(DeltaY)) {
            throw ControlError::Runtime(RuntimeError::InvalidArgument);
        }
        const float fraction = (LastScrollY - DeltaY) / 100;
        const float shift = fraction * (Database.Extents.Top - Database.Extents.Bottom);
        RealRect window = View.Transform.ViewWindow;
        window.Top += shift;
        window.Bottom += shift;
        return ShowScrolled(window, LastScrollY, DeltaY);
    });
}

Integer ViewNavigator::HorizontalScroll(float DeltaX) {
    return Traced("HorizontalScroll", [&] {
        if (!IsScrollPosition(DeltaX)) {
            throw ControlError::Runtime(RuntimeError::InvalidArgument);
        }
        const float fraction = (DeltaX - LastScrollX) / 100;
        const float shift = fraction * (Database.Extents.Right - Database.Extents.Left);
        RealRect window = View.Transform.ViewWindow;
        window.Left += shift;
        window.Right += shift;
        return ShowScrolled(window, LastScrollX, DeltaX);
    });
}

Long ViewNavigator::Find(std::string& TextToFind, Integer LayerID, bool Pan) {
    return Traced("Find", [&] {
        const Long found = FindText(Database, TextToFind, LayerID, Search);
        if (found != 0 && Pan && Drawn()) {
            const RealRect& window = View.Transform.ViewWindow;
            const TextRec& text = Database.Texts[found];
            const float halfWidth = (window.Right - window.Left) / 2;
            const float halfHeight = (window.Top - window.Bottom) / 2;
            const RealRect centred{text.X - halfWidth, text.Y + halfHeight, text.X + halfWidth,
                                   text.Y - halfHeight};
            RequireDrawable(centred);
            ZoomTarget = centred;
            AddToPrevZoomStack(ZoomTarget);
            DrawTarget(Surface);
        }
        RestorePointer();
        return found;
    });
}

} // namespace plandra
