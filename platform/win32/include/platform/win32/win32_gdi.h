// GDI through GDI32: every call passes straight to the Win32 function of its name.
#pragma once

#include "platform/gdi.h"

namespace platform {

class Win32Gdi final : public GdiService {
public:
    HDC CreateCompatibleDC(HDC reference) override;
    bool DeleteDC(HDC dc) override;
    HBITMAP CreateDIBSection(HDC reference, int width, int height) override;
    HPEN CreatePen(int style, int width, ColorRef color) override;
    HBRUSH CreateSolidBrush(ColorRef color) override;
    HGDIOBJ GetStockObject(int object) override;
    HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) override;
    bool DeleteObject(HGDIOBJ object) override;
    bool MoveToEx(HDC dc, int x, int y, Point* previous) override;
    bool LineTo(HDC dc, int x, int y) override;
    bool Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
             int yEnd) override;
    bool Ellipse(HDC dc, int left, int top, int right, int bottom) override;
    bool Polygon(HDC dc, std::span<const Point> points) override;
    HRGN CreateRectRgn(int left, int top, int right, int bottom) override;
    HRGN CreatePolygonRgn(std::span<const Point> points, int fillMode) override;
    bool FillRgn(HDC dc, HRGN region, HBRUSH brush) override;
    bool RectInRegion(HRGN region, const Rect& rect) override;
    int FillRect(HDC dc, const Rect& rect, HBRUSH brush) override;
    ColorRef SetPixel(HDC dc, int x, int y, ColorRef color) override;
    ColorRef GetPixel(HDC dc, int x, int y) override;
    int SetROP2(HDC dc, int mode) override;
    int SetBkMode(HDC dc, int mode) override;
    ColorRef SetBkColor(HDC dc, ColorRef color) override;
    int GetDeviceCaps(HDC dc, int index) override;
    HFONT CreateFontA(const FontRequest& font) override;
    unsigned SetTextAlign(HDC dc, unsigned align) override;
    ColorRef SetTextColor(HDC dc, ColorRef color) override;
    bool TextOutA(HDC dc, int x, int y, std::string_view text) override;
    bool GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) override;
    bool ExtTextOutA(HDC dc, int x, int y, unsigned options, const Rect* rect,
                     std::string_view text) override;
    int StretchDIBits(HDC dc, int xDest, int yDest, int widthDest, int heightDest, int xSource,
                      int ySource, int widthSource, int heightSource, const void* bits,
                      const void* info, unsigned rop) override;
    bool BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int xSource, int ySource,
                unsigned rop) override;
    HMETAFILE SetMetaFileBitsEx(std::span<const std::uint8_t> bytes) override;
    bool PlayMetaFile(HDC dc, HMETAFILE metafile) override;
    bool DeleteMetaFile(HMETAFILE metafile) override;
    int SetMapMode(HDC dc, int mode) override;
    bool SetWindowExtEx(HDC dc, int width, int height) override;
    bool SetViewportExtEx(HDC dc, int width, int height) override;
    bool SetViewportOrgEx(HDC dc, int x, int y) override;
};

} // namespace platform
