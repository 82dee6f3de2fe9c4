// The viewer's main window.
#include "viewer_window.h"

#include "control/database/control_error.h"
#include "drawing_loader.h"
#include "platform/ansi_text.h"
#include "platform/headless/text_file_property_bag.h"

#include <cmath>
#include <cstdio>
#include <iostream>

namespace plandra::viewer {
namespace {

constexpr int StatusBarHeight = 20;
constexpr int HandleSize = 7;
constexpr const char* Title = "Plandra viewer";

// Button and shift masks of the control's mouse events: left 1, right 2, middle 4;
// Shift 1, Ctrl 2, Alt 4.
Integer ButtonOf(guint button) {
    switch (button) {
    case 1:
        return 1;
    case 3:
        return 2;
    case 2:
        return 4;
    default:
        return 0;
    }
}

Integer ButtonsHeld(guint state) {
    return static_cast<Integer>(((state & GDK_BUTTON1_MASK) ? 1 : 0) |
                                ((state & GDK_BUTTON3_MASK) ? 2 : 0) |
                                ((state & GDK_BUTTON2_MASK) ? 4 : 0));
}

Integer ShiftOf(guint state) {
    return static_cast<Integer>(((state & GDK_SHIFT_MASK) ? 1 : 0) |
                                ((state & GDK_CONTROL_MASK) ? 2 : 0) |
                                ((state & GDK_MOD1_MASK) ? 4 : 0));
}

bool DragsBand(ZoomFunctionEnum function) {
    return function != dxfDrillDown && function != dxfRedLineSelect;
}

gboolean PaintHandle(GtkWidget* widget, cairo_t* cairo, gpointer) {
    cairo_set_source_rgb(cairo, 0, 0, 0);
    cairo_rectangle(cairo, 0, 0, gtk_widget_get_allocated_width(widget),
                    gtk_widget_get_allocated_height(widget));
    cairo_fill(cairo);
    return TRUE;
}

gboolean PaintSwatch(GtkWidget* widget, cairo_t* cairo, gpointer colour) {
    const auto rgb = static_cast<std::uint32_t>(GPOINTER_TO_UINT(colour));
    cairo_set_source_rgb(cairo, (rgb & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         ((rgb >> 16) & 0xFF) / 255.0);
    cairo_rectangle(cairo, 1, 1, gtk_widget_get_allocated_width(widget) - 2,
                    gtk_widget_get_allocated_height(widget) - 2);
    cairo_fill_preserve(cairo);
    cairo_set_source_rgb(cairo, 0.3, 0.3, 0.3);
    cairo_set_line_width(cairo, 1);
    cairo_stroke(cairo);
    return TRUE;
}

} // namespace

ViewerWidgets::ViewerWidgets(int width, int height) {
    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(Window), Title);
    // The toolbar folds what does not fit, so the window need not be as wide as it.
    gtk_window_set_default_size(GTK_WINDOW(Window), width + 180, -1);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(Window), column);

    Toolbar = gtk_toolbar_new();
    gtk_toolbar_set_style(GTK_TOOLBAR(Toolbar), GTK_TOOLBAR_TEXT);
    gtk_box_pack_start(GTK_BOX(column), Toolbar, FALSE, FALSE, 0);

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_pack_start(GTK_BOX(column), row, TRUE, TRUE, 0);

    GtkWidget* panel = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_container_set_border_width(GTK_CONTAINER(panel), 4);
    gtk_box_pack_start(GTK_BOX(panel), gtk_label_new("Layers"), FALSE, FALSE, 0);
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_widget_set_size_request(scroller, 170, -1);
    LayerList = gtk_list_box_new();
    gtk_list_box_set_selection_mode(GTK_LIST_BOX(LayerList), GTK_SELECTION_NONE);
    gtk_container_add(GTK_CONTAINER(scroller), LayerList);
    gtk_box_pack_start(GTK_BOX(panel), scroller, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(row), panel, FALSE, FALSE, 0);

    Overlay = gtk_overlay_new();
    Drawing = gtk_drawing_area_new();
    gtk_widget_set_size_request(Drawing, width, height);
    gtk_widget_set_can_focus(Drawing, TRUE);
    gtk_widget_add_events(Drawing, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_POINTER_MOTION_MASK | GDK_SCROLL_MASK);
    gtk_container_add(GTK_CONTAINER(Overlay), Drawing);
    // Scroll bars run from 0 to 100 over the drawing's extents, as the control's
    // scroll members take them.
    GtkWidget* grid = gtk_grid_new();
    gtk_widget_set_hexpand(Overlay, TRUE);
    gtk_widget_set_vexpand(Overlay, TRUE);
    gtk_grid_attach(GTK_GRID(grid), Overlay, 0, 0, 1, 1);
    VerticalBar =
        gtk_scrollbar_new(GTK_ORIENTATION_VERTICAL, gtk_adjustment_new(0, 0, 110, 1, 10, 10));
    HorizontalBar =
        gtk_scrollbar_new(GTK_ORIENTATION_HORIZONTAL, gtk_adjustment_new(0, 0, 110, 1, 10, 10));
    gtk_grid_attach(GTK_GRID(grid), VerticalBar, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), HorizontalBar, 0, 1, 1, 1);
    gtk_box_pack_start(GTK_BOX(row), grid, TRUE, TRUE, 0);
    StatusStrip = gtk_drawing_area_new();
    for (GtkWidget*& handle : Handles) {
        handle = gtk_drawing_area_new();
        g_signal_connect(handle, "draw", G_CALLBACK(PaintHandle), nullptr);
    }

    GtkWidget* bottom = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    gtk_container_set_border_width(GTK_CONTAINER(bottom), 2);
    StatusLine = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(StatusLine), 0);
    gtk_box_pack_start(GTK_BOX(bottom), StatusLine, TRUE, TRUE, 0);
    FindEntry = gtk_search_entry_new();
    gtk_entry_set_placeholder_text(GTK_ENTRY(FindEntry), "Find text");
    FindPrevious = gtk_button_new_with_label("Previous");
    FindNext = gtk_button_new_with_label("Next");
    gtk_box_pack_start(GTK_BOX(bottom), FindEntry, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(bottom), FindPrevious, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(bottom), FindNext, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), bottom, FALSE, FALSE, 0);
}

ViewerWidgets::~ViewerWidgets() {
    gtk_widget_destroy(Window);
}

ViewerWindow::ViewerWindow(ViewerOptions options)
    : Options(std::move(options)), Ui(Options.Width, Options.Height),
      picPlandra(Gdi, Ui.Drawing, Options.Width, Options.Height),
      picStatusBar(Gdi, Ui.StatusStrip, Options.Width, StatusBarHeight),
      picPlandraWindow(Options.Width, Options.Height),
      picStatusBarWindow(GTK_OVERLAY(Ui.Overlay), Ui.StatusStrip, Options.Width, StatusBarHeight,
                         false),
      picHandle([this] {
          std::vector<std::unique_ptr<platform::GtkChildWindow>> handles;
          for (GtkWidget* handle : Ui.Handles) {
              handles.push_back(std::make_unique<platform::GtkChildWindow>(
                  GTK_OVERLAY(Ui.Overlay), handle, HandleSize, HandleSize, false));
          }
          return handles;
      }()),
      Control(DXFSurfaces{Screen,
                          Metafiles,
                          picPlandra,
                          picPlandraWindow,
                          picStatusBar,
                          picStatusBarWindow,
                          {picHandle[0].get(), picHandle[1].get(), picHandle[2].get(),
                           picHandle[3].get()},
                          &Metafiles},
              DXFHost{Container, this, Dialogs, MessageBox, Registry, Shell}) {
    // A stored control comes back with its properties; a new one takes the defaults,
    // and so does one whose file is not a property bag or holds a value of the wrong
    // kind.
    std::optional<platform::TextFilePropertyBag> bag;
    if (!Options.SettingsFile.empty() && std::filesystem::exists(Options.SettingsFile)) {
        bag = platform::TextFilePropertyBag::Load(Options.SettingsFile);
        if (!bag) {
            std::cerr << "plandra-viewer: " << Options.SettingsFile.string()
                      << " is not a property bag; starting with the defaults\n";
        }
    }
    bool restored = false;
    if (bag) {
        try {
            Control.ReadProperties(*bag);
            restored = true;
        } catch (const ControlError& error) {
            std::cerr << "plandra-viewer: " << Options.SettingsFile.string() << ": "
                      << error.Description << "; starting with the defaults\n";
        }
    }
    if (!restored) {
        Control.InitProperties();
        Control.SetBackColor(0xFFFFFF);
    }
    StoredTmpFileNamePath = Control.GetTmpFileNamePath();
    Control.SetTmpFileNamePath(ScratchFolder.Name());
    Control.Resize(Options.Width, Options.Height);
    // The status strip lies over the drawing surface only while the reader shows its
    // progress.
    picStatusBar.SetVisible(false);
    picStatusBar.SetPaintOnRefresh(true);
    BuildToolbar();

    g_signal_connect(Ui.Drawing, "button-press-event", G_CALLBACK(OnButton), this);
    g_signal_connect(Ui.Drawing, "button-release-event", G_CALLBACK(OnButton), this);
    g_signal_connect(Ui.Drawing, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(Ui.Drawing, "scroll-event", G_CALLBACK(OnScroll), this);
    g_signal_connect(Ui.Drawing, "size-allocate", G_CALLBACK(OnSizeAllocate), this);
    g_signal_connect(Ui.Window, "key-press-event", G_CALLBACK(OnKeyPress), this);
    g_signal_connect(Ui.VerticalBar, "value-changed", G_CALLBACK(OnScrollBar), this);
    g_signal_connect(Ui.HorizontalBar, "value-changed", G_CALLBACK(OnScrollBar), this);
    gtk_drag_dest_set(Ui.Drawing, GTK_DEST_DEFAULT_ALL, nullptr, 0, GDK_ACTION_COPY);
    gtk_drag_dest_add_uri_targets(Ui.Drawing);
    g_signal_connect(Ui.Drawing, "drag-data-received", G_CALLBACK(OnDrop), this);
    g_signal_connect(Ui.Window, "delete-event", G_CALLBACK(OnDelete), this);
    g_signal_connect(Ui.Window, "map-event", G_CALLBACK(OnMapped), this);

    gtk_widget_show_all(Ui.Window);
    gtk_widget_hide(Ui.StatusStrip);
    for (GtkWidget* handle : Ui.Handles) {
        gtk_widget_hide(handle);
    }
    SetTool(Control.GetZoomFunction());
    gtk_label_set_text(GTK_LABEL(Ui.StatusLine), "Open a drawing (Ctrl+O)");
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::ShowError(const std::string& text) {
    MessageBox.MessageBoxA(text, "Plandra", platform::mb::IconStop);
}

void ViewerWindow::Open(const std::string& fileName) {
    if (Loading) {
        return;
    }
    std::string readName = fileName;
    std::optional<std::filesystem::path> converted;
    if (cli::HasBareLineFeeds(fileName)) {
        const std::string question =
            fileName + " ends its lines with bare line feeds, which the reader does not take.\n"
                       "Read a copy with carriage return and line feed line ends?";
        if (MessageBox.MessageBoxA(question, "Plandra",
                                   platform::mb::YesNo | platform::mb::IconQuestion) !=
            platform::id::Yes) {
            return;
        }
        converted = std::filesystem::path(ScratchFolder.Name()) /
                    ("converted-" + std::to_string(++Conversions) + ".dxf");
        std::string error;
        if (!Control.FixUNIXFile(error, fileName, converted->string())) {
            ShowError(error);
            return;
        }
        readName = converted->string();
    }
    Loading = true;
    gtk_widget_set_sensitive(Ui.Toolbar, FALSE);
    gtk_widget_set_sensitive(Ui.LayerList, FALSE);
    gtk_label_set_text(GTK_LABEL(Ui.StatusLine), ("Reading " + fileName + "...").c_str());
    Matches.clear();
    LastSearch.clear();
    OpenStarted = std::chrono::steady_clock::now();
    const std::clock_t cpuStarted = std::clock();
    const bool read = Guarded([&] {
        Control.SetFileName(readName);
        Control.Regen(dxfMergeNew);
    });
    RegenTook = std::chrono::steady_clock::now() - OpenStarted;
    // The read ends where the pass that shows it begins.
    const auto passStarted = Control.Viewing().LastPassStarted;
    const bool passed = passStarted > OpenStarted;
    ReadTook = passed ? passStarted - OpenStarted : RegenTook;
    ReadCpuTook = (passed ? Control.Viewing().LastPassCpuStarted : std::clock()) - cpuStarted;
    Loading = false;
    if (CloseRequested) {
        // The window was closed while the file loaded.
        DrawingName = read ? fileName : std::string();
        SaveSettings();
        gtk_main_quit();
        return;
    }
    if (ConvertedCopy && ConvertedCopy != converted) {
        std::error_code ignored;
        std::filesystem::remove(*ConvertedCopy, ignored);
    }
    ConvertedCopy = converted;
    DrawingName = read ? fileName : std::string();
    if (!read) {
        // What a failed read left behind is not a drawing to work on, and the reader
        // stopped before it took its progress bar away.
        picStatusBar.SetVisible(false);
        picStatusBar.Cls();
        Control.Clear();
        Guarded([&] { Control.SetFileName(""); });
    }
    const std::string title =
        read ? std::filesystem::path(fileName).filename().string() + " - " + Title
             : std::string(Title);
    gtk_window_set_title(GTK_WINDOW(Ui.Window), platform::AnsiToUtf8(title).c_str());
    gtk_label_set_text(GTK_LABEL(Ui.StatusLine),
                       platform::AnsiToUtf8(read ? fileName : "No drawing").c_str());
    // A new drawing brings its own layers: the redline tool in use needs its layer back.
    const ZoomFunctionEnum tool = Control.GetZoomFunction();
    if (read && (AddsRedline(tool) || tool == dxfRedLineText)) {
        EnsureRedlineLayer();
    }
    // The window may have changed size while the file loaded.
    AfterResize();
    if ((Options.Report || Options.Timings) && read) {
        // The time to the first picture ends with the frame that shows it.
        GdkFrameClock* clock = gtk_widget_get_frame_clock(Ui.Window);
        g_signal_connect(clock, "after-paint", G_CALLBACK(OnFirstPicture), this);
    }
    gtk_widget_queue_draw(Ui.Drawing);
    // The picture goes on the screen first: making the layer switches and bringing the
    // tools back costs GTK a layout of the whole window, as long as a redraw on a large
    // drawing. Idle callbacks of default priority run after the frame is painted.
    ReportAfterLayers = Options.Report && read;
    if (!LayersPending) {
        LayersPending = true;
        g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, FinishOpen, this, nullptr);
    }
}

gboolean ViewerWindow::FinishOpen(gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    window.LayersPending = false;
    if (window.Loading) {
        // Another open has begun; it ends with its own.
        return G_SOURCE_REMOVE;
    }
    window.RebuildLayers();
    gtk_widget_set_sensitive(window.Ui.Toolbar, TRUE);
    gtk_widget_set_sensitive(window.Ui.LayerList, TRUE);
    if (std::exchange(window.ReportAfterLayers, false)) {
        // Reported once the window has laid the switches out.
        g_idle_add_full(
            G_PRIORITY_LOW,
            +[](gpointer self) -> gboolean {
                static_cast<ViewerWindow*>(self)->ReportGeometry();
                return G_SOURCE_REMOVE;
            },
            self, nullptr);
    }
    return G_SOURCE_REMOVE;
}

void ViewerWindow::OpenWhenShown(std::string fileName) {
    PendingFile = std::move(fileName);
    if (gtk_widget_get_mapped(Ui.Window)) {
        g_idle_add(OpenPending, this);
    }
}

gboolean ViewerWindow::OpenPending(gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    if (!window.PendingFile.empty()) {
        window.Open(std::exchange(window.PendingFile, std::string()));
    }
    return G_SOURCE_REMOVE;
}

gboolean ViewerWindow::OnMapped(GtkWidget*, GdkEvent*, gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    // The size asked for was the size at start, not the smallest: the window may
    // shrink from now on.
    gtk_widget_set_size_request(window.Ui.Drawing, 100, 100);
    g_idle_add(OpenPending, self);
    return FALSE;
}

void ViewerWindow::RebuildLayers() {
    platform::UniqueGList rows(gtk_container_get_children(GTK_CONTAINER(Ui.LayerList)));
    for (GList* row = rows.Get(); row != nullptr; row = row->next) {
        gtk_widget_destroy(GTK_WIDGET(row->data));
    }
    LayerSwitches.clear();
    std::shared_ptr<DXFLayers> layers = Control.Layers();
    for (Long index = 1; index <= layers->Count(); ++index) {
        const DXFLayer& layer = *layers->Item(index);
        GtkWidget* line = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
        GtkWidget* swatch = gtk_drawing_area_new();
        gtk_widget_set_size_request(swatch, 14, 14);
        gtk_widget_set_valign(swatch, GTK_ALIGN_CENTER);
        g_signal_connect(swatch, "draw", G_CALLBACK(PaintSwatch),
                         GUINT_TO_POINTER(static_cast<std::uint32_t>(layer.LayerColor)));
        std::string label = layer.LayerName;
        if (layer.GetRedlineLayer()) {
            label += " (redline)";
        }
        GtkWidget* check = gtk_check_button_new_with_label(platform::AnsiToUtf8(label).c_str());
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), layer.LayerOn != IntegerFalse);
        g_object_set_data(G_OBJECT(check), "layer", GINT_TO_POINTER(index));
        g_signal_connect(check, "toggled", G_CALLBACK(+[](GtkToggleButton* b, gpointer s) {
                             static_cast<ViewerWindow*>(s)->SetLayerOn(
                                 GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "layer")),
                                 gtk_toggle_button_get_active(b));
                         }),
                         this);
        gtk_box_pack_start(GTK_BOX(line), swatch, FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(line), check, TRUE, TRUE, 0);
        gtk_list_box_insert(GTK_LIST_BOX(Ui.LayerList), line, -1);
        LayerSwitches.push_back(check);
    }
    gtk_widget_show_all(Ui.LayerList);
}

void ViewerWindow::SetLayerOn(int index, bool on) {
    Guarded([&] {
        Control.Layers()->Item(index)->LayerOn = on ? IntegerTrue : IntegerFalse;
        if (Control.DrawingShown()) {
            Control.DXFRefresh();
        }
    });
    if (Options.Report) {
        std::cout << "layer " << index << (on ? " on" : " off") << std::endl;
    }
}

void ViewerWindow::MouseDown(Integer& Button, Integer&, float& X, float& Y) {
    const ZoomFunctionEnum function = Control.GetZoomFunction();
    Guarded([&] {
        if (function == dxfDrillDown) {
            Control.OnTheSpotZoom(X, Y, Button);
            ReportZoom();
        } else if (Button == 1) {
            Control.ZoomInitiate(X, Y);
        }
    });
}

void ViewerWindow::MouseMove(Integer& Button, Integer&, float& X, float& Y) {
    if (Button == 1 && DragsBand(Control.GetZoomFunction())) {
        Guarded([&] { Control.ZoomFeedback(X, Y); });
    }
    if (Control.DrawingShown()) {
        char place[96];
        std::snprintf(place, sizeof place, "X %.4g  Y %.4g", Control.IntToRealX(X),
                      Control.IntToRealY(Y));
        gtk_label_set_text(GTK_LABEL(Ui.StatusLine), place);
    }
}

void ViewerWindow::MouseUp(Integer& Button, Integer&, float& X, float& Y) {
    const ZoomFunctionEnum function = Control.GetZoomFunction();
    if (Button != 1 || !DragsBand(function)) {
        return;
    }
    Guarded([&] {
        Control.ZoomEnd();
        if (AddsRedline(function)) {
            Control.DXFRefresh();
        }
    });
    if (function == dxfRedLineText) {
        PlaceRedlineText(X, Y);
    }
    ReportZoom();
}

gboolean ViewerWindow::OnButton(GtkWidget*, GdkEventButton* event, gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    if (window.Loading || (event->type != GDK_BUTTON_PRESS && event->type != GDK_BUTTON_RELEASE)) {
        return TRUE;
    }
    window.InputStarted = std::chrono::steady_clock::now();
    const Integer button = ButtonOf(event->button);
    const Integer shift = ShiftOf(event->state);
    const auto x = static_cast<float>(event->x);
    const auto y = static_cast<float>(event->y);
    if (event->type == GDK_BUTTON_PRESS) {
        // Keys go to the tools again once the drawing is clicked.
        gtk_widget_grab_focus(window.Ui.Drawing);
        window.Control.picPlandra_MouseDown(button, shift, x, y);
    } else {
        window.Control.picPlandra_MouseUp(button, shift, x, y);
    }
    return TRUE;
}

gboolean ViewerWindow::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    if (!window.Loading) {
        window.Control.picPlandra_MouseMove(ButtonsHeld(event->state), ShiftOf(event->state),
                                            static_cast<float>(event->x),
                                            static_cast<float>(event->y));
    }
    return TRUE;
}

// The wheel zooms about the cursor as a drill-down click does: away from the user in,
// towards the user out.
gboolean ViewerWindow::OnScroll(GtkWidget*, GdkEventScroll* event, gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    if (window.Loading || !window.Control.DrawingShown() ||
        (event->direction != GDK_SCROLL_UP && event->direction != GDK_SCROLL_DOWN)) {
        return TRUE;
    }
    window.InputStarted = std::chrono::steady_clock::now();
    const Integer button = event->direction == GDK_SCROLL_UP ? 1 : 2;
    window.Guarded([&] {
        window.Control.OnTheSpotZoom(static_cast<float>(event->x), static_cast<float>(event->y),
                                     button);
    });
    window.ReportZoom();
    return TRUE;
}

void ViewerWindow::OnSizeAllocate(GtkWidget*, GdkRectangle* place, gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    if (place->width == window.picPlandra.PixelWidth() &&
        place->height == window.picPlandra.PixelHeight()) {
        return;
    }
    // The control is laid out again once GTK has finished placing the widgets.
    g_idle_add(
        +[](gpointer self) -> gboolean {
            static_cast<ViewerWindow*>(self)->AfterResize();
            return G_SOURCE_REMOVE;
        },
        &window);
}

void ViewerWindow::OnFirstPicture(GdkFrameClock* clock, gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    g_signal_handlers_disconnect_by_func(clock, reinterpret_cast<gpointer>(OnFirstPicture), self);
    using Milliseconds = std::chrono::duration<double, std::milli>;
    const auto shown = std::chrono::steady_clock::now() - window.OpenStarted;
    if (window.Options.Report) {
        std::cout << "opened regen " << Milliseconds(window.RegenTook).count()
                  << " ms, first picture " << Milliseconds(shown).count() << " ms" << std::endl;
    }
    if (window.Options.Timings) {
        const DrawingView& view = window.Control.Viewing();
        std::cout << "timings open: read " << Milliseconds(window.ReadTook).count() << " ms (CPU "
                  << CpuMilliseconds(window.ReadCpuTook) << " ms), first pass "
                  << Milliseconds(view.LastPassTook).count() << " ms (CPU "
                  << CpuMilliseconds(view.LastPassCpuTook) << " ms), first picture "
                  << Milliseconds(shown).count() << " ms ("
                  << Milliseconds(shown - window.ReadTook - view.LastPassTook).count()
                  << " ms after the read and the pass)" << std::endl;
    }
}

void ViewerWindow::OnScrollBar(GtkRange* bar, gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    if (window.Loading || !window.Control.DrawingShown()) {
        return;
    }
    const auto value = static_cast<float>(gtk_range_get_value(bar));
    window.Guarded([&] {
        if (GTK_WIDGET(bar) == window.Ui.VerticalBar) {
            window.Control.VerticalScroll(value);
        } else {
            window.Control.HorizontalScroll(value);
        }
    });
}

void ViewerWindow::OnDrop(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data, guint,
                          guint, gpointer self) {
    gchar** uris = gtk_selection_data_get_uris(data);
    if (uris == nullptr) {
        return;
    }
    platform::UniqueGString name(uris[0] != nullptr ? g_filename_from_uri(uris[0], nullptr, nullptr)
                                                    : nullptr);
    g_strfreev(uris);
    if (name) {
        // Read once the drop has finished, not inside it.
        static_cast<ViewerWindow*>(self)->OpenWhenShown(name.Get());
    }
}

void ViewerWindow::AfterResize() {
    const int width = gtk_widget_get_allocated_width(Ui.Drawing);
    const int height = gtk_widget_get_allocated_height(Ui.Drawing);
    if (Loading || (width == picPlandra.PixelWidth() && height == picPlandra.PixelHeight())) {
        return;
    }
    picPlandra.Resize(width, height);
    picStatusBar.Resize(width, StatusBarHeight);
    Control.Resize(width, height);
    if (Control.DrawingShown()) {
        Guarded([&] { Control.DXFRefresh(); });
    }
}

void ViewerWindow::SaveSettings() {
    if (Options.SettingsFile.empty()) {
        return;
    }
    // The drawing is remembered by the name the user gave, not by a converted copy.
    if (!DrawingName.empty()) {
        Control.SetFileName(DrawingName);
    }
    platform::TextFilePropertyBag bag;
    Control.WriteProperties(bag);
    // The scratch folder is this run's own; the stored value stays as it was.
    bag.WriteProperty("TmpFileNamePath", StoredTmpFileNamePath, std::string("C:\\TEMP"));
    std::error_code ignored;
    std::filesystem::create_directories(Options.SettingsFile.parent_path(), ignored);
    if (!bag.Save(Options.SettingsFile)) {
        std::cerr << "plandra-viewer: cannot write " << Options.SettingsFile.string() << "\n";
    }
}

gboolean ViewerWindow::OnDelete(GtkWidget*, GdkEvent*, gpointer self) {
    auto& window = *static_cast<ViewerWindow*>(self);
    if (window.Loading) {
        window.CloseRequested = true;
        return TRUE;
    }
    window.SaveSettings();
    // The window itself goes with the viewer, after the control and its surfaces.
    gtk_main_quit();
    return TRUE;
}

} // namespace plandra::viewer
