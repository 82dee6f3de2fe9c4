// A GDI that paints nothing.
#include "platform/headless/null_gdi.h"

#include <algorithm>
#include <cstddef>

namespace platform {

namespace {

// The handles NullGdi gives out: the address of one byte per kind of object. They
// are only compared and passed back, never followed.
enum Kind { DcKind, PenKind, BrushKind, RegionKind, BitmapKind, FontKind, KindCount };
unsigned char Handles[KindCount];

template <typename HandleType> HandleType HandleOf(Kind kind) {
    return reinterpret_cast<HandleType>(&Handles[kind]);
}

constexpr int ScreenWidth = 1024;
constexpr int ScreenHeight = 768;
constexpr int PixelsPerInch = 96;
constexpr int CharWidth = 8;
constexpr int CharHeight = 16;

int Millimetres(int pixels) {
    return (pixels * 254 / PixelsPerInch + 5) / 10;
}

} // namespace

HDC NullGdi::CreateCompatibleDC(HDC) {
    return HandleOf<HDC>(DcKind);
}

bool NullGdi::DeleteDC(HDC) {
    return true;
}

HBITMAP NullGdi::CreateDIBSection(HDC, int, int) {
    return HandleOf<HBITMAP>(BitmapKind);
}

HPEN NullGdi::CreatePen(int, int, ColorRef) {
    return HandleOf<HPEN>(PenKind);
}

HBRUSH NullGdi::CreateSolidBrush(ColorRef) {
    return HandleOf<HBRUSH>(BrushKind);
}

HGDIOBJ NullGdi::GetStockObject(int object) {
    return object == stock::BlackPen ? HandleOf<HGDIOBJ>(PenKind) : HandleOf<HGDIOBJ>(BrushKind);
}

// Every object of a kind shares its handle, so the object a selection replaces is
// the one selected.
HGDIOBJ NullGdi::SelectObject(HDC, HGDIOBJ object) {
    return object;
}

bool NullGdi::DeleteObject(HGDIOBJ) {
    return true;
}

bool NullGdi::MoveToEx(HDC, int, int, Point* previous) {
    if (previous != nullptr) {
        *previous = Point{};
    }
    return true;
}

bool NullGdi::LineTo(HDC, int, int) {
    return true;
}

bool NullGdi::Arc(HDC, int, int, int, int, int, int, int, int) {
    return true;
}

bool NullGdi::Ellipse(HDC, int, int, int, int) {
    return true;
}

bool NullGdi::Polygon(HDC, std::span<const Point>) {
    return true;
}

HRGN NullGdi::CreateRectRgn(int, int, int, int) {
    return HandleOf<HRGN>(RegionKind);
}

HRGN NullGdi::CreatePolygonRgn(std::span<const Point>, int) {
    return HandleOf<HRGN>(RegionKind);
}

bool NullGdi::FillRgn(HDC, HRGN, HBRUSH) {
    return true;
}

bool NullGdi::RectInRegion(HRGN, const Rect&) {
    return true;
}

int NullGdi::FillRect(HDC, const Rect&, HBRUSH) {
    return 1;
}

ColorRef NullGdi::SetPixel(HDC, int, int, ColorRef color) {
    return color;
}

ColorRef NullGdi::GetPixel(HDC, int, int) {
    return Rgb(0, 0, 0);
}

int NullGdi::SetROP2(HDC, int) {
    return r2::CopyPen;
}

int NullGdi::SetBkMode(HDC, int) {
    return Opaque;
}

ColorRef NullGdi::SetBkColor(HDC, ColorRef) {
    return Rgb(255, 255, 255);
}

int NullGdi::GetDeviceCaps(HDC, int index) {
    switch (index) {
    case caps::HorzRes:
        return ScreenWidth;
    case caps::VertRes:
        return ScreenHeight;
    case caps::HorzSize:
        return Millimetres(ScreenWidth);
    case caps::VertSize:
        return Millimetres(ScreenHeight);
    case caps::LogPixelsX:
    case caps::LogPixelsY:
        return PixelsPerInch;
    default:
        return 0;
    }
}

HFONT NullGdi::CreateFontA(const FontRequest&) {
    return HandleOf<HFONT>(FontKind);
}

unsigned NullGdi::SetTextAlign(HDC, unsigned) {
    return ta::Left | ta::Top;
}

ColorRef NullGdi::SetTextColor(HDC, ColorRef) {
    return Rgb(0, 0, 0);
}

bool NullGdi::TextOutA(HDC, int, int, std::string_view) {
    return true;
}

bool NullGdi::GetTextExtentPoint32A(HDC, std::string_view text, Size* size) {
    if (size != nullptr) {
        const std::size_t length = std::min<std::size_t>(text.size(), ScreenWidth);
        *size = Size{static_cast<std::int32_t>(length) * CharWidth, CharHeight};
    }
    return true;
}

} // namespace platform
