// A GDI that records every call.
#include "platform/headless/recording_gdi.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

std::string Hex(ColorRef color) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", static_cast<unsigned>(color));
    return text;
}

std::string Points(std::span<const Point> points) {
    std::string text;
    for (const Point& point : points) {
        text += ", " + std::to_string(point.x) + ", " + std::to_string(point.y);
    }
    return text;
}

Rect Normalized(const Rect& rect) {
    return Rect{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}

} // namespace

RecordingGdi::RecordingGdi() {
    auto stockObject = [this](std::string name, char kind) {
        Object& object = Objects.emplace_back();
        object.Name = std::move(name);
        object.Stock = true;
        object.Kind = kind;
        return &object;
    };
    BlackPen = stockObject("blackpen", 'p');
    WhiteBrush = stockObject("whitebrush", 'b');
    BlackBrush = stockObject("blackbrush", 'b');
    NullBrush = stockObject("nullbrush", 'b');
    SystemFont = stockObject("systemfont", 'f');
}

RecordingGdi::~RecordingGdi() = default;

void RecordingGdi::Restart() {
    Calls.clear();
    Counters.clear();
    Counters["dc"] = static_cast<int>(
        std::count_if(Objects.begin(), Objects.end(), [](const Object& o) { return o.IsDc; }));
}

RecordingGdi::Object& RecordingGdi::Make(char kind, std::string prefix) {
    int number = ++Counters[prefix];
    Object& object = Objects.emplace_back();
    object.Name = prefix + std::to_string(number);
    object.Kind = kind;
    return object;
}

std::string RecordingGdi::NameOf(HGDIOBJ object) const {
    return object == nullptr ? "null" : Of(object)->Name;
}

std::string RecordingGdi::NameOf(HDC dc) const {
    return dc == nullptr ? "null" : Of(dc)->Name;
}

int RecordingGdi::LiveObjects() const {
    return static_cast<int>(std::count_if(Objects.begin(), Objects.end(), [](const Object& o) {
        return !o.Stock && !o.Deleted && !o.IsDc;
    }));
}

HDC RecordingGdi::CreateCompatibleDC(HDC reference) {
    Object& dc = Make('d', "dc");
    dc.IsDc = true;
    dc.SelectedPen = Handle(*BlackPen);
    dc.SelectedBrush = Handle(*WhiteBrush);
    dc.SelectedFont = Handle(*SystemFont);
    Record("CreateCompatibleDC(" + NameOf(reference) + ") -> " + dc.Name);
    return reinterpret_cast<HDC>(&dc);
}

bool RecordingGdi::DeleteDC(HDC dc) {
    Record("DeleteDC(" + NameOf(dc) + ")");
    if (dc == nullptr || Of(dc)->Deleted) {
        return false;
    }
    Of(dc)->Deleted = true;
    return true;
}

HBITMAP RecordingGdi::CreateDIBSection(HDC reference, int width, int height) {
    Object& bitmap = Make('m', "bmp");
    Record("CreateDIBSection(" + NameOf(reference) + ", " + std::to_string(width) + ", " +
           std::to_string(height) + ") -> " + bitmap.Name);
    return Handle<HBITMAP>(bitmap);
}

HPEN RecordingGdi::CreatePen(int style, int width, ColorRef color) {
    std::string call = "CreatePen(" + std::to_string(style) + ", " + std::to_string(width) + ", " +
                       Hex(color) + ")";
    if (FailCreatePen) {
        Record(call + " -> null");
        return nullptr;
    }
    Object& pen = Make('p', "pen");
    Record(call + " -> " + pen.Name);
    return Handle<HPEN>(pen);
}

HBRUSH RecordingGdi::CreateSolidBrush(ColorRef color) {
    Object& brush = Make('b', "brush");
    Record("CreateSolidBrush(" + Hex(color) + ") -> " + brush.Name);
    return Handle<HBRUSH>(brush);
}

HGDIOBJ RecordingGdi::GetStockObject(int object) {
    Object* stockObject = nullptr;
    switch (object) {
    case stock::WhiteBrush:
        stockObject = WhiteBrush;
        break;
    case stock::BlackBrush:
        stockObject = BlackBrush;
        break;
    case stock::NullBrush:
        stockObject = NullBrush;
        break;
    case stock::BlackPen:
        stockObject = BlackPen;
        break;
    }
    Record("GetStockObject(" + std::to_string(object) + ") -> " +
           (stockObject ? stockObject->Name : "null"));
    return stockObject ? Handle(*stockObject) : nullptr;
}

HGDIOBJ RecordingGdi::SelectObject(HDC dc, HGDIOBJ object) {
    std::string call = "SelectObject(" + NameOf(dc) + ", " + NameOf(object) + ")";
    HGDIOBJ previous = nullptr;
    if (dc != nullptr && object != nullptr && !Of(object)->Deleted) {
        HGDIOBJ* slot = nullptr;
        switch (Of(object)->Kind) {
        case 'p':
            slot = &Of(dc)->SelectedPen;
            break;
        case 'b':
            slot = &Of(dc)->SelectedBrush;
            break;
        case 'm':
            slot = &Of(dc)->SelectedBitmap;
            break;
        case 'f':
            slot = &Of(dc)->SelectedFont;
            break;
        }
        if (slot != nullptr) {
            previous = std::exchange(*slot, object);
        }
    }
    Record(call + " -> " + NameOf(previous));
    return previous;
}

bool RecordingGdi::DeleteObject(HGDIOBJ object) {
    Record("DeleteObject(" + NameOf(object) + ")");
    if (object == nullptr || Of(object)->Deleted) {
        return false;
    }
    if (!Of(object)->Stock) {
        Of(object)->Deleted = true;
    }
    return true;
}

bool RecordingGdi::MoveToEx(HDC dc, int x, int y, Point*) {
    Record("MoveToEx(" + NameOf(dc) + ", " + std::to_string(x) + ", " + std::to_string(y) + ")");
    return true;
}

bool RecordingGdi::LineTo(HDC dc, int x, int y) {
    Record("LineTo(" + NameOf(dc) + ", " + std::to_string(x) + ", " + std::to_string(y) + ")");
    return true;
}

bool RecordingGdi::Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                       int xEnd, int yEnd) {
    Record("Arc(" + NameOf(dc) +
           Points(std::array{Point{left, top}, Point{right, bottom}, Point{xStart, yStart},
                             Point{xEnd, yEnd}}) +
           ")");
    return true;
}

bool RecordingGdi::Ellipse(HDC dc, int left, int top, int right, int bottom) {
    Record("Ellipse(" + NameOf(dc) + Points(std::array{Point{left, top}, Point{right, bottom}}) +
           ")");
    return true;
}

bool RecordingGdi::Polygon(HDC dc, std::span<const Point> points) {
    Record("Polygon(" + NameOf(dc) + Points(points) + ")");
    return true;
}

HRGN RecordingGdi::CreateRectRgn(int left, int top, int right, int bottom) {
    Object& region = Make('r', "rgn");
    region.Bounds = Normalized(Rect{left, top, right, bottom});
    Record("CreateRectRgn(" + std::to_string(left) + ", " + std::to_string(top) + ", " +
           std::to_string(right) + ", " + std::to_string(bottom) + ") -> " + region.Name);
    return Handle<HRGN>(region);
}

HRGN RecordingGdi::CreatePolygonRgn(std::span<const Point> points, int fillMode) {
    Object& region = Make('r', "rgn");
    if (!points.empty()) {
        region.Bounds = BoundingBox(points);
    }
    std::string call = "CreatePolygonRgn(" + Points(points).substr(points.empty() ? 0 : 2) + ", " +
                       std::to_string(fillMode) + ")";
    Record(call + " -> " + region.Name);
    return Handle<HRGN>(region);
}

bool RecordingGdi::FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    Record("FillRgn(" + NameOf(dc) + ", " + NameOf(region) + ", " + NameOf(brush) + ")");
    return true;
}

bool RecordingGdi::RectInRegion(HRGN region, const Rect& rect) {
    Record("RectInRegion(" + NameOf(region) + ", " + std::to_string(rect.left) + ", " +
           std::to_string(rect.top) + ", " + std::to_string(rect.right) + ", " +
           std::to_string(rect.bottom) + ")");
    if (region == nullptr || Of(region)->Deleted) {
        return false;
    }
    const Rect& bounds = Of(region)->Bounds;
    Rect tested = Normalized(rect);
    return bounds.right > tested.left && bounds.left < tested.right && bounds.bottom > tested.top &&
           bounds.top < tested.bottom;
}

int RecordingGdi::FillRect(HDC dc, const Rect& rect, HBRUSH brush) {
    Record("FillRect(" + NameOf(dc) + ", " + std::to_string(rect.left) + ", " +
           std::to_string(rect.top) + ", " + std::to_string(rect.right) + ", " +
           std::to_string(rect.bottom) + ", " + NameOf(brush) + ")");
    return 1;
}

ColorRef RecordingGdi::SetPixel(HDC dc, int x, int y, ColorRef color) {
    Record("SetPixel(" + NameOf(dc) + ", " + std::to_string(x) + ", " + std::to_string(y) + ", " +
           Hex(color) + ")");
    if (dc == nullptr) {
        return ClrInvalid;
    }
    Of(dc)->Pixels[{x, y}] = color;
    return color;
}

ColorRef RecordingGdi::GetPixel(HDC dc, int x, int y) {
    if (dc == nullptr) {
        return ClrInvalid;
    }
    auto found = Of(dc)->Pixels.find({x, y});
    return found == Of(dc)->Pixels.end() ? ClrInvalid : found->second;
}

int RecordingGdi::SetROP2(HDC dc, int mode) {
    Record("SetROP2(" + NameOf(dc) + ", " + std::to_string(mode) + ")");
    return dc == nullptr ? 0 : std::exchange(Of(dc)->Rop2, mode);
}

int RecordingGdi::SetBkMode(HDC dc, int mode) {
    Record("SetBkMode(" + NameOf(dc) + ", " + std::to_string(mode) + ")");
    return dc == nullptr ? 0 : std::exchange(Of(dc)->BkMode, mode);
}

ColorRef RecordingGdi::SetBkColor(HDC dc, ColorRef color) {
    Record("SetBkColor(" + NameOf(dc) + ", " + Hex(color) + ")");
    return dc == nullptr ? ClrInvalid : std::exchange(Of(dc)->BkColor, color);
}

int RecordingGdi::GetDeviceCaps(HDC, int index) {
    switch (index) {
    case caps::LogPixelsX:
    case caps::LogPixelsY:
        return 96;
    default:
        return 0;
    }
}

HFONT RecordingGdi::CreateFontA(const FontRequest& font) {
    Object& made = Make('f', "font");
    made.FontHeight = font.Height;
    auto number = [](long value) { return std::to_string(value); };
    Record("CreateFontA(" + number(font.Height) + ", " + number(font.Width) + ", " +
           number(font.Escapement) + ", " + number(font.Orientation) + ", " + number(font.Weight) +
           ", " + number(font.Italic) + ", " + number(font.Underline) + ", " +
           number(font.StrikeOut) + ", " + number(font.CharSet) + ", " + number(font.OutPrecision) +
           ", " + number(font.ClipPrecision) + ", " + number(font.Quality) + ", " +
           number(font.PitchAndFamily) + ", \"" + std::string(font.FaceName) + "\") -> " +
           made.Name);
    return Handle<HFONT>(made);
}

unsigned RecordingGdi::SetTextAlign(HDC dc, unsigned align) {
    Record("SetTextAlign(" + NameOf(dc) + ", " + std::to_string(align) + ")");
    return dc == nullptr ? 0 : std::exchange(Of(dc)->TextAlign, align);
}

ColorRef RecordingGdi::SetTextColor(HDC dc, ColorRef color) {
    Record("SetTextColor(" + NameOf(dc) + ", " + Hex(color) + ")");
    return dc == nullptr ? ClrInvalid : std::exchange(Of(dc)->TextColor, color);
}

bool RecordingGdi::TextOutA(HDC dc, int x, int y, std::string_view text) {
    Record("TextOutA(" + NameOf(dc) + ", " + std::to_string(x) + ", " + std::to_string(y) + ", \"" +
           std::string(text) + "\", " + std::to_string(text.size()) + ")");
    return dc != nullptr;
}

bool RecordingGdi::GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) {
    if (dc == nullptr || size == nullptr) {
        return false;
    }
    const Object* font = Of(Of(dc)->SelectedFont);
    int height = font != nullptr && font->FontHeight != 0 ? std::abs(font->FontHeight) : 12;
    size->cx = static_cast<std::int32_t>(text.size()) * (height / 2);
    size->cy = height;
    return true;
}

} // namespace platform
