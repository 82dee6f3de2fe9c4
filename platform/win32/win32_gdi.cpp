// GDI through GDI32.
#include "platform/win32/win32_gdi.h"

#include "win32_api.h"

#include <string>

namespace platform {

namespace {

static_assert(sizeof(Point) == sizeof(POINT) && sizeof(Rect) == sizeof(RECT),
              "points and rectangles pass to GDI32 as they are");

::HDC Native(HDC dc) {
    return reinterpret_cast<::HDC>(dc);
}

::HGDIOBJ Native(HGDIOBJ object) {
    return reinterpret_cast<::HGDIOBJ>(object);
}

template <typename Typed = HGDIOBJ> Typed Ours(::HGDIOBJ object) {
    return reinterpret_cast<Typed>(object);
}

const POINT* Native(std::span<const Point> points) {
    return reinterpret_cast<const POINT*>(points.data());
}

} // namespace

HDC Win32Gdi::CreateCompatibleDC(HDC reference) {
    return reinterpret_cast<HDC>(::CreateCompatibleDC(Native(reference)));
}

bool Win32Gdi::DeleteDC(HDC dc) {
    return ::DeleteDC(Native(dc)) != FALSE;
}

HBITMAP Win32Gdi::CreateDIBSection(HDC reference, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return Ours<HBITMAP>(
        ::CreateDIBSection(Native(reference), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

HPEN Win32Gdi::CreatePen(int style, int width, ColorRef color) {
    return Ours<HPEN>(::CreatePen(style, width, color));
}

HBRUSH Win32Gdi::CreateSolidBrush(ColorRef color) {
    return Ours<HBRUSH>(::CreateSolidBrush(color));
}

HGDIOBJ Win32Gdi::GetStockObject(int object) {
    return Ours(::GetStockObject(object));
}

HGDIOBJ Win32Gdi::SelectObject(HDC dc, HGDIOBJ object) {
    return Ours(::SelectObject(Native(dc), Native(object)));
}

bool Win32Gdi::DeleteObject(HGDIOBJ object) {
    return ::DeleteObject(Native(object)) != FALSE;
}

bool Win32Gdi::MoveToEx(HDC dc, int x, int y, Point* previous) {
    return ::MoveToEx(Native(dc), x, y, reinterpret_cast<POINT*>(previous)) != FALSE;
}

bool Win32Gdi::LineTo(HDC dc, int x, int y) {
    return ::LineTo(Native(dc), x, y) != FALSE;
}

bool Win32Gdi::Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                   int xEnd, int yEnd) {
    return ::Arc(Native(dc), left, top, right, bottom, xStart, yStart, xEnd, yEnd) != FALSE;
}

bool Win32Gdi::Ellipse(HDC dc, int left, int top, int right, int bottom) {
    return ::Ellipse(Native(dc), left, top, right, bottom) != FALSE;
}

bool Win32Gdi::Polygon(HDC dc, std::span<const Point> points) {
    return ::Polygon(Native(dc), Native(points), static_cast<int>(points.size())) != FALSE;
}

HRGN Win32Gdi::CreateRectRgn(int left, int top, int right, int bottom) {
    return Ours<HRGN>(::CreateRectRgn(left, top, right, bottom));
}

HRGN Win32Gdi::CreatePolygonRgn(std::span<const Point> points, int fillMode) {
    return Ours<HRGN>(
        ::CreatePolygonRgn(Native(points), static_cast<int>(points.size()), fillMode));
}

bool Win32Gdi::FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    return ::FillRgn(Native(dc), reinterpret_cast<::HRGN>(region),
                     reinterpret_cast<::HBRUSH>(brush)) != FALSE;
}

bool Win32Gdi::RectInRegion(HRGN region, const Rect& rect) {
    return ::RectInRegion(reinterpret_cast<::HRGN>(region), reinterpret_cast<const RECT*>(&rect)) !=
           FALSE;
}

int Win32Gdi::FillRect(HDC dc, const Rect& rect, HBRUSH brush) {
    return ::FillRect(Native(dc), reinterpret_cast<const RECT*>(&rect),
                      reinterpret_cast<::HBRUSH>(brush));
}

ColorRef Win32Gdi::SetPixel(HDC dc, int x, int y, ColorRef color) {
    return ::SetPixel(Native(dc), x, y, color);
}

ColorRef Win32Gdi::GetPixel(HDC dc, int x, int y) {
    return ::GetPixel(Native(dc), x, y);
}

int Win32Gdi::SetROP2(HDC dc, int mode) {
    return ::SetROP2(Native(dc), mode);
}

int Win32Gdi::SetBkMode(HDC dc, int mode) {
    return ::SetBkMode(Native(dc), mode);
}

ColorRef Win32Gdi::SetBkColor(HDC dc, ColorRef color) {
    return ::SetBkColor(Native(dc), color);
}

int Win32Gdi::GetDeviceCaps(HDC dc, int index) {
    return ::GetDeviceCaps(Native(dc), index);
}

HFONT Win32Gdi::CreateFontA(const FontRequest& font) {
    std::string face(font.FaceName.substr(0, LF_FACESIZE - 1));
    return Ours<HFONT>(::CreateFontA(font.Height, font.Width, font.Escapement, font.Orientation,
                                     font.Weight, font.Italic, font.Underline, font.StrikeOut,
                                     font.CharSet, font.OutPrecision, font.ClipPrecision,
                                     font.Quality, font.PitchAndFamily, face.c_str()));
}

unsigned Win32Gdi::SetTextAlign(HDC dc, unsigned align) {
    UINT previous = ::SetTextAlign(Native(dc), align);
    return previous == GDI_ERROR ? 0 : previous;
}

ColorRef Win32Gdi::SetTextColor(HDC dc, ColorRef color) {
    return ::SetTextColor(Native(dc), color);
}

bool Win32Gdi::TextOutA(HDC dc, int x, int y, std::string_view text) {
    return ::TextOutA(Native(dc), x, y, text.data(), static_cast<int>(text.size())) != FALSE;
}

bool Win32Gdi::GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) {
    static_assert(sizeof(Size) == sizeof(SIZE), "sizes pass to GDI32 as they are");
    return ::GetTextExtentPoint32A(Native(dc), text.data(), static_cast<int>(text.size()),
                                   reinterpret_cast<SIZE*>(size)) != FALSE;
}

bool Win32Gdi::ExtTextOutA(HDC dc, int x, int y, unsigned options, const Rect* rect,
                           std::string_view text) {
    return ::ExtTextOutA(Native(dc), x, y, options, reinterpret_cast<const RECT*>(rect),
                         text.data(), static_cast<UINT>(text.size()), nullptr) != FALSE;
}

int Win32Gdi::StretchDIBits(HDC dc, int xDest, int yDest, int widthDest, int heightDest,
                            int xSource, int ySource, int widthSource, int heightSource,
                            const void* bits, const void* info, unsigned rop) {
    return ::StretchDIBits(Native(dc), xDest, yDest, widthDest, heightDest, xSource, ySource,
                           widthSource, heightSource, bits, static_cast<const BITMAPINFO*>(info),
                           DIB_RGB_COLORS, rop);
}

bool Win32Gdi::BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int xSource,
                      int ySource, unsigned rop) {
    return ::BitBlt(Native(dc), x, y, width, height, Native(source), xSource, ySource, rop) !=
           FALSE;
}

HMETAFILE Win32Gdi::SetMetaFileBitsEx(std::span<const std::uint8_t> bytes) {
    return reinterpret_cast<HMETAFILE>(
        ::SetMetaFileBitsEx(static_cast<UINT>(bytes.size()), bytes.data()));
}

bool Win32Gdi::PlayMetaFile(HDC dc, HMETAFILE metafile) {
    return ::PlayMetaFile(Native(dc), reinterpret_cast<::HMETAFILE>(metafile)) != FALSE;
}

bool Win32Gdi::DeleteMetaFile(HMETAFILE metafile) {
    return ::DeleteMetaFile(reinterpret_cast<::HMETAFILE>(metafile)) != FALSE;
}

int Win32Gdi::SetMapMode(HDC dc, int mode) {
    return ::SetMapMode(Native(dc), mode);
}

bool Win32Gdi::SetWindowExtEx(HDC dc, int width, int height) {
    return ::SetWindowExtEx(Native(dc), width, height, nullptr) != FALSE;
}

bool Win32Gdi::SetViewportExtEx(HDC dc, int width, int height) {
    return ::SetViewportExtEx(Native(dc), width, height, nullptr) != FALSE;
}

bool Win32Gdi::SetViewportOrgEx(HDC dc, int x, int y) {
    return ::SetViewportOrgEx(Native(dc), x, y, nullptr) != FALSE;
}

} // namespace platform
