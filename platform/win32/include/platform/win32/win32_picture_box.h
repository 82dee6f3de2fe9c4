// A picture box on Windows: a persistent image in a memory bitmap, shown in a window.
#pragma once

#include "platform/gdi_objects.h"
#include "platform/picture_box.h"
#include "platform/win32/win32_gdi.h"

#include <string>

namespace platform {

/// The image is a 32-bit DIB section of the box's size, selected into a memory device
/// context of `gdi`; hDC returns that device context. Refresh copies the image into the
/// window. With AutoRedraw off, Line and Circle draw into the window only; a box made
/// without a window keeps everything in its image. Text is Arial in black.
class Win32PictureBox final : public PictureBox {
public:
    /// A box of `width` x `height` pixels (at least 1 x 1), cleared to white, in pixel
    /// scale mode; `window` may be null.
    Win32PictureBox(Win32Gdi& gdi, HWND window, int width, int height);
    ~Win32PictureBox() override;
    Win32PictureBox(const Win32PictureBox&) = delete;
    Win32PictureBox& operator=(const Win32PictureBox&) = delete;

    bool Visible() const override;
    void SetVisible(bool visible) override;
    void ZOrder(int position) override;
    bool AutoRedraw() const override { return IsAutoRedraw; }
    void SetAutoRedraw(bool autoRedraw) override { IsAutoRedraw = autoRedraw; }
    int ScaleMode() const override { return Mode; }
    void SetScaleMode(int mode) override { Mode = mode; }
    double ScaleWidth() const override { return FromPixels(PixelWidth); }
    double ScaleHeight() const override { return FromPixels(PixelHeight); }
    double Height() const override { return PixelHeight; }
    ColorRef BackColor() const override { return Back; }
    void SetBackColor(ColorRef color) override;
    HDC hDC() override { return Dc.Get(); }
    HWND hWnd() const override { return Window; }
    void FillBox(double x1, double y1, double x2, double y2, ColorRef color) override;
    int DrawMode() const override { return Mix; }
    void SetDrawMode(int mode) override;
    void Line(double x1, double y1, double x2, double y2, ColorRef color, bool box) override;
    void Circle(double x, double y, double radius, ColorRef color) override;
    void Cls() override;
    void Refresh() override;
    double CurrentX() const override { return X; }
    double CurrentY() const override { return Y; }
    void SetCurrentX(double x) override { X = x; }
    void SetCurrentY(double y) override { Y = y; }
    void Print(std::string_view text) override;
    double TextWidth(std::string_view text) override;
    double TextHeight(std::string_view text) override;
    double FontSize() const override { return Points; }
    void SetFontSize(double points) override;
    ColorRef Point(double x, double y) override;

    /// Writes the persistent image as a PNG file; false when it cannot be written.
    bool WritePng(const std::string& fileName);

private:
    double UnitsPerPixel() const;
    double FromPixels(double pixels) const { return pixels * UnitsPerPixel(); }
    double ToPixels(double units) const { return units / UnitsPerPixel(); }
    std::int32_t PixelOf(double units) const;
    /// Runs `draw` on the device context shapes go to: the window's while AutoRedraw
    /// is off and there is a window, else the image's.
    template <typename Draw> void OnShapeTarget(Draw&& draw);
    Size Measure(std::string_view text);

    Win32Gdi& Gdi;
    HWND Window;
    int PixelWidth;
    int PixelHeight;
    // The bitmap outlives the device context it is selected into.
    UniqueGdiObject<HBITMAP> Bitmap;
    UniqueDeviceContext Dc;
    HGDIOBJ FirstBitmap = nullptr;
    bool IsVisible = true;
    bool IsAutoRedraw = false;
    int Mode = scale::Pixels;
    int Mix = drawmode::CopyPen;
    ColorRef Back = 0xFFFFFF;
    double X = 0;
    double Y = 0;
    double Points = 8.25;
};

} // namespace platform
