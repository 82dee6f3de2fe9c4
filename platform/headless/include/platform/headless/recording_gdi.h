// A GDI without pixels: records every call with its arguments so that tests can check
// the exact calls made, and answers the queries the drawing code depends on.
#pragma once

#include "platform/gdi.h"

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace platform {

/// Calls are recorded as text, e.g. "CreatePen(2, 1, 0x0000FF) -> pen1",
/// "SelectObject(dc1, pen1) -> blackpen", "MoveToEx(dc1, 10, 20)". Colours are
/// written as COLORREF in hexadecimal (0xBBGGRR); objects are named by kind and a
/// number counted per kind from 1 (dc1, pen1, brush1, rgn1, bmp1); stock objects by
/// name (blackpen, whitebrush, nullbrush, blackbrush, systemfont). Regions answer RectInRegion
/// from their bounding rectangle; pixels set with SetPixel are answered by GetPixel.
class RecordingGdi final : public GdiService {
public:
    RecordingGdi();
    ~RecordingGdi() override;

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
    /// Answers with a fixed cell: each character half the font height wide, the
    /// height the font's (12 without a font).
    bool GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) override;

    /// Every call in order.
    std::vector<std::string> Calls;
    /// Forgets the calls and numbers new objects from 1 again; objects that exist
    /// keep their names.
    void Restart();
    /// Not recorded: how many objects were made and not yet deleted (stock excluded).
    int LiveObjects() const;
    /// When set, CreatePen fails (returns null), as GDI does when out of resources.
    bool FailCreatePen = false;

private:
    struct Object {
        std::string Name;
        bool Stock = false;
        bool Deleted = false;
        bool IsDc = false;
        Rect Bounds;                                    ///< regions only
        std::map<std::pair<int, int>, ColorRef> Pixels; ///< device contexts only
        HGDIOBJ SelectedPen = nullptr;
        HGDIOBJ SelectedBrush = nullptr;
        HGDIOBJ SelectedBitmap = nullptr;
        HGDIOBJ SelectedFont = nullptr;
        int FontHeight = 0; ///< fonts only
        unsigned TextAlign = ta::Left | ta::Top;
        ColorRef TextColor = 0;
        int Rop2 = r2::CopyPen;
        int BkMode = Opaque;
        ColorRef BkColor = 0xFFFFFF;
        char Kind = 0; ///< 'p' pen, 'b' brush, 'r' region, 'm' bitmap, 'f' font
    };

    Object& Make(char kind, std::string prefix);
    static Object* Of(HGDIOBJ object) { return reinterpret_cast<Object*>(object); }
    static Object* Of(HDC dc) { return reinterpret_cast<Object*>(dc); }
    template <typename Typed = HGDIOBJ> static Typed Handle(Object& object) {
        return reinterpret_cast<Typed>(&object);
    }
    std::string NameOf(HGDIOBJ object) const;
    std::string NameOf(HDC dc) const;
    void Record(std::string call) { Calls.push_back(std::move(call)); }

    std::deque<Object> Objects;
    std::map<std::string, int> Counters;
    Object* BlackPen;
    Object* WhiteBrush;
    Object* BlackBrush;
    Object* NullBrush;
    Object* SystemFont;
};

} // namespace platform
