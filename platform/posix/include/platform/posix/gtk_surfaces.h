// The control's child windows on a GTK desktop: picture boxes shown by drawing areas,
// child windows placed on an overlay, message boxes, the mouse pointer, and the
// capture of what a widget shows on the screen.
#pragma once

#include "platform/child_window.h"
#include "platform/message_box.h"
#include "platform/picture_box.h"
#include "platform/posix/cairo_gdi.h"
#include "platform/posix/gtk_api.h"
#include "platform/posix/offscreen_picture_box.h"
#include "platform/screen.h"

#include <memory>
#include <string>

namespace platform {

/// A picture box whose persistent image is a cairo bitmap that a GtkDrawingArea
/// shows. Everything drawn goes into the image (a band drawn twice in invert mode
/// restores it), and the area repaints from it. The image keeps its size until
/// Resize, which starts a blank one with the same settings.
class GtkPictureBox final : public PictureBox {
public:
    /// `area` is a GtkDrawingArea owned by its container, which outlives the box.
    GtkPictureBox(CairoGdi& gdi, GtkWidget* area, int width, int height);
    ~GtkPictureBox() override;
    GtkPictureBox(const GtkPictureBox&) = delete;
    GtkPictureBox& operator=(const GtkPictureBox&) = delete;

    /// A blank image of `width` x `height` pixels (at least 1 x 1).
    void Resize(int width, int height);
    /// With a pump, Refresh shows the image at once by running the main loop's pending
    /// work: the reader's progress bar paints while a file loads. The host makes its
    /// window ignore input meanwhile.
    void SetPaintOnRefresh(bool paint) { PaintOnRefresh = paint; }
    GtkWidget* Widget() const { return Area; }
    int PixelWidth() const { return ImageWidth; }
    int PixelHeight() const { return ImageHeight; }

    bool Visible() const override { return Image->Visible(); }
    void SetVisible(bool visible) override;
    void ZOrder(int position) override { Image->ZOrder(position); }
    bool AutoRedraw() const override { return Image->AutoRedraw(); }
    void SetAutoRedraw(bool autoRedraw) override { Image->SetAutoRedraw(autoRedraw); }
    int ScaleMode() const override { return Image->ScaleMode(); }
    void SetScaleMode(int mode) override { Image->SetScaleMode(mode); }
    double ScaleWidth() const override { return Image->ScaleWidth(); }
    double ScaleHeight() const override { return Image->ScaleHeight(); }
    double Height() const override { return Image->Height(); }
    ColorRef BackColor() const override { return Image->BackColor(); }
    void SetBackColor(ColorRef color) override;
    HDC hDC() override { return Image->hDC(); }
    HWND hWnd() const override { return nullptr; }
    void FillBox(double x1, double y1, double x2, double y2, ColorRef color) override;
    int DrawMode() const override { return Image->DrawMode(); }
    void SetDrawMode(int mode) override { Image->SetDrawMode(mode); }
    void Line(double x1, double y1, double x2, double y2, ColorRef color, bool box) override;
    void Circle(double x, double y, double radius, ColorRef color) override;
    void Cls() override;
    void Refresh() override;
    double CurrentX() const override { return Image->CurrentX(); }
    double CurrentY() const override { return Image->CurrentY(); }
    void SetCurrentX(double x) override { Image->SetCurrentX(x); }
    void SetCurrentY(double y) override { Image->SetCurrentY(y); }
    void Print(std::string_view text) override;
    double TextWidth(std::string_view text) override { return Image->TextWidth(text); }
    double TextHeight(std::string_view text) override { return Image->TextHeight(text); }
    double FontSize() const override { return Image->FontSize(); }
    void SetFontSize(double points) override { Image->SetFontSize(points); }
    ColorRef Point(double x, double y) override { return Image->Point(x, y); }

private:
    static gboolean OnDraw(GtkWidget* widget, cairo_t* cairo, gpointer self);
    /// Asks the area to repaint from the image.
    void Show();

    CairoGdi& Gdi;
    GtkWidget* Area;
    gulong DrawHandler = 0;
    int ImageWidth;
    int ImageHeight;
    std::unique_ptr<OffscreenPictureBox> Image;
    bool PaintOnRefresh = false;
};

/// A child window laid over a GtkOverlay's main child at the place the control gives
/// it; the overlay asks for that place through its "get-child-position" signal.
class GtkChildWindow final : public ChildWindow {
public:
    /// `widget` is an overlay child (owned by the overlay); the window starts at the
    /// top left with the given size.
    GtkChildWindow(GtkOverlay* overlay, GtkWidget* widget, int width, int height, bool visible);
    ~GtkChildWindow() override;
    GtkChildWindow(const GtkChildWindow&) = delete;
    GtkChildWindow& operator=(const GtkChildWindow&) = delete;

    int Left() const override { return BoxLeft; }
    int Top() const override { return BoxTop; }
    int Width() const override { return BoxWidth; }
    int Height() const override { return BoxHeight; }
    void Move(int left, int top, int width, int height) override;
    int Align() const override { return AlignTo; }
    void SetAlign(int align) override { AlignTo = align; }
    bool Visible() const override { return gtk_widget_get_visible(Widget); }
    void SetVisible(bool visible) override { gtk_widget_set_visible(Widget, visible); }

private:
    static gboolean OnPlace(GtkOverlay* overlay, GtkWidget* child, GdkRectangle* place,
                            gpointer self);

    GtkOverlay* Overlay;
    GtkWidget* Widget;
    gulong PlaceHandler = 0;
    int BoxLeft = 0;
    int BoxTop = 0;
    int BoxWidth;
    int BoxHeight;
    int AlignTo = align::None;
};

/// Message boxes as modal GTK dialogs over `parent`, with the buttons and icon that
/// the MessageBoxA style asks for. Text is code page 1252.
class GtkMessageBox final : public MessageBoxService {
public:
    explicit GtkMessageBox(GtkWindow* parent) : Parent(parent) {}
    int MessageBoxA(std::string_view text, std::string_view caption, unsigned type) override;

private:
    GtkWindow* Parent;
};

/// The mouse pointer over `window`: the hourglass is GTK's "wait" cursor.
class GtkScreen final : public Screen {
public:
    explicit GtkScreen(GtkWidget* window) : Window(window) {}
    void SetMousePointer(MousePointer pointer) override;
    MousePointer GetMousePointer() const override { return Pointer; }

private:
    GtkWidget* Window;
    MousePointer Pointer = MousePointer::Default;
};

/// Writes what `widget` shows on the screen now, read back from the display, as a PNG
/// file with the project's writer (so equal pixels give equal files). False when the
/// widget is not on the screen or the file cannot be written.
bool CaptureWidgetPng(GtkWidget* widget, const std::string& fileName);

} // namespace platform
