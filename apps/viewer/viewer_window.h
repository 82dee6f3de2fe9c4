// The viewer's main window: a DXF control hosted in a GTK window the way a form hosts
// the control, with a toolbar, a layers panel, find and redline tools.
#pragma once

#include "control/database/control_error.h"
#include "control/interface/dxf_control.h"
#include "platform/headless/headless_child_window.h"
#include "platform/headless/headless_registry.h"
#include "platform/headless/headless_shell.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/metafile/metafile_gdi.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/gtk_surfaces.h"
#include "platform/user_settings.h"
#include "private_temp_folder.h"

#include <array>
#include <chrono>
#include <ctime>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plandra::viewer {

/// Processor time in milliseconds, for the timings the viewer prints.
inline double CpuMilliseconds(std::clock_t cpu) {
    return static_cast<double>(cpu) * 1000.0 / CLOCKS_PER_SEC;
}

/// The layer the redline tools draw on, made when a tool first needs it, in red.
inline constexpr const char* RedlineLayerName = "REDLINE";
inline constexpr Long RedlineRed = 0x0000FF;

/// The redline tools whose drag adds entities, which a redraw then shows.
inline bool AddsRedline(ZoomFunctionEnum function) {
    return function == dxfRedLineLine || function == dxfRedLineCircle ||
           function == dxfRedLineRectangle;
}

struct ViewerOptions {
    /// The drawing to open at start; empty: the one the stored properties name, if any.
    std::string FileName;
    /// The drawing surface's size at start, in pixels.
    int Width = 800;
    int Height = 560;
    /// With a prefix, F12 writes PREFIX-drawing.png (the drawing surface as the screen
    /// shows it) and PREFIX-window.png (the whole window).
    std::string CapturePrefix;
    /// Prints what a test driving the window needs on standard output: where the
    /// drawing surface and the layer switches are, and each zoom and layer change.
    bool Report = false;
    /// Prints how long each open and redraw took on standard output: the read, the
    /// drawing pass and the time to the first picture on the screen.
    bool Timings = false;
    /// The property bag file; empty: none is read or written.
    std::filesystem::path SettingsFile;
};

/// The widgets of the window, made before the services that draw into them.
struct ViewerWidgets {
    ViewerWidgets(int width, int height);
    ~ViewerWidgets();
    ViewerWidgets(const ViewerWidgets&) = delete;
    ViewerWidgets& operator=(const ViewerWidgets&) = delete;

    GtkWidget* Window;
    GtkWidget* Toolbar;
    GtkWidget* LayerList;
    GtkWidget* Overlay;
    GtkWidget* Drawing;
    GtkWidget* VerticalBar;
    GtkWidget* HorizontalBar;
    GtkWidget* StatusStrip;
    std::array<GtkWidget*, 4> Handles;
    GtkWidget* FindEntry;
    GtkWidget* FindPrevious;
    GtkWidget* FindNext;
    GtkWidget* StatusLine;
};

class ViewerWindow final : public DXFEvents {
public:
    explicit ViewerWindow(ViewerOptions options);
    ~ViewerWindow() override;
    ViewerWindow(const ViewerWindow&) = delete;
    ViewerWindow& operator=(const ViewerWindow&) = delete;

    /// Reads `fileName` into the control and shows it; a failure is shown in a dialog
    /// and leaves the window usable.
    void Open(const std::string& fileName);
    /// Opens `fileName` once the window is on the screen.
    void OpenWhenShown(std::string fileName);
    /// The drawing the stored properties name.
    const std::string& StoredFileName() const { return Control.GetFileName(); }

    void MouseDown(Integer& Button, Integer& Shift, float& X, float& Y) override;
    void MouseMove(Integer& Button, Integer& Shift, float& X, float& Y) override;
    void MouseUp(Integer& Button, Integer& Shift, float& X, float& Y) override;

private:
    void BuildToolbar();
    /// Runs a call into the control; its error is shown with the control's message.
    template <typename Call> bool Guarded(Call&& call) {
        try {
            call();
            return true;
        } catch (const ControlError& error) {
            ShowError(error.Description);
        } catch (const std::exception& error) {
            ShowError(error.what());
        }
        return false;
    }
    void ShowError(const std::string& text);
    void ChooseAndOpen();
    /// The file to write `what` (the save, export or print) to, from a save dialog;
    /// empty when there is no drawing (said in a dialog) or the user cancelled.
    std::string ChooseOutput(const char* what, const char* title, const char* accept,
                             const char* suggestedName);
    void SaveWithMarkup();
    /// The current view as the control exports it: an enhanced metafile through SaveWMF,
    /// or, for a name ending in ".wmf", a placeable Windows metafile.
    void ExportView();
    /// The drawing's extents on a PDF page, as plandra print prints them.
    void PrintToPdf();
    /// The Appearance page for the control; a new file name on it is opened.
    void ShowAppearance();
    void SetTool(ZoomFunctionEnum function);
    /// Makes the redline layer the markup goes on, once.
    void EnsureRedlineLayer();
    void RebuildLayers();
    void SetLayerOn(int index, bool on);
    void FindText(bool forward);
    void PlaceRedlineText(float x, float y);
    void Capture();
    void ReportGeometry();
    void ReportZoom();
    void AfterResize();
    void SaveSettings();
    bool OnKey(GdkEventKey* event);

    static gboolean OnButton(GtkWidget*, GdkEventButton* event, gpointer self);
    static gboolean OnMotion(GtkWidget*, GdkEventMotion* event, gpointer self);
    static gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer self);
    static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
    static void OnSizeAllocate(GtkWidget*, GdkRectangle* place, gpointer self);
    static void OnFirstPicture(GdkFrameClock* clock, gpointer self);
    static void OnScrollBar(GtkRange* bar, gpointer self);
    static void OnDrop(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data, guint,
                       guint, gpointer self);
    static gboolean OpenPending(gpointer self);
    /// What an open leaves until its first picture is on the screen: the layer
    /// switches, the tools made usable again, the report of where things are.
    static gboolean FinishOpen(gpointer self);
    static gboolean OnMapped(GtkWidget*, GdkEvent*, gpointer self);
    static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);

    ViewerOptions Options;
    ViewerWidgets Ui;
    platform::CairoGdi Gdi;
    /// What the control draws through: the screen's cairo, with metafile device contexts
    /// for the export.
    platform::metafile::MetafileGdi Metafiles{Gdi};
    platform::GtkScreen Screen{Ui.Window};
    platform::GtkMessageBox MessageBox{GTK_WINDOW(Ui.Window)};
    platform::GtkPictureBox picPlandra;
    platform::GtkPictureBox picStatusBar;
    platform::HeadlessChildWindow picPlandraWindow;
    platform::GtkChildWindow picStatusBarWindow;
    std::vector<std::unique_ptr<platform::GtkChildWindow>> picHandle;
    RunTimeContainer Container;
    platform::ScriptedDialogs Dialogs;
    platform::HeadlessRegistry Registry;
    platform::HeadlessShell Shell;
    /// Where the Appearance page remembers the folder of the last drawing chosen.
    std::unique_ptr<platform::UserSettingsService> UserSettings = platform::CurrentUserSettings();
    cli::PrivateTempFolder ScratchFolder;
    DXF Control;

    /// The drawing as the user named it, and the converted copy read in its place.
    std::string DrawingName;
    std::optional<std::filesystem::path> ConvertedCopy;
    int Conversions = 0;
    std::string PendingFile;
    std::string StoredTmpFileNamePath;
    /// When the last open began, how long its Regen took and, within it, the read.
    std::chrono::steady_clock::time_point OpenStarted;
    std::chrono::steady_clock::duration RegenTook{};
    std::chrono::steady_clock::duration ReadTook{};
    std::clock_t ReadCpuTook = 0;
    /// When the mouse or key event being handled arrived.
    std::chrono::steady_clock::time_point InputStarted;
    bool Loading = false;
    bool LayersPending = false;
    bool ReportAfterLayers = false;
    bool CloseRequested = false;
    std::vector<GtkWidget*> ToolButtons;
    std::vector<GtkWidget*> LayerSwitches;
    /// The texts found by the current search, in the control's order, and where the
    /// view is among them.
    std::string LastSearch;
    std::vector<Long> Matches;
    std::size_t MatchAt = 0;
};

} // namespace plandra::viewer
