// GDI on cairo image surfaces for Linux: memory device contexts over 24-bit bitmaps,
// drawn without antialiasing so that every pixel has exactly the colour drawn.
#pragma once

#include "platform/gdi.h"

#include <memory>
#include <string>

using cairo_surface_t = struct _cairo_surface;

namespace platform {

/// GDI's geometry rules as far as a picture shows them: an Ellipse or Arc box excludes
/// its right and bottom edge, LineTo does not paint its end pixel, width-1 pens draw
/// the five stock dash styles pixel by pixel (gaps in the background colour while the
/// background mode is OPAQUE), Arc runs counter-clockwise as seen on the screen, and
/// polygons and polygon regions fill by the ALTERNATE or WINDING rule, taking each pixel
/// whose top-left corner is inside (points on left and top edges in, on right and bottom
/// edges out). Width-1 pens also honour SetROP2; solid fills, wide pens and text are
/// drawn with R2_COPYPEN, wide pens and text by cairo.
class CairoGdi final : public GdiService {
public:
    CairoGdi();
    ~CairoGdi() override;
    CairoGdi(const CairoGdi&) = delete;
    CairoGdi& operator=(const CairoGdi&) = delete;

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
    /// Uncompressed bitmaps of 1, 4, 8, 24 and 32 bits, nearest pixel, rop::SrcCopy or
    /// rop::SrcPaint.
    int StretchDIBits(HDC dc, int xDest, int yDest, int widthDest, int heightDest, int xSource,
                      int ySource, int widthSource, int heightSource, const void* bits,
                      const void* info, unsigned rop) override;
    /// Standard metafiles, played by our own player in the mapping of the device
    /// context; the mapping modes touch nothing else drawn.
    HMETAFILE SetMetaFileBitsEx(std::span<const std::uint8_t> bytes) override;
    bool PlayMetaFile(HDC dc, HMETAFILE picture) override;
    bool DeleteMetaFile(HMETAFILE picture) override;
    int SetMapMode(HDC dc, int mode) override;
    bool SetWindowExtEx(HDC dc, int width, int height) override;
    bool SetViewportExtEx(HDC dc, int width, int height) override;
    bool SetViewportOrgEx(HDC dc, int x, int y) override;

    /// The cairo surface of the bitmap selected into `dc` (owned by the bitmap), for
    /// drawing text and writing files. Callers draw between BeginCairo and EndCairo.
    cairo_surface_t* SurfaceOf(HDC dc);
    /// Hands the pixels to cairo (after direct pixel work) and back again.
    void BeginCairo(HDC dc);
    void EndCairo(HDC dc);
    /// Keeps cairo's and fontconfig's process-wide caches when the last service goes,
    /// for a process in which a toolkit draws with cairo too.
    static void ShareCairoWithToolkit();
    /// Writes the bitmap selected into `dc` as a PNG file. False when it cannot.
    bool WritePng(HDC dc, const std::string& fileName);

private:
    struct Stock;
    std::unique_ptr<Stock> StockObjects;
};

} // namespace platform
