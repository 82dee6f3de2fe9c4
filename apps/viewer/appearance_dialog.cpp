// The Appearance property page as a GTK dialog: the page's controls as GTK widgets, the
// page's logic from the control's own ppAppearance.
#include "appearance_dialog.h"

#include "control/interface/pp_appearance.h"
#include "platform/page_controls.h"
#include "platform/unique_handle.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

namespace plandra::viewer {
namespace {

constexpr int ApplyResponse = 1;

/// The signal of each control that runs its page handler, in the order Attach lists them.
constexpr std::pair<const char*, void (ppAppearance::*)()> PageHandlers[] = {
    {"changed", &ppAppearance::txtOnTheSpotZoomPct_Change},
    {"changed", &ppAppearance::txtOnTheSpotRight_Change},
    {"changed", &ppAppearance::txtFileName_Change},
    {"changed", &ppAppearance::cmbZoom_Click},
    {"toggled", &ppAppearance::chkAttributeDisplay_Click},
    {"clicked", &ppAppearance::cmdBrowse_Click}};

/// Destroys a top-level dialog.
struct GtkDialogTraits {
    using Handle = GtkWidget*;
    static constexpr Handle Null = nullptr;
    void Release(Handle dialog) { gtk_widget_destroy(dialog); }
};
using UniqueDialog = platform::UniqueHandle<GtkDialogTraits>;

class GtkPageControls final : public platform::PageControls {
public:
    explicit GtkPageControls(GtkWindow* parent);
    /// Connects the widgets' signals to the page's handlers.
    void Attach(ppAppearance& page);
    int Run() { return gtk_dialog_run(GTK_DIALOG(Dialog.Get())); }

    std::string Text(std::string_view control) const override {
        return gtk_entry_get_text(GTK_ENTRY(Entry(control)));
    }
    void SetText(std::string_view control, std::string_view text) override {
        gtk_entry_set_text(GTK_ENTRY(Entry(control)), std::string(text).c_str());
    }
    void AddItem(std::string_view, std::string_view item, std::int32_t itemData) override {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(Zoom), std::string(item).c_str());
        ItemDataList.push_back(itemData);
    }
    int ListIndex(std::string_view) const override {
        return gtk_combo_box_get_active(GTK_COMBO_BOX(Zoom));
    }
    void SetListIndex(std::string_view, int index) override {
        gtk_combo_box_set_active(GTK_COMBO_BOX(Zoom), index);
    }
    std::int32_t ItemData(std::string_view, int index) const override {
        return ItemDataList.at(static_cast<std::size_t>(index));
    }
    bool Checked(std::string_view) const override {
        return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(Attributes));
    }
    void SetChecked(std::string_view, bool checked) override {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Attributes), checked);
    }
    std::string ShowOpen(const platform::OpenFileRequest& request) override;
    void SetChanged(bool changed) override {
        gtk_dialog_set_response_sensitive(GTK_DIALOG(Dialog.Get()), ApplyResponse, changed);
    }

private:
    GtkWidget* Entry(std::string_view control) const { return Entries.at(std::string(control)); }
    /// A labelled entry in the next row of `grid`.
    GtkWidget* AddEntry(GtkWidget* grid, int row, const char* label, const char* name);

    UniqueDialog Dialog;
    std::map<std::string, GtkWidget*> Entries;
    GtkWidget* Zoom;
    GtkWidget* Attributes;
    GtkWidget* Browse;
    std::vector<std::int32_t> ItemDataList;
};

GtkPageControls::GtkPageControls(GtkWindow* parent) {
    Dialog.Reset(gtk_dialog_new_with_buttons(
        std::string(ppAppearance::Caption).c_str(), parent,
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), "OK",
        GTK_RESPONSE_OK, "Cancel", GTK_RESPONSE_CANCEL, "Apply", ApplyResponse, nullptr));
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(Dialog.Get()));
    gtk_container_set_border_width(GTK_CONTAINER(content), 10);
    gtk_box_set_spacing(GTK_BOX(content), 8);

    GtkWidget* frame = gtk_frame_new("On the Spot Zoom Percents");
    GtkWidget* percents = gtk_grid_new();
    gtk_container_set_border_width(GTK_CONTAINER(percents), 8);
    gtk_grid_set_row_spacing(GTK_GRID(percents), 6);
    gtk_grid_set_column_spacing(GTK_GRID(percents), 8);
    AddEntry(percents, 0, "Left Mouse Button", "txtOnTheSpotZoomPct");
    AddEntry(percents, 1, "Right Mouse Button", "txtOnTheSpotRight");
    gtk_container_add(GTK_CONTAINER(frame), percents);
    gtk_box_pack_start(GTK_BOX(content), frame, FALSE, FALSE, 0);

    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
    Zoom = gtk_combo_box_text_new();
    gtk_grid_attach(GTK_GRID(grid), gtk_label_new("Zoom Function:"), 0, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), Zoom, 1, 0, 1, 1);
    Attributes = gtk_check_button_new_with_label("Display Attributes");
    gtk_grid_attach(GTK_GRID(grid), Attributes, 1, 1, 1, 1);
    GtkWidget* fileName = AddEntry(grid, 2, "File Name:", "txtFileName");
    gtk_entry_set_width_chars(GTK_ENTRY(fileName), 40);
    Browse = gtk_button_new_with_label("Browse...");
    gtk_grid_attach(GTK_GRID(grid), Browse, 2, 2, 1, 1);
    gtk_box_pack_start(GTK_BOX(content), grid, FALSE, FALSE, 0);
    gtk_widget_show_all(content);
}

GtkWidget* GtkPageControls::AddEntry(GtkWidget* grid, int row, const char* label,
                                     const char* name) {
    GtkWidget* caption = gtk_label_new(label);
    gtk_widget_set_halign(caption, GTK_ALIGN_START);
    GtkWidget* entry = gtk_entry_new();
    gtk_widget_set_hexpand(entry, TRUE);
    gtk_grid_attach(GTK_GRID(grid), caption, 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), entry, 1, row, 1, 1);
    Entries[name] = entry;
    return entry;
}

void GtkPageControls::Attach(ppAppearance& page) {
    GtkWidget* const widgets[] = {Entry("txtOnTheSpotZoomPct"),
                                  Entry("txtOnTheSpotRight"),
                                  Entry("txtFileName"),
                                  Zoom,
                                  Attributes,
                                  Browse};
    static_assert(std::size(widgets) == std::size(PageHandlers));
    for (std::size_t i = 0; i < std::size(widgets); ++i) {
        // The handler's number travels as the widget's data, the page as the signal's.
        g_object_set_data(G_OBJECT(widgets[i]), "page-handler", GINT_TO_POINTER(i));
        g_signal_connect(
            widgets[i], PageHandlers[i].first, G_CALLBACK(+[](GtkWidget* widget, gpointer p) {
                const int handler =
                    GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "page-handler"));
                (static_cast<ppAppearance*>(p)->*PageHandlers[handler].second)();
            }),
            &page);
    }
}

std::string GtkPageControls::ShowOpen(const platform::OpenFileRequest& request) {
    const UniqueDialog owner(gtk_file_chooser_dialog_new(
        "Open", GTK_WINDOW(Dialog.Get()), GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr));
    GtkWidget* chooser = owner.Get();
    // The filter is "Description|pattern" pairs; patterns match either case, as
    // Windows' file names do.
    const std::string& filter = request.Filter;
    for (std::size_t at = 0; at < filter.size();) {
        const std::size_t bar = filter.find('|', at);
        if (bar == std::string::npos) {
            break;
        }
        const std::size_t end = std::min(filter.find('|', bar + 1), filter.size());
        GtkFileFilter* fileFilter = gtk_file_filter_new();
        gtk_file_filter_set_name(fileFilter, filter.substr(at, bar - at).c_str());
        std::string pattern = filter.substr(bar + 1, end - bar - 1);
        gtk_file_filter_add_pattern(fileFilter, pattern.c_str());
        for (char& c : pattern) {
            c = static_cast<char>(g_ascii_toupper(c));
        }
        gtk_file_filter_add_pattern(fileFilter, pattern.c_str());
        gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), fileFilter);
        at = end + 1;
    }
    std::error_code error;
    if (std::filesystem::is_directory(request.InitDir, error)) {
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), request.InitDir.c_str());
    }
    std::string chosen;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser))) {
            chosen = name;
            g_free(name);
        }
    }
    // A name typed without an extension names the drawing with the default one.
    if (!chosen.empty() && !std::filesystem::path(chosen).has_extension() &&
        !std::filesystem::exists(chosen, error)) {
        chosen += request.DefaultExt;
    }
    return chosen;
}

} // namespace

bool RunAppearanceDialog(GtkWindow* parent, DXF& control, platform::UserSettingsService& settings,
                         platform::MessageBoxService& messageBox) {
    GtkPageControls controls(parent);
    ppAppearance page(controls, settings, messageBox);
    page.Initialize();
    page.SelectionChanged({&control});
    controls.Attach(page);
    bool applied = false;
    for (;;) {
        const int response = controls.Run();
        if (response != ApplyResponse && response != GTK_RESPONSE_OK) {
            return applied;
        }
        if (page.Changed()) {
            if (!page.ApplyChanges()) {
                continue;
            }
            applied = true;
        }
        if (response == GTK_RESPONSE_OK) {
            return applied;
        }
    }
}

} // namespace plandra::viewer
