// Passes gdi calls on and notes the box of each text.
#include "text_box_recorder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <ostream>

namespace plandra::cli {

using namespace platform;

void TextBoxRecorder::WriteTextBoxes(std::ostream& out) const {
    for (const Rect& box : Boxes) {
        out << box.left << ' ' << box.top << ' ' << box.right << ' ' << box.bottom << '\n';
    }
}

HDC TextBoxRecorder::CreateCompatibleDC(HDC reference) {
    return Drawing.CreateCompatibleDC(reference);
}

bool TextBoxRecorder::DeleteDC(HDC dc) {
    SelectedFonts.erase(dc);
    Alignments.erase(dc);
    return Drawing.DeleteDC(dc);
}

HBITMAP TextBoxRecorder::CreateDIBSection(HDC reference, int width, int height) {
    return Drawing.CreateDIBSection(reference, width, height);
}

HPEN TextBoxRecorder::CreatePen(int style, int width, ColorRef color) {
    return Drawing.CreatePen(style, width, color);
}

HBRUSH TextBoxRecorder::CreateSolidBrush(ColorRef color) {
    return Drawing.CreateSolidBrush(color);
}

HGDIOBJ TextBoxRecorder::GetStockObject(int object) {
    return Drawing.GetStockObject(object);
}

HGDIOBJ TextBoxRecorder::SelectObject(HDC dc, HGDIOBJ object) {
    if (FontEscapements.contains(object)) {
        SelectedFonts[dc] = object;
    }
    return Drawing.SelectObject(dc, object);
}

bool TextBoxRecorder::DeleteObject(HGDIOBJ object) {
    FontEscapements.erase(object);
    return Drawing.DeleteObject(object);
}

bool TextBoxRecorder::MoveToEx(HDC dc, int x, int y, Point* previous) {
    return Drawing.MoveToEx(dc, x, y, previous);
}

bool TextBoxRecorder::LineTo(HDC dc, int x, int y) {
    return Drawing.LineTo(dc, x, y);
}

bool TextBoxRecorder::Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                          int xEnd, int yEnd) {
    return Drawing.Arc(dc, left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

bool TextBoxRecorder::Ellipse(HDC dc, int left, int top, int right, int bottom) {
    return Drawing.Ellipse(dc, left, top, right, bottom);
}

bool TextBoxRecorder::Polygon(HDC dc, std::span<const Point> points) {
    return Drawing.Polygon(dc, points);
}

HRGN TextBoxRecorder::CreateRectRgn(int left, int top, int right, int bottom) {
    return Drawing.CreateRectRgn(left, top, right, bottom);
}

HRGN TextBoxRecorder::CreatePolygonRgn(std::span<const Point> points, int fillMode) {
    return Drawing.CreatePolygonRgn(points, fillMode);
}

bool TextBoxRecorder::FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    return Drawing.FillRgn(dc, region, brush);
}

bool TextBoxRecorder::RectInRegion(HRGN region, const Rect& rect) {
    return Drawing.RectInRegion(region, rect);
}

int TextBoxRecorder::FillRect(HDC dc, const Rect& rect, HBRUSH brush) {
    return Drawing.FillRect(dc, rect, brush);
}

ColorRef TextBoxRecorder::SetPixel(HDC dc, int x, int y, ColorRef color) {
    return Drawing.SetPixel(dc, x, y, color);
}

ColorRef TextBoxRecorder::GetPixel(HDC dc, int x, int y) {
    return Drawing.GetPixel(dc, x, y);
}

int TextBoxRecorder::SetROP2(HDC dc, int mode) {
    return Drawing.SetROP2(dc, mode);
}

int TextBoxRecorder::SetBkMode(HDC dc, int mode) {
    return Drawing.SetBkMode(dc, mode);
}

ColorRef TextBoxRecorder::SetBkColor(HDC dc, ColorRef color) {
    return Drawing.SetBkColor(dc, color);
}

int TextBoxRecorder::GetDeviceCaps(HDC dc, int index) {
    return Drawing.GetDeviceCaps(dc, index);
}

HFONT TextBoxRecorder::CreateFontA(const FontRequest& font) {
    HFONT made = Drawing.CreateFontA(font);
    if (made != nullptr) {
        FontEscapements[made] = font.Escapement;
    }
    return made;
}

unsigned TextBoxRecorder::SetTextAlign(HDC dc, unsigned align) {
    Alignments[dc] = align;
    return Drawing.SetTextAlign(dc, align);
}

ColorRef TextBoxRecorder::SetTextColor(HDC dc, ColorRef color) {
    return Drawing.SetTextColor(dc, color);
}

bool TextBoxRecorder::TextOutA(HDC dc, int x, int y, std::string_view text) {
    Size size{};
    if (Recording && !text.empty() && Drawing.GetTextExtentPoint32A(dc, text, &size)) {
        const unsigned align = Alignments.contains(dc) ? Alignments[dc] : 0;
        const double width = size.cx;
        const double height = size.cy;
        const double u0 = (align & ta::Center) == ta::Center ? -width / 2
                          : (align & ta::Right) != 0         ? -width
                                                             : 0;
        const double v0 = (align & ta::Baseline) == ta::Baseline ? -height * 4 / 5
                          : (align & ta::Bottom) != 0            ? -height
                                                                 : 0;
        const auto font = SelectedFonts.find(dc);
        const int escapement = font != SelectedFonts.end() && FontEscapements.contains(font->second)
                                   ? FontEscapements[font->second]
                                   : 0;
        const double angle = escapement / 10.0 * std::numbers::pi / 180;
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        double left = x, top = y, right = x, bottom = y;
        for (const auto [u, v] : std::array<std::array<double, 2>, 4>{
                 {{u0, v0}, {u0 + width, v0}, {u0, v0 + height}, {u0 + width, v0 + height}}}) {
            const double px = x + u * c + v * s;
            const double py = y - u * s + v * c;
            left = std::min(left, px);
            right = std::max(right, px);
            top = std::min(top, py);
            bottom = std::max(bottom, py);
        }
        auto pixel = [](double value) {
            return static_cast<int>(std::clamp(std::round(value), -65536.0, 65536.0));
        };
        Boxes.push_back(Rect{pixel(left), pixel(top), pixel(right), pixel(bottom)});
    }
    return Drawing.TextOutA(dc, x, y, text);
}

bool TextBoxRecorder::GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) {
    return Drawing.GetTextExtentPoint32A(dc, text, size);
}

} // namespace plandra::cli
