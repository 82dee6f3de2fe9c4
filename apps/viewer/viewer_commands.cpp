// The viewer's commands: the toolbar, the keys, find, redline text, opening and saving
// through file dialogs, and what the window reports and captures for tests.
#include "appearance_dialog.h"
#include "control/database/control_error.h"
#include "platform/ansi_text.h"
#include "print_command.h"
#include "viewer_window.h"

#include <filesystem>
#include <iostream>
#include <sstream>
#include <system_error>

namespace plandra::viewer {

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
        {"Export",
         "Export the view as an EMF or WMF metafile (Ctrl+E)",
         [](ViewerWindow& w) { w.ExportView(); },
         {}},
        {"Print",
         "Print the drawing to a PDF file (Ctrl+P)",
         [](ViewerWindow& w) { w.PrintToPdf(); },
         {}},
        {"Settings",
         "The control's appearance settings (Ctrl+,)",
         [](ViewerWindow& w) { w.ShowAppearance(); },
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

namespace {

// The file the user picks in a file dialog over `parent`; empty when none is picked.
std::string ChooseFile(GtkWindow* parent, GtkFileChooserAction action, const char* title,
                       const char* accept, const char* suggestedName) {
    platform::UniqueWidget dialog(gtk_file_chooser_dialog_new(title, parent, action, "_Cancel",
                                                              GTK_RESPONSE_CANCEL, accept,
                                                              GTK_RESPONSE_ACCEPT, nullptr));
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog.Get());
    if (action == GTK_FILE_CHOOSER_ACTION_SAVE) {
        gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
        gtk_file_chooser_set_current_name(chooser, suggestedName);
    } else {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, "DXF drawings");
        gtk_file_filter_add_pattern(filter, "*.dxf");
        gtk_file_filter_add_pattern(filter, "*.DXF");
        gtk_file_chooser_add_filter(chooser, filter);
    }
    if (gtk_dialog_run(GTK_DIALOG(dialog.Get())) != GTK_RESPONSE_ACCEPT) {
        return {};
    }
    platform::UniqueGString name(gtk_file_chooser_get_filename(chooser));
    return name ? std::string(name.Get()) : std::string();
}

} // namespace

void ViewerWindow::ChooseAndOpen() {
    const std::string chosen = ChooseFile(GTK_WINDOW(Ui.Window), GTK_FILE_CHOOSER_ACTION_OPEN,
                                          "Open a drawing", "_Open", nullptr);
    if (!chosen.empty()) {
        Open(chosen);
    }
}

void ViewerWindow::ShowAppearance() {
    if (Loading ||
        !RunAppearanceDialog(GTK_WINDOW(Ui.Window), Control, *UserSettings, MessageBox)) {
        return;
    }
    SetTool(Control.GetZoomFunction());
    // A new file name on the page is a drawing to show.
    const std::string fileName = Control.GetFileName();
    if (!fileName.empty() && fileName != DrawingName) {
        Open(fileName);
    }
}

std::string ViewerWindow::ChooseOutput(const char* what, const char* title, const char* accept,
                                       const char* suggestedName) {
    if (DrawingName.empty()) {
        ShowError(std::string("There is no drawing to ") + what + ": open one first.");
        return {};
    }
    return ChooseFile(GTK_WINDOW(Ui.Window), GTK_FILE_CHOOSER_ACTION_SAVE, title, accept,
                      suggestedName);
}

void ViewerWindow::SaveWithMarkup() {
    const std::string chosen =
        ChooseOutput("save", "Save a copy with the markup", "_Save", "marked-up.dxf");
    if (!chosen.empty() && Guarded([&] { Control.Save(chosen); })) {
        gtk_label_set_text(GTK_LABEL(Ui.StatusLine), ("Saved " + chosen).c_str());
    }
}

void ViewerWindow::ExportView() {
    std::string chosen = ChooseOutput("export", "Export the view", "_Export", "view.emf");
    if (chosen.empty()) {
        return;
    }
    const auto endsWith = [&](std::string_view extension) {
        return chosen.size() >= extension.size() &&
               platform::EqualsIgnoringCase(
                   std::string_view(chosen).substr(chosen.size() - extension.size()), extension);
    };
    if (!endsWith(".emf") && !endsWith(".wmf")) {
        chosen += ".emf";
    }
    // The control tells of a metafile it could not write only by the missing file.
    std::error_code ignored;
    std::filesystem::remove(chosen, ignored);
    const bool done = Guarded([&] {
        if (endsWith(".wmf")) {
            Control.WritePlaceableMetafile(chosen);
        } else {
            Control.SaveWMF(Variant(chosen));
        }
    });
    if (!done) {
        return;
    }
    if (!std::filesystem::exists(chosen, ignored)) {
        ShowError("The view could not be exported to " + chosen + ".");
        return;
    }
    gtk_label_set_text(GTK_LABEL(Ui.StatusLine), ("Exported " + chosen).c_str());
    if (Options.Report) {
        std::cout << "exported " << chosen << std::endl;
    }
}

void ViewerWindow::PrintToPdf() {
    const std::string chosen =
        ChooseOutput("print", "Print to a PDF file", "_Print", "drawing.pdf");
    if (chosen.empty()) {
        return;
    }
    // The file the control read (a converted copy when the drawing needed one), with
    // the control's reading properties.
    cli::PrintRequest request;
    request.Reading.FileName = ConvertedCopy ? ConvertedCopy->string() : DrawingName;
    request.Reading.CalcExtents = Control.GetCalcExtents();
    request.Reading.ClassicOnly = !Control.GetReadModernEntities();
    request.PdfName = chosen;
    std::ostringstream errors;
    if (cli::RunPrint(request, errors) != 0) {
        ShowError(errors.str());
        return;
    }
    gtk_label_set_text(GTK_LABEL(Ui.StatusLine), ("Printed to " + chosen).c_str());
}

void ViewerWindow::FindText(bool forward) {
    std::string text = gtk_entry_get_text(GTK_ENTRY(Ui.FindEntry));
    if (Loading || text.empty() || DrawingName.empty()) {
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
    platform::UniqueWidget owned(gtk_dialog_new_with_buttons(
        "Redline text", GTK_WINDOW(Ui.Window), GTK_DIALOG_MODAL, "_Cancel", GTK_RESPONSE_CANCEL,
        "_Add", GTK_RESPONSE_ACCEPT, nullptr));
    GtkWidget* dialog = owned.Get();
    GtkWidget* entry = gtk_entry_new();
    gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), entry);
    gtk_widget_show_all(dialog);
    std::string text;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        text = gtk_entry_get_text(GTK_ENTRY(entry));
    }
    owned.Reset();
    if (!text.empty()) {
        Guarded([&] {
            Control.DXFAddText(x, y, text, Control.GetRedlineCurrentLayer(), dxfPixel);
            Control.DXFRefresh();
        });
    }
}

gboolean ViewerWindow::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self) {
    return static_cast<ViewerWindow*>(self)->OnKey(event) ? TRUE : FALSE;
}

bool ViewerWindow::OnKey(GdkEventKey* event) {
    InputStarted = std::chrono::steady_clock::now();
    if (Loading) {
        // Only quitting is taken while a file loads; it waits for the load's end.
        if ((event->state & GDK_CONTROL_MASK) != 0 && event->keyval == GDK_KEY_q) {
            CloseRequested = true;
        }
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
        case GDK_KEY_e:
            ExportView();
            return true;
        case GDK_KEY_p:
            PrintToPdf();
            return true;
        case GDK_KEY_comma:
            ShowAppearance();
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

void ViewerWindow::ReportZoom() {
    // From the input to the end of its redraw.
    const std::chrono::duration<double, std::milli> took =
        std::chrono::steady_clock::now() - InputStarted;
    if (Options.Timings) {
        const DrawingView& view = Control.Viewing();
        const std::chrono::duration<double, std::milli> pass = view.LastPassTook;
        std::cout << "timings redraw: pass " << pass.count() << " ms (CPU "
                  << CpuMilliseconds(view.LastPassCpuTook) << " ms), input to the end "
                  << took.count() << " ms" << std::endl;
    }
    if (!Options.Report) {
        return;
    }
    float left = 0, top = 0, right = 0, bottom = 0;
    Control.GetCurrentZoom(left, top, right, bottom);
    std::cout << "zoom " << left << " " << top << " " << right << " " << bottom << " in "
              << took.count() << " ms" << std::endl;
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

} // namespace plandra::viewer
