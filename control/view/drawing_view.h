// The drawing pass Zoom and the redraw entry points Regen, Refresh, DXFRefresh and
// ZoomExtents: the control's drawing of its database onto picPlandra.
#pragma once

#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "platform/gdi.h"
#include "platform/gdi_objects.h"
#include "platform/message_box.h"
#include "platform/picture_box.h"
#include "platform/screen.h"
#include "view_transform.h"

#include <array>
#include <string>

namespace plandra {

enum MergeEnum : Long {
    dxfMergeNew = 0,
    dxfMergeAdd = 1,
};

/// The screen and surfaces the control draws on. picPlandra's hDC must belong to Gdi.
struct ViewSurfaces {
    platform::Screen& Screen;
    platform::GdiService& Gdi;
    platform::PictureBox& picPlandra;
    /// Shows the reader's progress bar during Regen; may be null.
    platform::PictureBox* picStatusBar = nullptr;
    /// Shows the reader's warnings during Regen; may be null.
    platform::MessageBoxService* MessageBox = nullptr;
};

/// The view part of the control: its view state, the drawing pass and the redraws.
/// Errors are raised as ControlError with the trail of the procedures they passed
/// through; the mouse pointer is the hourglass only while a pass or Regen runs.
class DrawingView {
public:
    /// The shown text of a rejected scale.
    static constexpr std::string_view ZoomOutOfRange = "Zoom out of range";

    DrawingView(DrawingDatabase& database, DrawingOptions& options,
                std::array<RealRect, 4>& prevZoomStack, ViewSurfaces surfaces);

    /// The drawing pass: fits `window` (drawing units) to picPlandra and draws every
    /// sequence entry into its device context. False when the database is empty, the
    /// window has no width or no height, the surface has no pixels, or the scale is out
    /// of range (then "Zoom out of range" is written on the surface).
    bool Zoom(const RealRect& window);

    /// Reads FileName into the database (on top of it with dxfMergeAdd) and shows its
    /// extents. Returns the pass's result as a Long Boolean; 0 when FileName is empty.
    Long Regen(MergeEnum Merge);
    /// Redraws ViewWindow. Returns True with strError empty, or False with the error.
    bool Refresh(std::string& strError);
    /// Redraws ViewWindow; the pass's result as an Integer Boolean.
    Integer DXFRefresh();
    /// Shows the whole drawing; the pass's result.
    bool ZoomExtents();

    ViewTransform Transform;
    /// The control's FileName property and the working file name Regen copies it to.
    std::string FileName;
    std::string WorkingFileName;
    /// Set once Regen has drawn.
    bool DrawingShown = false;

private:
    bool DrawPass(const RealRect& window);
    /// Steps 1 to 8 of the fitting; false when nothing is to be drawn.
    bool FitWindow(const RealRect& window);
    void ShowZoomOutOfRange();
    /// Cls, pixel scale and AutoRedraw on picPlandra, as every redraw starts.
    void PrepareSurface();
    void RestorePointer() { Surfaces.Screen.SetMousePointer(platform::MousePointer::Default); }

    DrawingDatabase& Database;
    DrawingOptions& Options;
    std::array<RealRect, 4>& PrevZoomStack;
    ViewSurfaces Surfaces;
    /// The surface rectangle (0, 0, SurfaceWidth, SurfaceHeight), only during a pass.
    platform::UniqueGdiObject<platform::HRGN> ViewRegion;
};

} // namespace plandra
