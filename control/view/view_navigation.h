// Moving the view over the drawing: window zoom and pan to pixel positions, the
// stationary zoom around the cursor, the zoom history, the scroll bars and the text
// search that centres the view on the text found.
#pragma once

#include "drawing_view.h"
#include "platform/picture_box.h"
#include "platform/screen.h"
#include "text_find.h"
#include "zoom_history.h"

#include <string>

namespace plandra {

/// Each operation builds its new window in ZoomTarget, draws it on picPlandra with the
/// drawing pass and makes it the view window. A zoom or pan to a window that would have
/// a side that is not a finite number, or no width or no height, raises the Overflow
/// error before anything changes (a scroll checks the sides only). Operations
/// that need the pixel scale do nothing before the first drawing pass.
class ViewNavigator {
public:
    ViewNavigator(DrawingView& view, DrawingDatabase& database,
                  std::array<RealRect, 4>& prevZoomStack, platform::PictureBox& picPlandra,
                  platform::Screen& screen);

    /// Shows the drawing under the pixel rectangle (corners in order, both included).
    /// False when nothing was drawn yet.
    bool ZoomToPixels(Integer minX, Integer maxX, Integer minY, Integer maxY);
    /// Moves the view by dx pixels left and dy pixels up, so that the drawing moves the
    /// other way. False when nothing was drawn yet.
    bool Pan(Integer dx, Integer dy);
    /// Zooms by Pct percent (200 halves the window) keeping the drawing point under
    /// (X, Y) where it is. The pass's result; False when nothing was drawn yet. Pct 0 or
    /// below raises "Invalid procedure call or argument".
    bool StationaryZoom(float X, float Y, Integer Pct, platform::PictureBox& target);
    void AddToPrevZoomStack(const RealRect& window);
    /// Shows the previous window of the history; the pass's result.
    Integer ZoomPrevious();
    /// Scroll bar positions 0 (top, left) to 100 (bottom, right) move the view over
    /// the extents relative to the last position. Other values, NaN among them, raise
    /// "Invalid procedure call or argument" and change nothing. Return True.
    Integer VerticalScroll(float DeltaY);
    Integer HorizontalScroll(float DeltaX);
    /// The next text record reading TextToFind (see FindText); with Pan, the view
    /// centred on it. The index found, or 0.
    Long Find(std::string& TextToFind, Integer LayerID, bool Pan);

    RealRect ZoomTarget;
    float LastScrollY = 0;
    float LastScrollX = 0;
    FindMemory Search;

private:
    /// Cls, then the pass on ZoomTarget, then Refresh.
    bool DrawTarget(platform::PictureBox& target);
    /// Whether a drawing pass has set the pixel scale.
    bool Drawn() const { return View.Transform.PixelsPerUnit != 0; }
    void RestorePointer() { Screen.SetMousePointer(platform::MousePointer::Default); }
    /// Shows a scrolled window (refused when a side is not finite) and remembers the
    /// scroll bar's new position.
    Integer ShowScrolled(const RealRect& window, float& lastScroll, float delta);
    template <typename Work> auto Traced(std::string_view procedure, Work&& work);

    DrawingView& View;
    DrawingDatabase& Database;
    ZoomHistory History;
    platform::PictureBox& Surface;
    platform::Screen& Screen;
};

} // namespace plandra
