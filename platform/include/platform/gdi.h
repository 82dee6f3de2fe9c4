// Device contexts, pens, brushes, regions, lines, arcs, ellipses, polygons and pixels,
// with the Win32 GDI names and meanings of the calls the drawing code makes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

/// RGB colour in the Win32 COLORREF layout 0x00BBGGRR.
using ColorRef = std::uint32_t;

constexpr ColorRef Rgb(unsigned red, unsigned green, unsigned blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

/// What GetPixel and SetPixel return for a pixel outside the surface (CLR_INVALID).
inline constexpr ColorRef ClrInvalid = 0xFFFFFFFF;

/// A device context (HDC). Handles belong to the GdiService that made them.
struct DeviceContext;
using HDC = DeviceContext*;

/// A GDI object (HGDIOBJ): pen, brush, region, bitmap or font. Each kind has its own
/// handle type, so that a pen does not pass where a brush belongs; every one of them
/// converts to HGDIOBJ, which SelectObject, DeleteObject and GetStockObject take and
/// return. An HGDIOBJ known to be of one kind (a stock brush) is static_cast to it.
/// The types are never made: a handle is only ever the address its service gave.
struct GdiObject {};
struct GdiPen : GdiObject {};
struct GdiBrush : GdiObject {};
struct GdiRegion : GdiObject {};
struct GdiBitmap : GdiObject {};
struct GdiFont : GdiObject {};
using HGDIOBJ = GdiObject*;
using HPEN = GdiPen*;
using HBRUSH = GdiBrush*;
using HRGN = GdiRegion*;
using HBITMAP = GdiBitmap*;
using HFONT = GdiFont*;
/// A standard metafile in memory (HMETAFILE), as the service gives it.
struct MetaFile;
using HMETAFILE = MetaFile*;

/// POINT: pixel coordinates, Y axis down.
struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

/// RECT: pixel coordinates; a well-formed rectangle has left <= right, top <= bottom,
/// and excludes its right column and bottom row.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

/// The smallest rectangle holding every point, its right and bottom edges through
/// the outermost points; `points` must not be empty.
inline Rect BoundingBox(std::span<const Point> points) {
    Rect box{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const Point& point : points) {
        box.left = point.x < box.left ? point.x : box.left;
        box.top = point.y < box.top ? point.y : box.top;
        box.right = point.x > box.right ? point.x : box.right;
        box.bottom = point.y > box.bottom ? point.y : box.bottom;
    }
    return box;
}

/// Pen styles of CreatePen, with their Win32 values.
namespace ps {
inline constexpr int Solid = 0;
inline constexpr int Dash = 1;
inline constexpr int Dot = 2;
inline constexpr int DashDot = 3;
inline constexpr int DashDotDot = 4;
inline constexpr int Null = 5;
} // namespace ps

/// SIZE: a width and height in pixels.
struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

/// Text alignment flags of SetTextAlign, with their Win32 values.
namespace ta {
inline constexpr unsigned Left = 0;
inline constexpr unsigned Right = 2;
inline constexpr unsigned Center = 6;
inline constexpr unsigned Top = 0;
inline constexpr unsigned Bottom = 8;
inline constexpr unsigned Baseline = 24;
} // namespace ta

/// The logical font of CreateFontA, in the order of its arguments.
struct FontRequest {
    int Height = 0;     ///< > 0: cell height, < 0: character height, in pixels
    int Width = 0;      ///< 0: the face's own proportions
    int Escapement = 0; ///< tenths of a degree, counter-clockwise on the screen
    int Orientation = 0;
    int Weight = 0;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    unsigned CharSet = 0;
    unsigned OutPrecision = 0;
    unsigned ClipPrecision = 0;
    unsigned Quality = 0;
    unsigned PitchAndFamily = 0;
    std::string_view FaceName; ///< at most 31 characters are used
};

/// Polygon fill modes of CreatePolygonRgn.
inline constexpr int Alternate = 1;
inline constexpr int Winding = 2;

/// Mix modes of SetROP2 (a binary raster operation of pen P and destination D).
namespace r2 {
inline constexpr int Black = 1;
inline constexpr int Not = 6;        ///< ~D
inline constexpr int XorPen = 7;     ///< P ^ D
inline constexpr int NotXorPen = 10; ///< ~(P ^ D)
inline constexpr int CopyPen = 13;   ///< P, the default
inline constexpr int White = 16;
} // namespace r2

/// Background modes of SetBkMode: whether the gaps of dashed pens are filled.
inline constexpr int Transparent = 1;
inline constexpr int Opaque = 2;

/// Raster operations of StretchDIBits and BitBlt, with their Win32 values.
namespace rop {
inline constexpr unsigned SrcCopy = 0x00CC0020;
inline constexpr unsigned SrcPaint = 0x00EE0086; ///< source OR destination
} // namespace rop

/// Options of ExtTextOutA, with their Win32 values.
namespace eto {
inline constexpr unsigned Opaque = 0x2;
inline constexpr unsigned Clipped = 0x4;
} // namespace eto

/// Mapping modes of SetMapMode.
namespace mm {
inline constexpr int Text = 1;
inline constexpr int Anisotropic = 8;
} // namespace mm

/// Stock objects of GetStockObject.
namespace stock {
inline constexpr int WhiteBrush = 0;
inline constexpr int BlackBrush = 4;
inline constexpr int NullBrush = 5;
inline constexpr int BlackPen = 7;
} // namespace stock

/// Indexes of GetDeviceCaps.
namespace caps {
inline constexpr int HorzSize = 4; ///< millimetres
inline constexpr int VertSize = 6; ///< millimetres
inline constexpr int HorzRes = 8;  ///< pixels
inline constexpr int VertRes = 10; ///< pixels
inline constexpr int LogPixelsX = 88;
inline constexpr int LogPixelsY = 90;
} // namespace caps

/// The GDI calls of the control and its surfaces. Each implementation keeps Win32's
/// results: null handles and FALSE on failure, nothing thrown. A fresh device context
/// has GDI's defaults: the stock black pen, the stock white brush, R2_COPYPEN,
/// OPAQUE background in white, current position (0, 0).
class GdiService {
public:
    virtual ~GdiService() = default;

    /// A memory device context with a 1 x 1 bitmap selected; free it with DeleteDC.
    virtual HDC CreateCompatibleDC(HDC reference) = 0;
    virtual bool DeleteDC(HDC dc) = 0;
    /// A top-down 32-bit RGB bitmap of width x height pixels, all black, to select
    /// into a memory device context. The pixels are read back with GetPixel.
    virtual HBITMAP CreateDIBSection(HDC reference, int width, int height) = 0;

    /// A cosmetic pen for width 0 or 1, else a geometric pen with round ends.
    virtual HPEN CreatePen(int style, int width, ColorRef color) = 0;
    virtual HBRUSH CreateSolidBrush(ColorRef color) = 0;
    /// Stock objects are never deleted; DeleteObject on one does nothing.
    virtual HGDIOBJ GetStockObject(int object) = 0;
    /// Selects a pen, brush or bitmap and returns the one it replaces; null on failure.
    /// Selecting a region sets the clipping region and returns its complexity instead
    /// (not used by the drawing code, and not offered).
    virtual HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) = 0;
    /// Frees an object that is not selected into a device context.
    virtual bool DeleteObject(HGDIOBJ object) = 0;

    virtual bool MoveToEx(HDC dc, int x, int y, Point* previous) = 0;
    /// Draws from the current position up to, but not including, (x, y), which
    /// becomes the current position.
    virtual bool LineTo(HDC dc, int x, int y) = 0;
    /// The ellipse inscribed in the box, drawn counter-clockwise as seen on the screen
    /// from where the ray from its centre through the start point meets it to where
    /// the ray through the end point does. The box excludes its right and bottom edge.
    virtual bool Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                     int xEnd, int yEnd) = 0;
    /// Outline with the current pen, inside with the current brush.
    virtual bool Ellipse(HDC dc, int left, int top, int right, int bottom) = 0;
    /// Closed outline with the current pen, inside (ALTERNATE) with the current brush.
    virtual bool Polygon(HDC dc, std::span<const Point> points) = 0;

    virtual HRGN CreateRectRgn(int left, int top, int right, int bottom) = 0;
    virtual HRGN CreatePolygonRgn(std::span<const Point> points, int fillMode) = 0;
    virtual bool FillRgn(HDC dc, HRGN region, HBRUSH brush) = 0;
    /// True when any part of the rectangle, taken with its corners in either order,
    /// lies within the region.
    virtual bool RectInRegion(HRGN region, const Rect& rect) = 0;
    /// Fills the rectangle (right column and bottom row excluded) with the brush.
    virtual int FillRect(HDC dc, const Rect& rect, HBRUSH brush) = 0;

    /// Returns the colour set, or ClrInvalid outside the surface.
    virtual ColorRef SetPixel(HDC dc, int x, int y, ColorRef color) = 0;
    /// Returns the pixel's colour, or ClrInvalid outside the surface.
    virtual ColorRef GetPixel(HDC dc, int x, int y) = 0;

    /// Returns the previous mix mode (an r2:: value), 0 on failure.
    virtual int SetROP2(HDC dc, int mode) = 0;
    /// Returns the previous background mode, 0 on failure.
    virtual int SetBkMode(HDC dc, int mode) = 0;
    /// Returns the previous background colour.
    virtual ColorRef SetBkColor(HDC dc, ColorRef color) = 0;
    virtual int GetDeviceCaps(HDC dc, int index) = 0;

    /// A logical font; null on failure. Selected like a pen.
    virtual HFONT CreateFontA(const FontRequest& font) = 0;
    /// Returns the previous alignment (ta:: flags).
    virtual unsigned SetTextAlign(HDC dc, unsigned align) = 0;
    /// Returns the previous text colour.
    virtual ColorRef SetTextColor(HDC dc, ColorRef color) = 0;
    /// Draws code page 1252 text with the selected font, the text colour and the
    /// background mode, at the reference point the alignment names.
    virtual bool TextOutA(HDC dc, int x, int y, std::string_view text) = 0;
    /// The width and height of code page 1252 text in the selected font.
    virtual bool GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) = 0;
    /// TextOutA within a rectangle: with eto::Opaque the rectangle is first filled with
    /// the background colour, with eto::Clipped nothing is drawn outside it. Surfaces
    /// without clipping keep this default, which fills and draws the whole text.
    virtual bool ExtTextOutA(HDC dc, int x, int y, unsigned options, const Rect* rect,
                             std::string_view text) {
        if (rect != nullptr && (options & eto::Opaque) != 0) {
            const ColorRef back = SetBkColor(dc, 0);
            SetBkColor(dc, back);
            HBRUSH brush = CreateSolidBrush(back);
            FillRect(dc, *rect, brush);
            DeleteObject(brush);
        }
        return TextOutA(dc, x, y, text);
    }

    // Pictures: bitmaps and standard metafiles. The surfaces that cannot show them keep
    // these defaults, which draw nothing and fail.

    /// Copies the source rectangle of a packed device-independent bitmap (`info`: its
    /// BITMAPINFO; `bits`: its pixel rows) onto the destination rectangle, stretched,
    /// with a rop:: raster operation. Returns the rows drawn, 0 on failure.
    virtual int StretchDIBits(HDC, int /*xDest*/, int /*yDest*/, int /*widthDest*/,
                              int /*heightDest*/, int /*xSource*/, int /*ySource*/,
                              int /*widthSource*/, int /*heightSource*/, const void* /*bits*/,
                              const void* /*info*/, unsigned /*rop*/) {
        return 0;
    }
    virtual bool BitBlt(HDC, int /*x*/, int /*y*/, int /*width*/, int /*height*/, HDC /*source*/,
                        int /*xSource*/, int /*ySource*/, unsigned /*rop*/) {
        return false;
    }
    /// A metafile from the bytes of a standard metafile (no placeable header).
    virtual HMETAFILE SetMetaFileBitsEx(std::span<const std::uint8_t> /*bytes*/) { return nullptr; }
    virtual bool PlayMetaFile(HDC, HMETAFILE) { return false; }
    virtual bool DeleteMetaFile(HMETAFILE) { return false; }
    /// Returns the previous mapping mode, 0 on failure.
    virtual int SetMapMode(HDC, int /*mode*/) { return 0; }
    virtual bool SetWindowExtEx(HDC, int /*width*/, int /*height*/) { return false; }
    virtual bool SetViewportExtEx(HDC, int /*width*/, int /*height*/) { return false; }
    virtual bool SetViewportOrgEx(HDC, int /*x*/, int /*y*/) { return false; }
};

} // namespace platform
