// The drawing pass Zoom and the redraw entry points Refresh, DXFRefresh, ZoomExtents
// and the showing of a drawing just read: the control's drawing of its database onto
// picPlandra.
#pragma once

#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "platform/child_window.h"
#include "platform/gdi.h"
#include "platform/gdi_objects.h"
#include "platform/message_box.h"
#include "platform/picture_box.h"
#include "platform/printer.h"
#include "platform/screen.h"
#include "view_transform.h"

#include <array>
#include <chrono>
#include <ctime>
#include <string>

namespace plandra {

/// The screen and surfaces the control draws on. picPlandra's hDC must belong to Gdi.
struct ViewSurfaces {
    platform::Screen& Screen;
    platform::GdiService& Gdi;
    platform::PictureBox& picPlandra;
};

/// The view part of the control: its view state, the drawing pass and the redraws.
/// Errors are raised as ControlError with the trail of the procedures they passed
/// through; the mouse pointer is the hourglass only while a pass runs.
class DrawingView {
public:
    /// The shown text of a rejected scale.
    static constexpr std::string_view ZoomOutOfRange = "Zoom out of range";

    DrawingView(DrawingDatabase& database, DrawingOptions& options, ViewSurfaces surfaces);

    /// The drawing pass: fits `window` (drawing units) to picPlandra and draws every
    /// sequence entry into its device context. False when the database is empty, the
    /// window has no width or no height, the surface has no pixels, or the scale is out
    /// of range (then "Zoom out of range" is written on the surface).
    bool Zoom(const RealRect& window);
    /// The drawing pass into a metafile device context of Gdi: `window` fitted to
    /// picPlandra's size in pixels and drawn into `metafileDc`, leaving ViewWindow as it
    /// was; the screen is then redrawn (DXFRefresh) when the drawing was read whole.
    /// The caller closes the metafile. Fails as Zoom does.
    bool ZoomToMetafile(const RealRect& window, platform::HDC metafileDc);
    /// The drawing pass onto the printer: in pixels, with the window widened by 5% of
    /// its width and height on every side and fitted to the printable area; ViewWindow
    /// stays. When the drawing was read whole the document is ended and the screen
    /// redrawn (DXFRefresh).
    bool ZoomToPrinter(const RealRect& window, platform::Printer& printer);

    /// Shows a drawing just read into the database at its extents, as Regen does after
    /// the read, and marks the drawing shown. The pass's result as a Long Boolean.
    Long ShowReadDrawing();
    /// Redraws ViewWindow. Returns True with strError empty, or False with the error.
    bool Refresh(std::string& strError);
    /// Redraws ViewWindow; the pass's result as an Integer Boolean.
    Integer DXFRefresh();
    /// Shows the whole drawing; the pass's result.
    bool ZoomExtents();

    ViewTransform Transform;
    /// The redline selection handles (null where there are none). Every pass that draws
    /// hides them, since they mark a place in the picture it replaces; the selection
    /// itself stays.
    std::array<platform::ChildWindow*, 4> SelectionHandles{};
    /// Set once a drawing just read has been shown.
    bool DrawingShown = false;
    /// When the last pass that drew began and how long it took, for hosts that time
    /// their redraws.
    std::chrono::steady_clock::time_point LastPassStarted;
    std::chrono::steady_clock::duration LastPassTook{};
    /// The processor time of the process when that pass began and what the pass used.
    std::clock_t LastPassCpuStarted = 0;
    std::clock_t LastPassCpuTook = 0;

private:
    /// Where a pass draws: picPlandra (both null), a metafile or the printer.
    struct Target {
        platform::HDC MetafileDc = nullptr;
        platform::Printer* Printer = nullptr;
    };
    bool ZoomInto(const RealRect& window, Target target);
    bool DrawPass(const RealRect& window, Target target);
    /// Steps 1 to 8 of the fitting; false when nothing is to be drawn. Only a pass onto
    /// picPlandra changes ViewWindow. Gives the device context to draw on.
    bool FitWindow(const RealRect& window, Target target, platform::HDC& dc);
    void ShowZoomOutOfRange();
    /// Cls, pixel scale and AutoRedraw on picPlandra, as every redraw starts.
    void PrepareSurface();
    void RestorePointer() { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); }

    DrawingDatabase& Database;
    DrawingOptions& Options;
    ViewSurfaces Surfaces;
    /// The surface rectangle (0, 0, SurfaceWidth, SurfaceHeight), only during a pass.
    platform::UniqueGdiObject<platform::HRGN> ViewRegion;
};

} // namespace plandra
