// A picture box without a window: its persistent image is a cairo bitmap, which can be
// written out as a PNG file.
#pragma once

#include "platform/gdi_objects.h"
#include "platform/picture_box.h"
#include "platform/posix/cairo_gdi.h"

#include <cstdint>
#include <string>

namespace platform {

/// Text is drawn in Arial (Liberation Sans through fontconfig) without antialiasing,
/// in black; the default font size is 8.25 points. A pixel is 0.75 points; the screen
/// has 96 pixels per inch.
class OffscreenPictureBox final : public PictureBox {
public:
    /// A box of `width` x `height` pixels (at least 1 x 1) drawn through `gdi`, cleared
    /// to white, visible, in pixel scale mode.
    OffscreenPictureBox(CairoGdi& gdi, int width, int height);
    ~OffscreenPictureBox() override;
    OffscreenPictureBox(const OffscreenPictureBox&) = delete;
    OffscreenPictureBox& operator=(const OffscreenPictureBox&) = delete;

    bool Visible() const override { return IsVisible; }
    void SetVisible(bool visible) override { IsVisible = visible; }
    void ZOrder(int position) override { InFront = position == 0; }
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
    HWND hWnd() const override { return nullptr; }
    void FillBox(double x1, double y1, double x2, double y2, ColorRef color) override;
    int DrawMode() const override { return Mix; }
    void SetDrawMode(int mode) override;
    void Line(double x1, double y1, double x2, double y2, ColorRef color, bool box) override;
    void Circle(double x, double y, double radius, ColorRef color) override;
    void Cls() override;
    void Refresh() override { ++RefreshCount; }
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
    /// How often the box was shown on the (missing) screen.
    int Refreshes() const { return RefreshCount; }
    bool IsInFront() const { return InFront; }

private:
    double UnitsPerPixel() const;
    double FromPixels(double pixels) const { return pixels * UnitsPerPixel(); }
    double ToPixels(double units) const { return units / UnitsPerPixel(); }
    /// A coordinate in scale units as a pixel, held to a range GDI takes.
    std::int32_t PixelOf(double units) const;
    /// Text width and height in pixels.
    void Measure(std::string_view text, double& width, double& height);

    CairoGdi& Gdi;
    int PixelWidth;
    int PixelHeight;
    // The bitmap outlives the device context it is selected into.
    UniqueGdiObject<HBITMAP> Bitmap;
    UniqueDeviceContext Dc;
    HGDIOBJ FirstBitmap = nullptr;
    bool IsVisible = true;
    bool InFront = true;
    bool IsAutoRedraw = false;
    int Mode = scale::Pixels;
    int Mix = drawmode::CopyPen;
    ColorRef Back = 0xFFFFFF;
    double X = 0;
    double Y = 0;
    double Points = 8.25;
    int RefreshCount = 0;
};

} // namespace platform
