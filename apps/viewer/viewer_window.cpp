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
constexpr const char* RedlineLayerName = "REDLINE";
constexpr Long RedlineRed = 0x0000FF;
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

bool AddsRedline(ZoomFunctionEnum function) {
    return function == dxfRedLineLine || function == dxfRedLineCircle ||
           function == dxfRedLineRectangle;
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
    gtk_box_pack_start(GTK_BOX(row), Overlay, TRUE, TRUE, 0);
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
                          Gdi,
                          picPlandra,
                          picPlandraWindow,
                          picStatusBar,
                          picStatusBarWindow,
                          {picHandle[0].get(), picHandle[1].get(), picHandle[2].get(),
                           picHandle[3].get()}},
              DXFHost{Container, this, Dialogs, MessageBox, Registry, Shell}) {
    // A stored control comes back with its properties; a new one takes the defaults.
    std::optional<platform::TextFilePropertyBag> bag;
    if (!Options.SettingsFile.empty() && std::filesystem::exists(Options.SettingsFile)) {
        bag = platform::TextFilePropertyBag::Load(Options.SettingsFile);
    }
    if (bag) {
        Control.ReadProperties(*bag);
    } else {
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
    g_signal_connect(Ui.Window, "delete-event", G_CALLBACK(OnDelete), this);

    gtk_widget_show_all(Ui.Window);
    gtk_widget_hide(Ui.StatusStrip);
    for (GtkWidget* handle : Ui.Handles) {
        gtk_widget_hide(handle);
    }
    SetTool(Control.GetZoomFunction());
    gtk_label_set_text(GTK_LABEL(Ui.StatusLine), "Open a drawing (Ctrl+O)");
}

ViewerWindow::~ViewerWindow() = default;

template <typename Call> bool ViewerWindow::Guarded(Call&& call) {
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

void ViewerWindow::ShowError(const std::string& text) {
    MessageBox.MessageBoxA(text, "Plandra", 0x10);
}

void ViewerWindow::BuildToolbar() {
    struct Button {
        const char* Label;
        const char* Tip;
        void (*Act)(ViewerWindow&);
        std::optional<ZoomFunctionEnum> Tool;
    };
    static const Button Buttons[] = {
        {"Open", "Open a drawing (Ctrl+O)", [](ViewerWindow& w) { w.ChooseAndOpen(); }, {}},
        {"Save",
         "Save a copy with the markup (Ctrl+S)",
         [](ViewerWindow& w) { w.SaveWithMarkup(); },
         {}},
        {nullptr, nullptr, nullptr, {}},
        {"Window", "Zoom to a dragged window (W)", nullptr, dxfWindow},
        {"Drill", "Drill down: left click zooms in, right click out (D)", nullptr, dxfDrillDown},
        {"Pan", "Pan by dragging (P)", nullptr, dxfPan},
        {"Previous",
         "Previous view (Backspace)",
         [](ViewerWindow& w) { w.Guarded([&] { w.Control.ZoomPrevious(); }); },
         {}},
        {"Extents",
         "Zoom to the extents (E)",
         [](ViewerWindow& w) { w.Guarded([&] { w.Control.ZoomExtents(); }); },
         {}},
        {nullptr, nullptr, nullptr, {}},
        {"Line", "Redline line (L)", nullptr, dxfRedLineLine},
        {"Rect", "Redline rectangle (R)", nullptr, dxfRedLineRectangle},
        {"Circle", "Redline circle (C)", nullptr, dxfRedLineCircle},
        {"Text", "Redline text (T)", nullptr, dxfRedLineText},
        {"Select", "Select a redline entity (S)", nullptr, dxfRedLineSelect},
        {"Delete",
         "Delete the selected redline entity (Delete)",
         [](ViewerWindow& w) {
             std::string error;
             if (!w.Control.RedlineDeleteEntity(error)) {
                 w.ShowError(error);
             }
         },
         {}},
        {"Restore",
         "Restore the deleted redline entities",
         [](ViewerWindow& w) {
             std::string error;
             if (!w.Control.RedlineUnDeleteEntity(error)) {
                 w.ShowError(error);
             }
         },
         {}},
        {nullptr, nullptr, nullptr, {}},
    };
    GtkToolbar* toolbar = GTK_TOOLBAR(Ui.Toolbar);
    GSList* group = nullptr;
    for (const Button& button : Buttons) {
        GtkToolItem* item;
        if (button.Label == nullptr) {
            item = gtk_separator_tool_item_new();
        } else if (button.Tool) {
            item = gtk_radio_tool_button_new(group);
            group = gtk_radio_tool_button_get_group(GTK_RADIO_TOOL_BUTTON(item));
            gtk_tool_button_set_label(GTK_TOOL_BUTTON(item), button.Label);
            g_object_set_data(G_OBJECT(item), "tool", GINT_TO_POINTER(*button.Tool));
            g_signal_connect(
                item, "toggled", G_CALLBACK(+[](GtkToggleToolButton* b, gpointer s) {
                    if (gtk_toggle_tool_button_get_active(b)) {
                        static_cast<ViewerWindow*>(s)->SetTool(static_cast<ZoomFunctionEnum>(
                            GPOINTER_TO_INT(g_object_get_data(G_OBJECT(b), "tool"))));
                    }
                }),
                this);
            ToolButtons.push_back(GTK_WIDGET(item));
        } else {
            item = gtk_tool_button_new(nullptr, button.Label);
            g_object_set_data(G_OBJECT(item), "act", reinterpret_cast<gpointer>(button.Act));
            g_signal_connect(item, "clicked", G_CALLBACK(+[](GtkToolButton* b, gpointer s) {
                                 auto act = reinterpret_cast<void (*)(ViewerWindow&)>(
                                     g_object_get_data(G_OBJECT(b), "act"));
                                 act(*static_cast<ViewerWindow*>(s));
                             }),
                             this);
        }
        if (button.Tip != nullptr) {
            gtk_widget_set_tooltip_text(GTK_WIDGET(item), button.Tip);
        }
        gtk_toolbar_insert(toolbar, item, -1);
    }
    gtk_widget_set_tooltip_text(Ui.FindEntry, "Find a text: Enter or F3 finds the next, "
                                              "Shift+F3 the previous");
    g_signal_connect(Ui.FindEntry, "activate", G_CALLBACK(+[](GtkEntry*, gpointer s) {
                         static_cast<ViewerWindow*>(s)->FindText(true);
                     }),
                     this);
    g_signal_connect(Ui.FindNext, "clicked", G_CALLBACK(+[](GtkButton*, gpointer s) {
                         static_cast<ViewerWindow*>(s)->FindText(true);
                     }),
                     this);
    g_signal_connect(Ui.FindPrevious, "clicked", G_CALLBACK(+[](GtkButton*, gpointer s) {
                         static_cast<ViewerWindow*>(s)->FindText(false);
                     }),
                     this);
}

void ViewerWindow::SetTool(ZoomFunctionEnum function) {
    if (AddsRedline(function) || function == dxfRedLineText) {
        EnsureRedlineLayer();
    }
    Guarded([&] { Control.SetZoomFunction(function); });
    for (GtkWidget* button : ToolButtons) {
        if (GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "tool")) == function &&
            !gtk_toggle_tool_button_get_active(GTK_TOGGLE_TOOL_BUTTON(button))) {
            gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(button), TRUE);
        }
    }
}

void ViewerWindow::EnsureRedlineLayer() {
    std::shared_ptr<DXFLayers> layers = Control.Layers();
    std::string error;
    bool exists = false;
    layers->CheckDuplicateLayer(error, exists, RedlineLayerName);
    if (!exists) {
        layers->Add(IntegerTrue, RedlineRed, RedlineLayerName, IntegerTrue, true);
        RebuildLayers();
    }
    Control.SetRedlineCurrentLayer(RedlineLayerName);
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
        if (MessageBox.MessageBoxA(question, "Plandra", platform::mb::YesNo | 0x20) !=
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
    const bool read = Guarded([&] {
        Control.SetFileName(readName);
        Control.Regen(dxfMergeNew);
    });
    Loading = false;
    gtk_widget_set_sensitive(Ui.Toolbar, TRUE);
    gtk_widget_set_sensitive(Ui.LayerList, TRUE);
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
    RebuildLayers();
    if (Options.Report && read) {
        // Reported once the window has shown the drawing.
        g_idle_add_full(
            G_PRIORITY_LOW,
            +[](gpointer self) -> gboolean {
                static_cast<ViewerWindow*>(self)->ReportGeometry();
                return G_SOURCE_REMOVE;
            },
            this, nullptr);
    }
}

void ViewerWindow::OpenWhenShown(std::string fileName) {
    PendingFile = std::move(fileName);
    if (gtk_widget_get_mapped(Ui.Window)) {
        g_idle_add(
            +[](gpointer self) -> gboolean {
                auto& window = *static_cast<ViewerWindow*>(self);
                window.Open(std::exchange(window.PendingFile, std::string()));
                return G_SOURCE_REMOVE;
            },
            this);
        return;
    }
    g_signal_connect(Ui.Window, "map-event", G_CALLBACK(OnMapped), this);
}

gboolean ViewerWindow::OnMapped(GtkWidget* widget, GdkEvent*, gpointer self) {
    g_signal_handlers_disconnect_by_func(widget, reinterpret_cast<gpointer>(OnMapped), self);
    g_idle_add(
        +[](gpointer self) -> gboolean {
            auto& window = *static_cast<ViewerWindow*>(self);
            window.Open(std::exchange(window.PendingFile, std::string()));
            return G_SOURCE_REMOVE;
        },
        self);
    return FALSE;
}

void ViewerWindow::ChooseAndOpen() {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        "Open a drawing", GTK_WINDOW(Ui.Window), GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, "DXF drawings");
    gtk_file_filter_add_pattern(filter, "*.dxf");
    gtk_file_filter_add_pattern(filter, "*.DXF");
    gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(dialog), filter);
    std::string chosen;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        platform::UniqueGString name(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)));
        if (name) {
            chosen = name.Get();
        }
    }
    gtk_widget_destroy(dialog);
    if (!chosen.empty()) {
        Open(chosen);
    }
}

void ViewerWindow::SaveWithMarkup() {
    if (DrawingName.empty()) {
        ShowError("There is no drawing to save: open one first.");
        return;
    }
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        "Save a copy with the markup", GTK_WINDOW(Ui.Window), GTK_FILE_CHOOSER_ACTION_SAVE,
        "_Cancel", GTK_RESPONSE_CANCEL, "_Save", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(dialog), TRUE);
    gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(dialog), "marked-up.dxf");
    std::string chosen;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        platform::UniqueGString name(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)));
        if (name) {
            chosen = name.Get();
        }
    }
    gtk_widget_destroy(dialog);
    if (!chosen.empty() && Guarded([&] { Control.Save(chosen); })) {
        gtk_label_set_text(GTK_LABEL(Ui.StatusLine), ("Saved " + chosen).c_str());
    }
}

void ViewerWindow::RebuildLayers() {
    GList* rows = gtk_container_get_children(GTK_CONTAINER(Ui.LayerList));
    for (GList* row = rows; row != nullptr; row = row->next) {
        gtk_widget_destroy(GTK_WIDGET(row->data));
    }
    g_list_free(rows);
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

void ViewerWindow::FindText(bool forward) {
    std::string text = gtk_entry_get_text(GTK_ENTRY(Ui.FindEntry));
    if (text.empty() || DrawingName.empty()) {
        return;
    }
    Guarded([&] {
        // The control finds forward only and remembers where it stopped: the matches
        // are counted once per search text, and going back walks the control round
        // to the one before.
        std::string wanted = text;
        if (wanted != LastSearch || Matches.empty()) {
            LastSearch = wanted;
            Matches.clear();
            const Long texts = Control.Drawing().TextCount;
            for (Long round = 0; round <= texts; ++round) {
                std::string probe = wanted;
                const Long found = Control.Find(probe, 0, false);
                if (found == 0 && !Matches.empty()) {
                    break;
                }
                if (found != 0) {
                    if (!Matches.empty() && found == Matches.front()) {
                        break;
                    }
                    Matches.push_back(found);
                }
            }
            // Round to the start, so that the next call finds the first match.
            while (!Matches.empty()) {
                std::string probe = wanted;
                if (Control.Find(probe, 0, false) == Matches.back()) {
                    break;
                }
            }
            MatchAt = Matches.size() - 1;
        }
        if (Matches.empty()) {
            gtk_label_set_text(GTK_LABEL(Ui.StatusLine), ("\"" + text + "\" not found").c_str());
            return;
        }
        const std::size_t count = Matches.size();
        const std::size_t target = forward ? (MatchAt + 1) % count : (MatchAt + count - 1) % count;
        // Walk without panning to the match before the target, then find with panning.
        const Long before = Matches[(target + count - 1) % count];
        for (std::size_t round = 0; round < 2 * count + 2; ++round) {
            std::string probe = wanted;
            if (Control.Find(probe, 0, false) == before) {
                break;
            }
        }
        Long found = 0;
        for (int round = 0; round < 2 && found == 0; ++round) {
            std::string probe = wanted;
            found = Control.Find(probe, 0, true);
        }
        MatchAt = target;
        gtk_label_set_text(
            GTK_LABEL(Ui.StatusLine),
            ("\"" + text + "\": " + std::to_string(target + 1) + " of " + std::to_string(count))
                .c_str());
    });
}

void ViewerWindow::PlaceRedlineText(float x, float y) {
    GtkWidget* dialog = gtk_dialog_new_with_buttons(
        "Redline text", GTK_WINDOW(Ui.Window), GTK_DIALOG_MODAL, "_Cancel", GTK_RESPONSE_CANCEL,
        "_Add", GTK_RESPONSE_ACCEPT, nullptr);
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), entry);
    gtk_widget_show_all(dialog);
    std::string text;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        text = gtk_entry_get_text(GTK_ENTRY(entry));
    }
    gtk_widget_destroy(dialog);
    if (!text.empty()) {
        Guarded([&] {
            Control.DXFAddText(x, y, text, Control.GetRedlineCurrentLayer(), dxfPixel);
            Control.DXFRefresh();
        });
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
    const Integer button = event->direction == GDK_SCROLL_UP ? 1 : 2;
    window.Guarded([&] {
        window.Control.OnTheSpotZoom(static_cast<float>(event->x), static_cast<float>(event->y),
                                     button);
    });
    window.ReportZoom();
    return TRUE;
}

gboolean ViewerWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
    return static_cast<ViewerWindow*>(self)->OnKey(event) ? TRUE : FALSE;
}

bool ViewerWindow::OnKey(GdkEventKey* event) {
    if (Loading) {
        return true;
    }
    const bool control = (event->state & GDK_CONTROL_MASK) != 0;
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    switch (event->keyval) {
    case GDK_KEY_F3:
        FindText(!shift);
        return true;
    case GDK_KEY_F12:
        if (!Options.CapturePrefix.empty()) {
            Capture();
            return true;
        }
        return false;
    default:
        break;
    }
    if (control) {
        switch (event->keyval) {
        case GDK_KEY_o:
            ChooseAndOpen();
            return true;
        case GDK_KEY_s:
            SaveWithMarkup();
            return true;
        case GDK_KEY_q:
            gtk_window_close(GTK_WINDOW(Ui.Window));
            return true;
        case GDK_KEY_f:
            gtk_widget_grab_focus(Ui.FindEntry);
            return true;
        default:
            return false;
        }
    }
    // Plain keys belong to the find box while it has the focus.
    if (GTK_IS_EDITABLE(gtk_window_get_focus(GTK_WINDOW(Ui.Window)))) {
        return false;
    }
    switch (event->keyval) {
    case GDK_KEY_w:
        SetTool(dxfWindow);
        return true;
    case GDK_KEY_d:
        SetTool(dxfDrillDown);
        return true;
    case GDK_KEY_p:
        SetTool(dxfPan);
        return true;
    case GDK_KEY_l:
        SetTool(dxfRedLineLine);
        return true;
    case GDK_KEY_r:
        SetTool(dxfRedLineRectangle);
        return true;
    case GDK_KEY_c:
        SetTool(dxfRedLineCircle);
        return true;
    case GDK_KEY_t:
        SetTool(dxfRedLineText);
        return true;
    case GDK_KEY_s:
        SetTool(dxfRedLineSelect);
        return true;
    case GDK_KEY_e:
        Guarded([&] { Control.ZoomExtents(); });
        ReportZoom();
        return true;
    case GDK_KEY_BackSpace:
        Guarded([&] { Control.ZoomPrevious(); });
        ReportZoom();
        return true;
    case GDK_KEY_Delete: {
        std::string error;
        if (!Control.RedlineDeleteEntity(error)) {
            ShowError(error);
        }
        return true;
    }
    default:
        return false;
    }
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

void ViewerWindow::ReportZoom() {
    if (!Options.Report) {
        return;
    }
    float left = 0, top = 0, right = 0, bottom = 0;
    Control.GetCurrentZoom(left, top, right, bottom);
    std::cout << "zoom " << left << " " << top << " " << right << " " << bottom << std::endl;
}

void ViewerWindow::ReportGeometry() {
    GdkWindow* root = gtk_widget_get_window(Ui.Window);
    int originX = 0, originY = 0;
    gdk_window_get_origin(root, &originX, &originY);
    auto place = [&](GtkWidget* widget, int& x, int& y) {
        gtk_widget_translate_coordinates(widget, Ui.Window, 0, 0, &x, &y);
        x += originX;
        y += originY;
    };
    int x = 0, y = 0;
    place(Ui.Drawing, x, y);
    std::cout << "drawing " << x << " " << y << " " << picPlandra.PixelWidth() << " "
              << picPlandra.PixelHeight() << "\n";
    for (std::size_t i = 0; i < LayerSwitches.size(); ++i) {
        GtkWidget* check = LayerSwitches[i];
        place(check, x, y);
        // The centre of the switch's box, at the start of the button.
        const int boxY = y + gtk_widget_get_allocated_height(check) / 2;
        std::cout << "layer " << (i + 1) << " " << x + 8 << " " << boxY << " "
                  << Control.Layers()->Item(static_cast<Long>(i + 1))->LayerName << "\n";
    }
    std::cout << "ready" << std::endl;
}

void ViewerWindow::Capture() {
    // The capture waits for the frame that shows the last change.
    gtk_widget_queue_draw(Ui.Window);
    g_timeout_add(
        300,
        +[](gpointer self) -> gboolean {
            auto& window = *static_cast<ViewerWindow*>(self);
            const std::string& prefix = window.Options.CapturePrefix;
            const bool drawing =
                platform::CaptureWidgetPng(window.Ui.Drawing, prefix + "-drawing.png");
            const bool whole = platform::CaptureWidgetPng(window.Ui.Window, prefix + "-window.png");
            std::cout << (drawing && whole ? "captured" : "capture failed") << std::endl;
            return G_SOURCE_REMOVE;
        },
        this);
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
        return TRUE;
    }
    window.SaveSettings();
    // The window itself goes with the viewer, after the control and its surfaces.
    gtk_main_quit();
    return TRUE;
}

} // namespace plandra::viewer
