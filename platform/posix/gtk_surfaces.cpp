// The control's child windows on a GTK desktop.
#include "platform/posix/gtk_surfaces.h"

#include "platform/ansi_text.h"
#include "platform/png_image.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace platform {

GtkPictureBox::GtkPictureBox(CairoGdi& gdi, GtkWidget* area, int width, int height)
    : Gdi(gdi), Area(area), ImageWidth(std::max(width, 1)), ImageHeight(std::max(height, 1)),
      Image(std::make_unique<OffscreenPictureBox>(gdi, ImageWidth, ImageHeight)) {
    DrawHandler = g_signal_connect(Area, "draw", G_CALLBACK(OnDraw), this);
}

GtkPictureBox::~GtkPictureBox() {
    g_signal_handler_disconnect(Area, DrawHandler);
}

void GtkPictureBox::Resize(int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (width == ImageWidth && height == ImageHeight) {
        return;
    }
    auto image = std::make_unique<OffscreenPictureBox>(Gdi, width, height);
    image->SetVisible(Image->Visible());
    image->SetAutoRedraw(Image->AutoRedraw());
    image->SetScaleMode(Image->ScaleMode());
    image->SetDrawMode(Image->DrawMode());
    image->SetFontSize(Image->FontSize());
    image->SetBackColor(Image->BackColor());
    Image = std::move(image);
    ImageWidth = width;
    ImageHeight = height;
    Show();
}

gboolean GtkPictureBox::OnDraw(GtkWidget*, cairo_t* cairo, gpointer self) {
    auto& box = *static_cast<GtkPictureBox*>(self);
    HDC dc = box.Image->hDC();
    box.Gdi.BeginCairo(dc);
    cairo_set_source_surface(cairo, box.Gdi.SurfaceOf(dc), 0, 0);
    // Pixels are copied one for one, never blended or filtered.
    cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_NEAREST);
    cairo_set_operator(cairo, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cairo);
    box.Gdi.EndCairo(dc);
    return TRUE;
}

void GtkPictureBox::Show() {
    gtk_widget_queue_draw(Area);
}

void GtkPictureBox::SetVisible(bool visible) {
    Image->SetVisible(visible);
    gtk_widget_set_visible(Area, visible);
}

void GtkPictureBox::SetBackColor(ColorRef color) {
    Image->SetBackColor(color);
    Show();
}

void GtkPictureBox::FillBox(double x1, double y1, double x2, double y2, ColorRef color) {
    Image->FillBox(x1, y1, x2, y2, color);
    Show();
}

void GtkPictureBox::Line(double x1, double y1, double x2, double y2, ColorRef color, bool box) {
    Image->Line(x1, y1, x2, y2, color, box);
    Show();
}

void GtkPictureBox::Circle(double x, double y, double radius, ColorRef color) {
    Image->Circle(x, y, radius, color);
    Show();
}

void GtkPictureBox::Cls() {
    Image->Cls();
    Show();
}

void GtkPictureBox::Print(std::string_view text) {
    Image->Print(text);
    Show();
}

void GtkPictureBox::Refresh() {
    Image->Refresh();
    Show();
    if (PaintOnRefresh) {
        while (gtk_events_pending()) {
            gtk_main_iteration_do(FALSE);
        }
    }
}

GtkChildWindow::GtkChildWindow(GtkOverlay* overlay, GtkWidget* widget, int width, int height,
                               bool visible)
    : Overlay(overlay), Widget(widget), BoxWidth(width), BoxHeight(height) {
    gtk_overlay_add_overlay(Overlay, Widget);
    // Clicks go through to the drawing surface under it.
    gtk_overlay_set_overlay_pass_through(Overlay, Widget, TRUE);
    gtk_widget_set_visible(Widget, visible);
    PlaceHandler = g_signal_connect(Overlay, "get-child-position", G_CALLBACK(OnPlace), this);
}

GtkChildWindow::~GtkChildWindow() {
    g_signal_handler_disconnect(Overlay, PlaceHandler);
}

void GtkChildWindow::Move(int left, int top, int width, int height) {
    BoxLeft = left;
    BoxTop = top;
    BoxWidth = std::max(width, 0);
    BoxHeight = std::max(height, 0);
    gtk_widget_queue_resize(Widget);
}

gboolean GtkChildWindow::OnPlace(GtkOverlay*, GtkWidget* child, GdkRectangle* place,
                                 gpointer self) {
    auto& window = *static_cast<GtkChildWindow*>(self);
    if (child != window.Widget) {
        return FALSE;
    }
    *place = GdkRectangle{window.BoxLeft, window.BoxTop, window.BoxWidth, window.BoxHeight};
    return TRUE;
}

int GtkMessageBox::MessageBoxA(std::string_view text, std::string_view caption, unsigned type) {
    const unsigned buttons = type & 0xF;
    const unsigned icon = type & 0xF0;
    GtkMessageType kind = icon == mb::IconExclamation   ? GTK_MESSAGE_WARNING
                          : icon == mb::IconInformation ? GTK_MESSAGE_INFO
                          : icon == mb::IconStop        ? GTK_MESSAGE_ERROR
                          : icon == mb::IconQuestion    ? GTK_MESSAGE_QUESTION
                                                        : GTK_MESSAGE_OTHER;
    GtkButtonsType shown = buttons == mb::OkCancel ? GTK_BUTTONS_OK_CANCEL
                           : buttons == mb::YesNo  ? GTK_BUTTONS_YES_NO
                                                   : GTK_BUTTONS_OK;
    std::string utf8;
    // The control's texts end their lines with CR LF; GTK wants bare line feeds.
    for (char c : AnsiToUtf8(text)) {
        if (c != '\r') {
            utf8 += c;
        }
    }
    // The box goes once answered; it would otherwise stay on the screen, dead.
    const UniqueWidget owner(
        gtk_message_dialog_new(Parent, GTK_DIALOG_MODAL, kind, shown, "%s", utf8.c_str()));
    GtkWidget* dialog = owner.Get();
    gtk_window_set_title(GTK_WINDOW(dialog), AnsiToUtf8(caption).c_str());
    // The first button is the default, as in MessageBoxA.
    gtk_dialog_set_default_response(GTK_DIALOG(dialog),
                                    buttons == mb::YesNo ? GTK_RESPONSE_YES : GTK_RESPONSE_OK);
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    switch (response) {
    case GTK_RESPONSE_YES:
        return id::Yes;
    case GTK_RESPONSE_NO:
        return id::No;
    case GTK_RESPONSE_OK:
        return id::Ok;
    default:
        // Closing the dialog is its cancel button, or the only answer it has.
        return buttons == mb::YesNo ? id::No : buttons == mb::OkCancel ? id::Cancel : id::Ok;
    }
}

void GtkScreen::SetMousePointer(MousePointer pointer) {
    Pointer = pointer;
    GdkWindow* window = gtk_widget_get_window(Window);
    if (window == nullptr) {
        return;
    }
    UniqueCursor cursor(pointer == MousePointer::Hourglass
                            ? gdk_cursor_new_from_name(gdk_window_get_display(window), "wait")
                            : nullptr);
    gdk_window_set_cursor(window, cursor.Get());
}

bool CaptureWidgetPng(GtkWidget* widget, const std::string& fileName) {
    GdkWindow* window = gtk_widget_get_window(widget);
    if (window == nullptr || !gtk_widget_get_mapped(widget)) {
        return false;
    }
    GtkAllocation place;
    gtk_widget_get_allocation(widget, &place);
    // A widget without a window of its own sits at its allocation in its parent's.
    const int x = gtk_widget_get_has_window(widget) ? 0 : place.x;
    const int y = gtk_widget_get_has_window(widget) ? 0 : place.y;
    UniquePixbuf shot(gdk_pixbuf_get_from_window(window, x, y, place.width, place.height));
    if (!shot) {
        return false;
    }
    const int width = gdk_pixbuf_get_width(shot.Get());
    const int height = gdk_pixbuf_get_height(shot.Get());
    const int channels = gdk_pixbuf_get_n_channels(shot.Get());
    const int stride = gdk_pixbuf_get_rowstride(shot.Get());
    const guchar* bytes = gdk_pixbuf_read_pixels(shot.Get());
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        const guchar* at = bytes + static_cast<std::ptrdiff_t>(row) * stride;
        for (int column = 0; column < width; ++column, at += channels) {
            pixels[static_cast<std::size_t>(row) * width + column] =
                (std::uint32_t{at[0]} << 16) | (std::uint32_t{at[1]} << 8) | at[2];
        }
    }
    return WritePngFile(fileName,
                        PixelRows{.Pixels = reinterpret_cast<const std::uint8_t*>(pixels.data()),
                                  .Width = width,
                                  .Height = height,
                                  .Stride = static_cast<std::size_t>(width) * 4});
}

} // namespace platform
