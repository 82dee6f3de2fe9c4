// The DXF control as its host sees it: properties, methods, events, stored settings,
// the layout of its child windows and the selection handles.
#pragma once

#include "automation_variant.h"
#include "control/database/control_error.h"
#include "control/database/drawing_database.h"
#include "control/database/drawing_options.h"
#include "control/view/drawing_view.h"
#include "control/view/rubber_band.h"
#include "control/view/view_navigation.h"
#include "control_site.h"
#include "dxf_enums.h"
#include "platform/child_window.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/gdi.h"
#include "platform/message_box.h"
#include "platform/metafiles.h"
#include "platform/picture_box.h"
#include "platform/printer.h"
#include "platform/property_bag.h"
#include "platform/registry.h"
#include "platform/screen.h"
#include "platform/shell.h"

#include <array>
#include <memory>
#include <string>

namespace plandra {

/// An OLE colour: a COLORREF, or a system colour index with the high bit set.
using OleColor = std::uint32_t;

/// The system window-background colour (COLOR_WINDOW as an OLE colour).
inline constexpr OleColor SystemWindowBackground = 0x80000005u;

/// The COLORREF of an OLE colour; system colours take the classic Windows scheme.
platform::ColorRef OleTranslateColor(OleColor color);

/// The run-time error raised when a design-time-only rule is broken.
inline constexpr std::int32_t SetNotSupportedAtRuntime = 382;

/// The child windows and services the control is built on; all outlive the control.
struct DXFSurfaces {
    platform::Screen& Screen;
    platform::GdiService& Gdi;
    /// The drawing surface; its hDC must belong to Gdi.
    platform::PictureBox& picPlandra;
    platform::ChildWindow& picPlandraWindow;
    /// The strip on which the reader draws its progress bar.
    platform::PictureBox& picStatusBar;
    platform::ChildWindow& picStatusBarWindow;
    /// The four selection handles (corner markers).
    std::array<platform::ChildWindow*, 4> picHandle;
    /// Metafile device contexts drawn on through Gdi; null: no metafile export.
    platform::MetafileService* Metafiles = nullptr;
    /// The printer Plot prints on; null: Plot prints nothing.
    platform::Printer* Printer = nullptr;
    /// Where SaveWMF without a file name puts its metafile; null: nowhere.
    platform::ClipboardService* Clipboard = nullptr;
};

/// The host-side services: container, event sink and what the about box needs.
struct DXFHost {
    ControlContainer& Container;
    /// May be null: events are then not raised.
    DXFEvents* Events = nullptr;
    platform::DialogService& Dialogs;
    platform::MessageBoxService& MessageBox;
    platform::RegistryService& Registry;
    platform::ShellService& Shell;
    /// The machine the reader's block scratch files and Save's drawing go to; null: the
    /// host's own files.
    platform::FileService* Files = nullptr;
};

/// The last ZoomFunction set on any instance, which the rubber-band drawing reads.
ZoomFunctionEnum LastZoomFunction();

/// The control. It owns its drawing database, view state and layer collection.
/// Property getters and setters let errors through as they are; methods follow the
/// error trail or, with a strError argument, report in it.
class DXF {
public:
    /// UserControl_Initialize: lays out picPlandra along the top.
    DXF(DXFSurfaces surfaces, DXFHost host);
    DXF(const DXF&) = delete;
    DXF& operator=(const DXF&) = delete;

    // The container's side of the lifecycle.

    /// A newly placed control takes the values of a new instance.
    void InitProperties();
    /// A stored control: each key straight into its field, without setter side effects.
    void ReadProperties(platform::PropertyBag& bag);
    /// Writes every key with its default; the bag leaves out values equal to it.
    void WriteProperties(platform::PropertyBag& bag) const;
    /// UserControl_Resize, given the control's inner size in pixels.
    void Resize(int innerWidth, int innerHeight);

    // picPlandra's mouse handlers: raise MouseDown, MouseMove and MouseUp.

    void picPlandra_MouseDown(Integer Button, Integer Shift, float X, float Y);
    void picPlandra_MouseMove(Integer Button, Integer Shift, float X, float Y);
    void picPlandra_MouseUp(Integer Button, Integer Shift, float X, float Y);

    // Properties.

    bool GetEnabled() const { return Enabled; }
    void SetEnabled(bool value);
    bool GetPrintAllBlack() const { return Options.PrintAllBlack; }
    void SetPrintAllBlack(bool value);
    const std::string& GetFileName() const { return FileName; }
    /// Also fills the working file name; nothing is read until Regen.
    void SetFileName(std::string value);
    const std::string& GetTmpFileNamePath() const { return Options.TmpFileNamePath; }
    /// Appends "\" unless the value already ends in one.
    void SetTmpFileNamePath(std::string value);
    float GetOnTheSpotZoomPctLeft() const { return OnTheSpotZoomPctLeft; }
    /// Refuses (380 "Invalid property value") a percentage that is not a whole 1 to
    /// 32767 once rounded: 0 and below cannot zoom.
    void SetOnTheSpotZoomPctLeft(float value);
    float GetOnTheSpotZoomPctRight() const { return OnTheSpotZoomPctRight; }
    void SetOnTheSpotZoomPctRight(float value);
    float GetMonoFontScalar() const { return Options.Fonts.MonoFontScalar; }
    void SetMonoFontScalar(float value);
    const std::string& GetMonoFontName() const { return Options.Fonts.MonoFontName; }
    void SetMonoFontName(std::string value);
    const std::string& GetPropFontName() const { return Options.Fonts.PropFontName; }
    void SetPropFontName(std::string value);
    float GetPropFontScalar() const { return Options.Fonts.PropFontScalar; }
    void SetPropFontScalar(float value);
    ZoomFunctionEnum GetZoomFunction() const { return ZoomFunction; }
    /// Also sets the process-wide copy (LastZoomFunction).
    void SetZoomFunction(ZoomFunctionEnum value);
    DispAttribsEnum GetDisplayAttributes() const { return DisplayAttributes; }
    /// Redraws at the current view at once when a drawing is shown.
    void SetDisplayAttributes(DispAttribsEnum value);
    float GetRedlineTextHeight() const { return Options.RedlineTextHeight; }
    void SetRedlineTextHeight(float value);
    OleColor GetBackColor() const { return BackColor; }
    /// Sets picPlandra's back colour (which clears it).
    void SetBackColor(OleColor value);
    const Variant& GetRedlineEntitySelected() const { return RedlineEntitySelected; }
    /// Raises 382 at design time, after storing the value.
    void SetRedlineEntitySelected(Variant value);
    EntityTypesEnum GetRedlineEntityType() const { return RedlineEntityType; }
    /// Raises 382 at design time, after storing the value.
    void SetRedlineEntityType(EntityTypesEnum value);
    const std::string& GetRedlineCurrentLayer() const { return RedlineCurrentLayer; }
    void SetRedlineCurrentLayer(std::string value);
    bool GetCalcExtents() const { return Options.CalcExtents; }
    void SetCalcExtents(bool value);
    bool GetReadModernEntities() const { return Options.ReadModernEntities; }
    void SetReadModernEntities(bool value);
    /// Returns colLayers, creating it if it does not exist.
    std::shared_ptr<DXFLayers> Layers();

    // Methods whose work exists.

    /// Copies the current view window (drawing units) and returns True.
    bool GetCurrentZoom(float& Left, float& top, float& right, float& bottom) const;
    float IntToRealX(const Variant& XPixel) const;
    float IntToRealY(const Variant& YPixel) const;
    Long CvtX(float X) const;
    Long CvtY(float Y) const;
    bool ZoomExtents();
    bool Refresh(std::string& strError);
    /// Reads FileName into the database (on top of it with dxfMergeAdd) and shows its
    /// extents. Returns the pass's result as a Long Boolean; 0 when FileName is empty.
    Long Regen(MergeEnum Merge);
    Integer DXFRefresh();
    bool FixUNIXFile(std::string& strError, std::string InFileName, std::string OutFileName);
    /// Redraws with `window` (drawing units) as the view window; the pass's result.
    bool ShowWindow(const RealRect& window);

    // Zoom and pan: the host calls these from its mouse handlers with picPlandra
    // pixels. Errors reach the host with the procedure's name in the trail.

    /// Mouse down: starts the band of the current ZoomFunction; with dxfRedLineSelect
    /// selects the redline entity under the cursor instead (False when a text under it
    /// could not be measured).
    bool ZoomInitiate(float X, float Y);
    /// Mouse move: redraws the band (in the process-wide band style) while one is
    /// active; nothing otherwise. Returns Empty.
    Variant ZoomFeedback(float X, float Y);
    /// Mouse up: window zoom or pan for dxfWindow and dxfPan; for the redline line,
    /// circle and rectangle the band is taken off and the entities are added on
    /// RedlineCurrentLayer, not yet drawn. A release without a press does nothing and
    /// gives False.
    bool ZoomEnd();
    /// Drill-down zoom: StationaryZoom with OnTheSpotZoomPctRight for the right button
    /// (2) and OnTheSpotZoomPctLeft for any other.
    Integer OnTheSpotZoom(float X, float Y, Integer Button = 0);
    bool StationaryZoom(float X, float Y, Integer Pct, platform::PictureBox& target);
    void AddToPrevZoomStack(const RealRect& window);
    Integer ZoomPrevious();
    Integer VerticalScroll(float DeltaY);
    Integer HorizontalScroll(float DeltaX);
    /// TextToFind receives its upper-cased form.
    Long Find(std::string& TextToFind, Integer LayerID, bool Pan = true);

    /// The band, the zoom target, the scroll and search memories.
    const RubberBand& Band() const { return ZoomBand; }
    const ViewNavigator& Navigation() const { return Navigator; }
    const std::array<RealRect, 4>& ZoomHistoryEntries() const { return PrevZoomStack; }
    /// Shows the about box modally.
    void About();
    /// Clears picPlandra; the database and the drawing-shown flag stay.
    void Clear();

    // Redline markup. The creation methods take drawing units (DXFAddText pixels too)
    // and return the new entity's index in its kind's array; they do not redraw. A bad
    // value raises its error through the trail after the surface is cleared, and the
    // database stays as it was.

    Long DXFAddLine(float X1, float Y1, float X2, float Y2, const std::string& LayerName);
    Long DXFAddSolid(float X1, float Y1, float X2, float Y2, float X3, float Y3, float X4, float Y4,
                     const std::string& LayerName);
    /// (RadiusX, RadiusY) is a point on the circle.
    Long DXFAddCircle(float CenterX, float CenterY, float RadiusX, float RadiusY,
                      const std::string& LayerName);
    /// TextHeight (drawing units; RedlineTextHeight when Empty), HorzAlignment (dxfLeft
    /// when Empty) and Rotation (degrees; 0 when Empty) are optional. A coordinate
    /// system other than dxfPixel and dxfRealWorld raises "Invalid procedure call or
    /// argument".
    Long DXFAddText(float X1, float Y1, const std::string& Text, const std::string& LayerName,
                    CoordSystem CoordinateSystem, const Variant& TextHeight = {},
                    const Variant& HorzAlignment = {}, const Variant& Rotation = {});
    /// Marks the selected redline entity deleted, hides the handles and redraws.
    bool RedlineDeleteEntity(std::string& strError);
    /// Clears the deleted mark of every line, circle and text, hides the handles and
    /// redraws.
    bool RedlineUnDeleteEntity(std::string& strError);

    /// Writes the working file with the new layers and the live redline lines, circles
    /// and texts spliced in to NewFileName (which may be the working file itself) and
    /// returns True. A failure leaves any existing NewFileName untouched and raises its
    /// error through the trail after the surface is cleared.
    bool Save(const std::string& NewFileName);

    /// Prints the whole drawing (dxfExtents) or the current view (dxfCurrentView) on
    /// the printer, with a margin of 5% of the window on every side, scaled to the
    /// printable area; then redraws the screen. True; errors follow the trail.
    bool Plot(Integer PlotSize);
    /// Records the current view as an enhanced metafile, sized as picPlandra with its
    /// frame in hundredths of a millimetre, into the file `filename` names; without a
    /// name (Empty or "") onto the clipboard as an enhanced metafile (nothing is left
    /// when the clipboard cannot be had). The screen is redrawn afterwards. Always 0;
    /// errors follow the trail.
    Integer SaveWMF(const Variant& filename = {});
    /// The same export by the older route: the frame from picPlandra's scale, and a
    /// message box "WMF not created" when the metafile cannot be made. Always 0.
    Integer SaveWMFOld(const Variant& filename = {});
    /// The placeable metafile writer: the current view as a standard Windows metafile
    /// behind the 22-byte placeable header (picPlandra's size in pixels, its pixels per
    /// inch, the XOR checksum) in the file `fileName`. False when no metafile could be
    /// made; a file that cannot be written raises its error through the trail.
    bool WritePlaceableMetafile(const std::string& fileName);

    /// Places the four handles on the corners of the rectangle (picPlandra pixels)
    /// and shows them.
    bool HandleMove(std::string& strError, Long left, Long top, Long right, Long bottom);
    /// Hides the handles and resets the selection to none.
    bool HandleHide(std::string& strError);

    /// Set once Regen has drawn; consulted by DisplayAttributes.
    bool DrawingShown() const { return View.DrawingShown; }
    const std::string& WorkingFileName() const { return WorkingFile; }
    /// The database, view and options, for the parts of the control built on them.
    const DrawingDatabase& Drawing() const { return Database; }
    const DrawingOptions& Settings() const { return Options; }
    const DrawingView& Viewing() const { return View; }

private:
    void Notify(std::string_view key) { Host.Container.PropertyChanged(key); }
    /// Ends the drag: band off, persistent drawing on again, band inactive.
    void EndBand();
    /// The mouse-down of dxfRedLineSelect: hides the handles, then selects the redline
    /// entity under the cursor and places the handles around it.
    bool SelectRedlineEntity(float X, float Y);
    /// The release of a redline drag: the line, circle or rectangle from the anchor to
    /// the current point, on RedlineCurrentLayer.
    void AddDraggedRedline();
    /// Marks (or restores) through `mark`, hides the handles and redraws; the message
    /// form of `procedure` on failure.
    template <typename Mark>
    bool ChangeRedlineMarks(std::string& strError, std::string_view procedure, Mark&& mark);
    /// Runs a creation method: the error trail of `procedure`, with the default pointer
    /// and a cleared surface on failure.
    template <typename Work> Long AddRedline(std::string_view procedure, Work&& work);
    /// Creates the enhanced metafile for the SaveWMF members, draws ViewWindow into it
    /// and closes it; without a file name hands it to the clipboard. False when it could
    /// not be created.
    bool ExportEnhancedMetafile(const std::string& fileName, const platform::Rect& frame);
    void RaiseMouse(void (DXFEvents::*event)(Integer&, Integer&, float&, float&), Integer Button,
                    Integer Shift, float X, float Y);

    DXFSurfaces Surfaces;
    DXFHost Host;
    DrawingDatabase Database;
    DrawingOptions Options;
    std::array<RealRect, 4> PrevZoomStack{};
    DrawingView View;
    ViewNavigator Navigator;
    RubberBand ZoomBand;

    /// The FileName property and the working file name Regen copies it to.
    std::string FileName;
    std::string WorkingFile;
    bool Enabled = false;
    float OnTheSpotZoomPctLeft = 200;
    float OnTheSpotZoomPctRight = 50;
    ZoomFunctionEnum ZoomFunction = dxfDrillDown;
    DispAttribsEnum DisplayAttributes = dxfAttribsOff;
    OleColor BackColor;
    Variant RedlineEntitySelected = Integer{0};
    EntityTypesEnum RedlineEntityType = dxfRedLineNone;
    std::string RedlineCurrentLayer;

public:
    /// Public fields: the layer collection (assignable by reference) and the
    /// load-finished flag, both held by the database.
    std::shared_ptr<DXFLayers>& colLayers = Database.colLayers;
    bool& DXFComplete = Database.DXFComplete;
};

} // namespace plandra
