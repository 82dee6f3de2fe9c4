// The drawing pass and the redraw entry points.
#include "drawing_view.h"

#include "control/database/control_error.h"
#include "entity_painter.h"

#include <cmath>

namespace plandra {

namespace {

constexpr float SmallestScale = 0.000001f;
constexpr float LargestScale = 1000000;

using platform::DefaultPointerOnExit;

Long SurfacePixels(double scaleSize) {
    // A surface beyond any screen is refused like one without pixels.
    if (!(scaleSize >= 0 && scaleSize < 1E9)) {
        return 0;
    }
    return static_cast<Long>(std::nearbyint(scaleSize));
}

} // namespace

DrawingView::DrawingView(DrawingDatabase& database, DrawingOptions& options, ViewSurfaces surfaces)
    : Transform(surfaces.Screen), Database(database), Options(options), Surfaces(surfaces) {}

bool DrawingView::Zoom(const RealRect& window) {
    return ZoomInto(window, {});
}

bool DrawingView::ZoomToPrinter(const RealRect& window, platform::Printer& printer) {
    bool result = ZoomInto(window, {nullptr, &printer});
    if (result && Database.DXFComplete) {
        printer.EndDoc();
        DXFRefresh();
    }
    return result;
}

bool DrawingView::ZoomToMetafile(const RealRect& window, platform::HDC metafileDc) {
    bool result = ZoomInto(window, {metafileDc, nullptr});
    // A metafile pass leaves the transform of the metafile behind; the redraw gives
    // the screen its own again.
    if (result && Database.DXFComplete) {
        DXFRefresh();
    }
    return result;
}

bool DrawingView::ZoomInto(const RealRect& window, Target target) {
    if (Database.SeqCount <= 0) {
        return false;
    }
    for (platform::ChildWindow* handle : SelectionHandles) {
        if (handle != nullptr) {
            handle->SetVisible(false);
        }
    }
    Surfaces.Screen.SetMousePointer(platform::MousePointer::Hourglass);
    DefaultPointerOnExit pointer(Surfaces.Screen);
    return WithErrorTrail(
        "Zoom", [this] { ViewRegion.Reset(); }, [&] { return DrawPass(window, target); });
}

bool DrawingView::FitWindow(const RealRect& window, Target target, platform::HDC& dc) {
    platform::PictureBox& surface = Surfaces.picPlandra;
    const bool toScreen = target.MetafileDc == nullptr && target.Printer == nullptr;
    RealRect fitted = window;
    Long surfaceWidth = 0;
    Long surfaceHeight = 0;
    if (target.MetafileDc != nullptr) {
        // Every redraw puts picPlandra in pixels; a metafile takes its size in pixels
        // whatever scale the host left it in.
        int scaleMode = surface.ScaleMode();
        surface.SetScaleMode(platform::scale::Pixels);
        surfaceWidth = SurfacePixels(surface.ScaleWidth());
        surfaceHeight = SurfacePixels(surface.ScaleHeight());
        surface.SetScaleMode(scaleMode);
        dc = target.MetafileDc;
    } else if (target.Printer != nullptr) {
        platform::Printer& printer = *target.Printer;
        printer.SetScaleMode(platform::scale::Pixels);
        printer.Print("");
        dc = printer.hDC();
        // A margin of a twentieth of the window on every side of the page.
        const float marginX = std::fabs(fitted.Right - fitted.Left) * 0.05f;
        const float marginY = std::fabs(fitted.Top - fitted.Bottom) * 0.05f;
        fitted.Left -= marginX;
        fitted.Right += marginX;
        fitted.Top += marginY;
        fitted.Bottom -= marginY;
        surfaceWidth = SurfacePixels(printer.ScaleWidth());
        surfaceHeight = SurfacePixels(printer.ScaleHeight());
    } else {
        surfaceWidth = SurfacePixels(surface.ScaleWidth());
        surfaceHeight = SurfacePixels(surface.ScaleHeight());
        dc = surface.hDC();
    }

    // A side that is not a number or infinite (from a damaged file) cannot be fitted:
    // refused as out of range before it reaches the view window.
    if (!std::isfinite(fitted.Left) || !std::isfinite(fitted.Top) || !std::isfinite(fitted.Right) ||
        !std::isfinite(fitted.Bottom)) {
        ShowZoomOutOfRange();
        return false;
    }
    float width = std::fabs(fitted.Right - fitted.Left);
    float height = std::fabs(fitted.Top - fitted.Bottom);
    // A window without height cannot be given the surface's shape, and a surface
    // without pixels (a minimised host) has none to give: both draw nothing, as a
    // window without width does, and leave the view as it was.
    if (width == 0 || height == 0 || surfaceWidth <= 0 || surfaceHeight <= 0) {
        return false;
    }
    float drawingAspect = width / height;
    Transform.SurfaceAspect = static_cast<float>(surfaceWidth) / static_cast<float>(surfaceHeight);
    if (Transform.SurfaceAspect < drawingAspect) {
        height = width / Transform.SurfaceAspect;
        fitted.Top = fitted.Bottom + height;
    } else {
        width = height * Transform.SurfaceAspect;
        fitted.Right = fitted.Left + width;
    }
    if (toScreen) {
        Transform.ViewWindow = fitted;
    }

    float scale = static_cast<float>(surfaceWidth) / width;
    // Written so that NaN, from a window whose size overflows a Single, is refused too.
    if (!(scale >= SmallestScale && scale <= LargestScale)) {
        ShowZoomOutOfRange();
        return false;
    }
    Transform.SetViewTransform(surfaceHeight, fitted.Left, fitted.Bottom, scale, surface.hWnd());
    Transform.SurfaceWidth = surfaceWidth;
    ViewRegion = platform::OwnObject(Surfaces.Gdi,
                                     Surfaces.Gdi.CreateRectRgn(0, 0, surfaceWidth, surfaceHeight));
    return true;
}

void DrawingView::ShowZoomOutOfRange() {
    platform::PictureBox& surface = Surfaces.picPlandra;
    surface.SetCurrentX((surface.ScaleWidth() - surface.TextWidth(ZoomOutOfRange)) / 2);
    surface.SetCurrentY(surface.ScaleHeight() / 2);
    surface.Print(ZoomOutOfRange);
}

bool DrawingView::DrawPass(const RealRect& window, Target target) {
    const auto started = std::chrono::steady_clock::now();
    const std::clock_t cpuStarted = std::clock();
    platform::HDC dc = nullptr;
    if (!FitWindow(window, target, dc)) {
        return false;
    }
    platform::PictureBox& surface = Surfaces.picPlandra;
    EntityPainter painter(Surfaces.Gdi, dc, Transform, ViewRegion.Get(), Database, Options,
                          &surface);
    Long count = Database.SeqCount;
    // The surface is shown after every further 500th part of the drawing, so a long
    // pass builds up on the screen.
    float step = 50000.0f / static_cast<float>(count);
    float threshold = step;
    // The share drawn only grows with i, so the entry that reaches the next threshold
    // is found by bisection instead of being tested at every entity.
    auto reached = [count, &threshold](Long i) {
        return static_cast<double>(i) / count * 100 >= threshold;
    };
    auto nextRefresh = [&reached, count](Long from) {
        Long low = from;
        Long high = count + 1;
        while (low < high) {
            Long middle = low + (high - low) / 2;
            if (reached(middle)) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        return low;
    };
    Long refreshAt = nextRefresh(1);
    for (Long i = 1; i <= count; ++i) {
        if (i == refreshAt) {
            threshold += step;
            surface.Refresh();
            refreshAt = nextRefresh(i + 1);
        }
        painter.Draw(Database.SeqArray[i]);
    }
    // The region goes after every pass, finished read or not, so no pass leaks one.
    ViewRegion.Reset();
    LastPassStarted = started;
    LastPassTook = std::chrono::steady_clock::now() - started;
    LastPassCpuStarted = cpuStarted;
    LastPassCpuTook = std::clock() - cpuStarted;
    return true;
}

void DrawingView::PrepareSurface() {
    platform::PictureBox& surface = Surfaces.picPlandra;
    surface.Cls();
    surface.SetScaleMode(platform::scale::Pixels);
    surface.SetAutoRedraw(true);
}

bool DrawingView::ZoomExtents() {
    return WithErrorTrail(
        "ZoomExtents", [this] { RestorePointer(); },
        [this] {
            Surfaces.picPlandra.ZOrder(0);
            PrepareSurface();
            bool result = Zoom(Database.Extents);
            Surfaces.picPlandra.Refresh();
            return result;
        });
}

bool DrawingView::Refresh(std::string& strError) {
    try {
        Surfaces.picPlandra.ZOrder(0);
        PrepareSurface();
        Zoom(Transform.ViewWindow);
        Surfaces.picPlandra.Refresh();
    } catch (const ControlError& error) {
        RestorePointer();
        strError = "Error in DXF.Refresh. The error is: " + error.Description;
        return false;
    } catch (const std::bad_alloc&) {
        RestorePointer();
        strError = "Error in DXF.Refresh. The error is: Out of memory";
        return false;
    }
    strError.clear();
    return true;
}

Integer DrawingView::DXFRefresh() {
    return WithErrorTrail(
        "DXFRefresh", [this] { RestorePointer(); },
        [this] {
            PrepareSurface();
            bool result = Zoom(Transform.ViewWindow);
            Surfaces.picPlandra.Refresh();
            return result ? IntegerTrue : IntegerFalse;
        });
}

Long DrawingView::ShowReadDrawing() {
    PrepareSurface();
    bool result = Zoom(Database.Extents);
    Surfaces.picPlandra.Refresh();
    DrawingShown = true;
    return result ? IntegerTrue : IntegerFalse;
}

} // namespace plandra
