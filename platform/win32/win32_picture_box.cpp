// A picture box on Windows.
#include "platform/win32/win32_picture_box.h"

#include "platform/picture_box_shapes.h"
#include "platform/png_image.h"
#include "win32_handles.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

::HWND Native(HWND window) {
    return reinterpret_cast<::HWND>(window);
}

::HDC Native(HDC dc) {
    return reinterpret_cast<::HDC>(dc);
}

// The box's font selected into a device context for as long as the object lives.
class SelectedFont {
public:
    SelectedFont(GdiService& gdi, HDC dc, double points)
        : Gdi(gdi), Dc(dc),
          Font(OwnObject(gdi, gdi.CreateFontA(FontRequest{
                                  .Height = -static_cast<int>(std::lround(points * 96 / 72)),
                                  .Weight = 400,
                                  .FaceName = "Arial"}))),
          Previous(gdi.SelectObject(dc, Font.Get())) {}
    ~SelectedFont() { Gdi.SelectObject(Dc, Previous); }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

private:
    GdiService& Gdi;
    HDC Dc;
    UniqueGdiObject<HFONT> Font;
    HGDIOBJ Previous;
};

} // namespace

Win32PictureBox::Win32PictureBox(Win32Gdi& gdi, HWND window, int width, int height)
    : Gdi(gdi), Window(window), PixelWidth(std::max(width, 1)), PixelHeight(std::max(height, 1)),
      Bitmap(OwnObject(gdi, gdi.CreateDIBSection(nullptr, PixelWidth, PixelHeight))),
      Dc(OwnDc(gdi, gdi.CreateCompatibleDC(nullptr))) {
    FirstBitmap = Gdi.SelectObject(Dc.Get(), Bitmap.Get());
    // Shapes drawn on the image are not filled unless a brush is selected for them.
    Gdi.SelectObject(Dc.Get(), Gdi.GetStockObject(stock::NullBrush));
    Cls();
}

Win32PictureBox::~Win32PictureBox() {
    if (FirstBitmap != nullptr) {
        Gdi.SelectObject(Dc.Get(), FirstBitmap);
    }
}

bool Win32PictureBox::Visible() const {
    return Window != nullptr ? ::IsWindowVisible(Native(Window)) != FALSE : IsVisible;
}

void Win32PictureBox::SetVisible(bool visible) {
    IsVisible = visible;
    if (Window != nullptr) {
        ::ShowWindow(Native(Window), visible ? SW_SHOWNA : SW_HIDE);
    }
}

void Win32PictureBox::ZOrder(int position) {
    if (Window != nullptr) {
        // HWND_TOP and HWND_BOTTOM, spelt out: inside this namespace their cast would
        // name the portable window handle.
        ::HWND insertAfter = position == 0 ? nullptr : reinterpret_cast<::HWND>(1);
        ::SetWindowPos(Native(Window), insertAfter, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

double Win32PictureBox::UnitsPerPixel() const {
    switch (Mode) {
    case 1:
        return 15; // twips
    case scale::Points:
        return 0.75;
    case scale::Millimeters:
        return 25.4 / 96;
    default:
        return 1;
    }
}

std::int32_t Win32PictureBox::PixelOf(double units) const {
    const double pixels = std::nearbyint(ToPixels(units));
    return static_cast<std::int32_t>(std::isnan(pixels) ? -65536.0
                                                        : std::clamp(pixels, -65536.0, 65536.0));
}

void Win32PictureBox::SetBackColor(ColorRef color) {
    Back = color & 0xFFFFFF;
    Cls();
}

void Win32PictureBox::Cls() {
    auto brush = OwnObject(Gdi, Gdi.CreateSolidBrush(Back));
    Gdi.FillRect(Dc.Get(), Rect{0, 0, PixelWidth, PixelHeight}, brush.Get());
    X = 0;
    Y = 0;
    if (Window != nullptr) {
        ::InvalidateRect(Native(Window), nullptr, FALSE);
    }
}

void Win32PictureBox::Refresh() {
    if (Window == nullptr) {
        return;
    }
    const WindowDc screen = GetWindowDc(Native(Window));
    if (screen) {
        ::BitBlt(screen.Get(), 0, 0, PixelWidth, PixelHeight, Native(Dc.Get()), 0, 0, SRCCOPY);
    }
}

void Win32PictureBox::FillBox(double x1, double y1, double x2, double y2, ColorRef color) {
    const std::int32_t left = std::min(PixelOf(x1), PixelOf(x2));
    const std::int32_t right = std::max(PixelOf(x1), PixelOf(x2));
    const std::int32_t top = std::min(PixelOf(y1), PixelOf(y2));
    const std::int32_t bottom = std::max(PixelOf(y1), PixelOf(y2));
    auto brush = OwnObject(Gdi, Gdi.CreateSolidBrush(color));
    // Both corners belong to the box.
    Gdi.FillRect(Dc.Get(), Rect{left, top, right + 1, bottom + 1}, brush.Get());
}

void Win32PictureBox::SetDrawMode(int mode) {
    if (mode >= r2::Black && mode <= r2::White) {
        Mix = mode;
    }
}

template <typename Draw> void Win32PictureBox::OnShapeTarget(Draw&& draw) {
    if (IsAutoRedraw || Window == nullptr) {
        draw(Dc.Get());
        return;
    }
    const WindowDc screen = GetWindowDc(Native(Window));
    if (screen) {
        draw(reinterpret_cast<HDC>(screen.Get()));
    }
}

void Win32PictureBox::Line(double x1, double y1, double x2, double y2, ColorRef color, bool box) {
    const platform::Point from{PixelOf(x1), PixelOf(y1)};
    const platform::Point to{PixelOf(x2), PixelOf(y2)};
    OnShapeTarget([&](HDC dc) { LineShape(Gdi, dc, from, to, box, color, Mix); });
}

void Win32PictureBox::Circle(double x, double y, double radius, ColorRef color) {
    const platform::Point centre{PixelOf(x), PixelOf(y)};
    const int r = std::min(PixelOf(radius < 0 ? -radius : radius), 65536);
    OnShapeTarget([&](HDC dc) { CircleShape(Gdi, dc, centre, r, color, Mix); });
}

Size Win32PictureBox::Measure(std::string_view text) {
    SelectedFont font(Gdi, Dc.Get(), Points);
    Size size;
    Gdi.GetTextExtentPoint32A(Dc.Get(), text.empty() ? std::string_view(" ") : text, &size);
    if (text.empty()) {
        size.cx = 0;
    }
    return size;
}

double Win32PictureBox::TextWidth(std::string_view text) {
    return FromPixels(Measure(text).cx);
}

double Win32PictureBox::TextHeight(std::string_view text) {
    return FromPixels(Measure(text).cy);
}

void Win32PictureBox::SetFontSize(double points) {
    if (points > 0 && points < 2048) {
        Points = points;
    }
}

void Win32PictureBox::Print(std::string_view text) {
    const double height = Measure(text).cy;
    {
        SelectedFont font(Gdi, Dc.Get(), Points);
        const int oldMode = Gdi.SetBkMode(Dc.Get(), Transparent);
        const ColorRef oldColor = Gdi.SetTextColor(Dc.Get(), 0);
        const unsigned oldAlign = Gdi.SetTextAlign(Dc.Get(), ta::Left | ta::Top);
        Gdi.TextOutA(Dc.Get(), static_cast<int>(std::lround(ToPixels(X))),
                     static_cast<int>(std::lround(ToPixels(Y))), text);
        Gdi.SetTextAlign(Dc.Get(), oldAlign);
        Gdi.SetTextColor(Dc.Get(), oldColor);
        Gdi.SetBkMode(Dc.Get(), oldMode);
    }
    X = 0;
    Y += FromPixels(height);
}

ColorRef Win32PictureBox::Point(double x, double y) {
    const double px = std::floor(ToPixels(x));
    const double py = std::floor(ToPixels(y));
    if (!(px >= 0 && py >= 0 && px < PixelWidth && py < PixelHeight)) {
        return ClrInvalid;
    }
    return Gdi.GetPixel(Dc.Get(), static_cast<int>(px), static_cast<int>(py));
}

bool Win32PictureBox::WritePng(const std::string& fileName) {
    // Drawing GDI may still hold back must reach the bits before they are read; the
    // bitmap is top-down (see CreateDIBSection), so its rows are in picture order.
    ::GdiFlush();
    BITMAP bitmap{};
    if (::GetObjectA(reinterpret_cast<::HBITMAP>(Bitmap.Get()), sizeof(bitmap), &bitmap) !=
            sizeof(bitmap) ||
        bitmap.bmBits == nullptr || bitmap.bmBitsPixel != 32 || bitmap.bmWidth != PixelWidth) {
        return false;
    }
    return WritePngFile(fileName,
                        PixelRows{.Pixels = static_cast<const std::uint8_t*>(bitmap.bmBits),
                                  .Width = PixelWidth,
                                  .Height = PixelHeight,
                                  .Stride = static_cast<std::size_t>(bitmap.bmWidthBytes)});
}

} // namespace platform
