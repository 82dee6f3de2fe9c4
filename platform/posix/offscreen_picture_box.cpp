// A picture box without a window, drawn on a cairo bitmap.
#include "platform/posix/offscreen_picture_box.h"

#include "cairo_api.h"
#include "platform/ansi_text.h"
#include "platform/picture_box_shapes.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr const char* FaceName = "Arial";

// A cairo context for text on the box's bitmap, in the box's font, without
// antialiasing.
class TextContext {
public:
    TextContext(cairo_surface_t* surface, double pixelSize) : Owned(cairo_create(surface)) {
        cairo_t* cairo = Owned.Get();
        cairo_select_font_face(cairo, FaceName, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cairo, pixelSize);
        UniqueFontOptions options(cairo_font_options_create());
        cairo_font_options_set_antialias(options.Get(), CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options.Get(), CAIRO_HINT_STYLE_FULL);
        cairo_set_font_options(cairo, options.Get());
        cairo_set_antialias(cairo, CAIRO_ANTIALIAS_NONE);
    }

    cairo_t* Cairo() const { return Owned.Get(); }

private:
    UniqueCairo Owned;
};

} // namespace

OffscreenPictureBox::OffscreenPictureBox(CairoGdi& gdi, int width, int height)
    : Gdi(gdi), PixelWidth(std::max(width, 1)), PixelHeight(std::max(height, 1)),
      Bitmap(OwnObject(gdi, gdi.CreateDIBSection(nullptr, PixelWidth, PixelHeight))),
      Dc(OwnDc(gdi, gdi.CreateCompatibleDC(nullptr))) {
    FirstBitmap = Gdi.SelectObject(Dc.Get(), Bitmap.Get());
    // The box's fill style is transparent: shapes drawn on its device context are not
    // filled unless a brush is selected for them.
    Gdi.SelectObject(Dc.Get(), Gdi.GetStockObject(stock::NullBrush));
    Cls();
}

OffscreenPictureBox::~OffscreenPictureBox() {
    if (FirstBitmap != nullptr) {
        Gdi.SelectObject(Dc.Get(), FirstBitmap);
    }
}

double OffscreenPictureBox::UnitsPerPixel() const {
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

void OffscreenPictureBox::SetBackColor(ColorRef color) {
    Back = color & 0xFFFFFF;
    Cls();
}

void OffscreenPictureBox::Cls() {
    auto brush = OwnObject(Gdi, Gdi.CreateSolidBrush(Back));
    Gdi.FillRect(Dc.Get(), Rect{0, 0, PixelWidth, PixelHeight}, brush.Get());
    X = 0;
    Y = 0;
}

std::int32_t OffscreenPictureBox::PixelOf(double units) const {
    const double pixels = std::nearbyint(ToPixels(units));
    // NaN goes to the edge too: the shape then lies off the image.
    return static_cast<std::int32_t>(std::isnan(pixels) ? -65536.0
                                                        : std::clamp(pixels, -65536.0, 65536.0));
}

void OffscreenPictureBox::SetDrawMode(int mode) {
    if (mode >= r2::Black && mode <= r2::White) {
        Mix = mode;
    }
}

// The box has no window: its image is its screen, so Line and Circle draw into it
// whatever AutoRedraw is.
void OffscreenPictureBox::Line(double x1, double y1, double x2, double y2, ColorRef color,
                               bool box) {
    LineShape(Gdi, Dc.Get(), platform::Point{PixelOf(x1), PixelOf(y1)},
              platform::Point{PixelOf(x2), PixelOf(y2)}, box, color, Mix);
}

void OffscreenPictureBox::Circle(double x, double y, double radius, ColorRef color) {
    CircleShape(Gdi, Dc.Get(), platform::Point{PixelOf(x), PixelOf(y)},
                std::min(PixelOf(radius < 0 ? -radius : radius), 65536), color, Mix);
}

void OffscreenPictureBox::FillBox(double x1, double y1, double x2, double y2, ColorRef color) {
    auto pixel = [this](double units) {
        double pixels = std::nearbyint(ToPixels(units));
        return static_cast<std::int32_t>(std::clamp(pixels, -1.0, 32768.0));
    };
    std::int32_t left = std::min(pixel(x1), pixel(x2));
    std::int32_t right = std::max(pixel(x1), pixel(x2));
    std::int32_t top = std::min(pixel(y1), pixel(y2));
    std::int32_t bottom = std::max(pixel(y1), pixel(y2));
    auto brush = OwnObject(Gdi, Gdi.CreateSolidBrush(color));
    // Both corners belong to the box.
    Gdi.FillRect(Dc.Get(), Rect{left, top, right + 1, bottom + 1}, brush.Get());
}

void OffscreenPictureBox::Measure(std::string_view text, double& width, double& height) {
    TextContext context(Gdi.SurfaceOf(Dc.Get()), Points * 96 / 72);
    cairo_text_extents_t extents;
    std::string utf8 = platform::AnsiToUtf8(text);
    cairo_text_extents(context.Cairo(), utf8.c_str(), &extents);
    cairo_font_extents_t font;
    cairo_font_extents(context.Cairo(), &font);
    width = extents.x_advance;
    height = font.height;
}

double OffscreenPictureBox::TextWidth(std::string_view text) {
    double width, height;
    Measure(text, width, height);
    return FromPixels(width);
}

double OffscreenPictureBox::TextHeight(std::string_view text) {
    double width, height;
    Measure(text, width, height);
    return FromPixels(height);
}

void OffscreenPictureBox::SetFontSize(double points) {
    if (points > 0 && points < 2048) {
        Points = points;
    }
}

void OffscreenPictureBox::Print(std::string_view text) {
    double height;
    Gdi.BeginCairo(Dc.Get());
    {
        TextContext context(Gdi.SurfaceOf(Dc.Get()), Points * 96 / 72);
        cairo_font_extents_t font;
        cairo_font_extents(context.Cairo(), &font);
        height = font.height;
        cairo_set_source_rgb(context.Cairo(), 0, 0, 0);
        cairo_move_to(context.Cairo(), std::round(ToPixels(X)),
                      std::round(ToPixels(Y)) + font.ascent);
        std::string utf8 = platform::AnsiToUtf8(text);
        cairo_show_text(context.Cairo(), utf8.c_str());
    }
    Gdi.EndCairo(Dc.Get());
    X = 0;
    Y += FromPixels(height);
}

ColorRef OffscreenPictureBox::Point(double x, double y) {
    double px = std::floor(ToPixels(x));
    double py = std::floor(ToPixels(y));
    if (!(px >= 0 && py >= 0 && px < PixelWidth && py < PixelHeight)) {
        return ClrInvalid;
    }
    return Gdi.GetPixel(Dc.Get(), static_cast<int>(px), static_cast<int>(py));
}

bool OffscreenPictureBox::WritePng(const std::string& fileName) {
    return Gdi.WritePng(Dc.Get(), fileName);
}

} // namespace platform
