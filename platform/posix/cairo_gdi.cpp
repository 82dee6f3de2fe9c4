// GDI on cairo image surfaces.
#include "platform/posix/cairo_gdi.h"

#include "cairo_api.h"
#include "pixel_raster.h"
#include "platform/ansi_text.h"
#include "platform/metafile/wmf_player.h"
#include "platform/png_image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

namespace {

using raster::ToPixel;

struct CairoObject {
    /// The kinds a device context selects come first: they index its selection.
    enum class Kind { Pen, Brush, Bitmap, Font, Region };
    explicit CairoObject(Kind kind) : Type(kind) {}
    virtual ~CairoObject() = default;

    Kind Type;
    bool Stock = false;
    /// Selected into a device context: DeleteObject then waits until it is deselected.
    bool Selected = false;
    bool DeletePending = false;
    /// The next deleted object of the same kind waiting to be made again.
    CairoObject* NextFree = nullptr;
};

constexpr auto SelectableKinds = static_cast<std::size_t>(CairoObject::Kind::Region);

struct PenObject final : CairoObject {
    PenObject() : CairoObject(Kind::Pen) {}
    PenObject(int style, int width, ColorRef color)
        : CairoObject(Kind::Pen), Style(style), Width(width), Color(color) {}
    int Style = ps::Solid;
    int Width = 1;
    ColorRef Color = 0;
};

struct BrushObject final : CairoObject {
    BrushObject() : CairoObject(Kind::Brush) {}
    BrushObject(bool hollow, ColorRef color)
        : CairoObject(Kind::Brush), Hollow(hollow), Color(color) {}
    bool Hollow = false;
    ColorRef Color = 0;
};

struct RegionObject final : CairoObject {
    RegionObject() : CairoObject(Kind::Region) {}
    bool IsRect = true;
    Rect Rectangle; ///< rectangle regions only
    int FillMode = Alternate;
    /// Polygon regions only. A region made again keeps the room of its last corners,
    /// so the four-corner region of every solid stays out of the heap.
    std::vector<Point> Corners;
};

// Whether a rectangle, its corners in either order, overlaps the box.
bool Overlaps(const Rect& box, const Rect& rect) {
    return box.right > std::min(rect.left, rect.right) &&
           box.left < std::max(rect.left, rect.right) &&
           box.bottom > std::min(rect.top, rect.bottom) &&
           box.top < std::max(rect.top, rect.bottom);
}

struct BitmapObject final : CairoObject {
    explicit BitmapObject(UniqueSurface surface)
        : CairoObject(Kind::Bitmap), OwnedSurface(std::move(surface)),
          OwnedCairo(cairo_create(OwnedSurface.Get())) {
        cairo_surface_t* image = OwnedSurface.Get();
        Pixels.Pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(image));
        Pixels.Stride = cairo_image_surface_get_stride(image) / 4;
        Pixels.Width = cairo_image_surface_get_width(image);
        Pixels.Height = cairo_image_surface_get_height(image);
        cairo_set_antialias(OwnedCairo.Get(), CAIRO_ANTIALIAS_NONE);
    }

    cairo_surface_t* Surface() const { return OwnedSurface.Get(); }
    cairo_t* Cairo() const { return OwnedCairo.Get(); }

    // Declared after the surface, the context is destroyed before it.
    UniqueSurface OwnedSurface;
    UniqueCairo OwnedCairo;
    raster::Target Pixels;
};

// A logical font. Fontconfig resolves the face name (the metric-compatible Liberation
// faces stand in for Arial and Courier New).
struct FontObject final : CairoObject {
    explicit FontObject(const FontRequest& request)
        : CairoObject(Kind::Font), Height(request.Height), Escapement(request.Escapement),
          Weight(request.Weight), Italic(request.Italic), Face(request.FaceName.substr(0, 31)) {}
    int Height;
    int Escapement;
    int Weight;
    bool Italic;
    std::string Face;
};

std::unique_ptr<BitmapObject> MakeBitmap(int width, int height) {
    UniqueSurface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(surface.Get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<BitmapObject>(std::move(surface));
}

CairoObject* Of(HGDIOBJ object) {
    return reinterpret_cast<CairoObject*>(object);
}

/// The handle of an object, typed as the kind it is.
template <typename Typed = HGDIOBJ> Typed Handle(CairoObject* object) {
    return reinterpret_cast<Typed>(object);
}

struct DcObject {
    /// The selected pen, brush, bitmap and font, by kind.
    std::array<CairoObject*, SelectableKinds> Selection;
    std::unique_ptr<BitmapObject> DefaultBitmap;
    Point Position;
    unsigned TextAlign = ta::Left | ta::Top;
    ColorRef TextColor = 0;
    int Rop2 = r2::CopyPen;
    int BkMode = Opaque;
    ColorRef BkColor = 0xFFFFFF;
    /// The mapping metafiles are played with; other drawing is in pixels.
    metafile::Mapping Mapping;

    PenObject& Pen() const { return Selected<PenObject>(CairoObject::Kind::Pen); }
    BrushObject& Brush() const { return Selected<BrushObject>(CairoObject::Kind::Brush); }
    BitmapObject& Bitmap() const { return Selected<BitmapObject>(CairoObject::Kind::Bitmap); }
    FontObject& Font() const { return Selected<FontObject>(CairoObject::Kind::Font); }

private:
    template <typename Object> Object& Selected(CairoObject::Kind kind) const {
        return static_cast<Object&>(*Selection[static_cast<std::size_t>(kind)]);
    }
};

DcObject* Of(HDC dc) {
    return reinterpret_cast<DcObject*>(dc);
}

void SetSource(cairo_t* cairo, ColorRef color) {
    cairo_set_source_rgb(cairo, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                         ((color >> 16) & 0xFF) / 255.0);
}

// Cairo's fixed-point coordinates end near 8 million; shapes are cut to this margin
// around the image first, which leaves the visible part unchanged.
constexpr double GuardMargin = 64;

// A wide pen's line with round ends, cut to the image and its margin first.
void WideLine(BitmapObject& bitmap, Point from, Point to, int width, ColorRef color) {
    double margin = width + GuardMargin;
    double x0 = from.x, y0 = from.y, x1 = to.x, y1 = to.y;
    double t0 = 0, t1 = 1;
    double dx = x1 - x0, dy = y1 - y0;
    const double edges[4][2] = {{-dx, x0 + margin},
                                {dx, bitmap.Pixels.Width + margin - x0},
                                {-dy, y0 + margin},
                                {dy, bitmap.Pixels.Height + margin - y0}};
    for (const auto& [p, q] : edges) {
        if (p == 0) {
            if (q < 0) {
                return;
            }
            continue;
        }
        double t = q / p;
        if (p < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return;
    }
    cairo_t* cairo = bitmap.Cairo();
    cairo_surface_mark_dirty(bitmap.Surface());
    cairo_new_path(cairo);
    cairo_move_to(cairo, x0 + t0 * dx + 0.5, y0 + t0 * dy + 0.5);
    cairo_line_to(cairo, x0 + t1 * dx + 0.5, y0 + t1 * dy + 0.5);
    cairo_set_line_width(cairo, width);
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
    SetSource(cairo, color);
    cairo_stroke(cairo);
    cairo_surface_flush(bitmap.Surface());
}

bool FitsCairo(const Rect& box) {
    constexpr std::int32_t Limit = 1 << 22;
    return std::abs(box.left) < Limit && std::abs(box.right) < Limit && std::abs(box.top) < Limit &&
           std::abs(box.bottom) < Limit;
}

// A wide pen's ellipse or arc (counter-clockwise on the screen from `arc[0]` to `arc[1]`).
void WideEllipse(BitmapObject& bitmap, Rect box, const Point* arc, int width, ColorRef color) {
    if (!FitsCairo(box) || box.left == box.right || box.top == box.bottom) {
        return;
    }
    double cx = (box.left + box.right - 1) / 2.0 + 0.5;
    double cy = (box.top + box.bottom - 1) / 2.0 + 0.5;
    double rx = std::abs(box.right - box.left - 1) / 2.0;
    double ry = std::abs(box.bottom - box.top - 1) / 2.0;
    cairo_t* cairo = bitmap.Cairo();
    cairo_surface_mark_dirty(bitmap.Surface());
    cairo_new_path(cairo);
    cairo_save(cairo);
    cairo_translate(cairo, cx, cy);
    cairo_scale(cairo, std::max(rx, 0.5), std::max(ry, 0.5));
    if (arc == nullptr) {
        cairo_arc(cairo, 0, 0, 1, 0, 2 * M_PI);
    } else {
        // Screen angles grow upward; cairo's grow downward.
        double start = std::atan2(arc[0].y + 0.5 - cy, arc[0].x + 0.5 - cx);
        double end = std::atan2(arc[1].y + 0.5 - cy, arc[1].x + 0.5 - cx);
        cairo_arc_negative(cairo, 0, 0, 1, start, end == start ? start - 2 * M_PI : end);
    }
    cairo_restore(cairo);
    cairo_set_line_width(cairo, width);
    cairo_set_line_cap(cairo, CAIRO_LINE_CAP_ROUND);
    SetSource(cairo, color);
    cairo_stroke(cairo);
    cairo_surface_flush(bitmap.Surface());
}

raster::PenPaint PaintOf(const DcObject& dc) {
    return raster::PenPaint{ToPixel(dc.Pen().Color), ToPixel(dc.BkColor), dc.BkMode == Opaque,
                            dc.Pen().Style, dc.Rop2};
}

// Sets the dc's font on `cairo` at the size whose ascent plus descent is GDI's cell
// height (a positive font height) or whose em is the character height (a negative one).
cairo_font_extents_t SelectFont(cairo_t* cairo, const FontObject& font) {
    cairo_select_font_face(cairo, font.Face.c_str(),
                           font.Italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.Weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    UniqueFontOptions options(cairo_font_options_create());
    cairo_font_options_set_antialias(options.Get(), CAIRO_ANTIALIAS_NONE);
    cairo_font_options_set_hint_style(options.Get(), CAIRO_HINT_STYLE_FULL);
    // Unrounded metrics keep ascent plus descent at the cell height asked for.
    cairo_font_options_set_hint_metrics(options.Get(), CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cairo, options.Get());
    constexpr double ProbeSize = 1000;
    cairo_set_font_size(cairo, ProbeSize);
    cairo_font_extents_t extents;
    cairo_font_extents(cairo, &extents);
    double cellPerEm = (extents.ascent + extents.descent) / ProbeSize;
    if (!(cellPerEm > 0)) {
        cellPerEm = 1;
    }
    constexpr int DefaultCell = 16;
    double size = font.Height > 0   ? font.Height / cellPerEm
                  : font.Height < 0 ? -static_cast<double>(font.Height)
                                    : DefaultCell / cellPerEm;
    cairo_set_font_size(cairo, size);
    cairo_font_extents(cairo, &extents);
    return extents;
}

// The pens, brushes or regions a service made, alive or deleted. Deleted ones wait to
// be made again: the drawing pass makes and deletes a pen, brush or region for every
// entity, and reusing them spares the allocator a million round trips a redraw. It
// never holds more objects than were alive at once.
template <typename Object> class Pool {
public:
    /// The object deleted last, or a new one; the caller sets all its fields.
    Object& Make() {
        if (FirstFree == nullptr) {
            return Storage.emplace_back();
        }
        CairoObject* object = std::exchange(FirstFree, FirstFree->NextFree);
        return static_cast<Object&>(*object);
    }
    void Put(Object& object) { object.NextFree = std::exchange(FirstFree, &object); }

private:
    std::deque<Object> Storage;
    CairoObject* FirstFree = nullptr;
};

} // namespace

/// A standard metafile: its bytes, checked when it was made.
struct MetaFile {
    std::vector<std::uint8_t> Bytes;
};

struct CairoGdi::Stock {
    PenObject BlackPen{ps::Solid, 1, 0};
    BrushObject WhiteBrush{false, 0xFFFFFF};
    BrushObject BlackBrush{false, 0};
    BrushObject NullBrush{true, 0};
    // GDI's system font: a bold sans serif of 16 pixels.
    FontObject SystemFont{
        FontRequest{16, 0, 0, 0, 700, false, false, false, 0, 0, 0, 0, 0, "Arial"}};
    Stock() {
        BlackPen.Stock = WhiteBrush.Stock = BlackBrush.Stock = NullBrush.Stock = true;
        SystemFont.Stock = true;
    }

    Pool<PenObject> Pens;
    Pool<BrushObject> Brushes;
    Pool<RegionObject> Regions;
    /// Bitmaps and fonts, made seldom, freed when deleted.
    std::vector<std::unique_ptr<CairoObject>> Others;
    std::vector<std::unique_ptr<DcObject>> Dcs;
    std::vector<std::unique_ptr<MetaFile>> Metafiles;

    RegionObject& NewRegion() {
        RegionObject& region = Regions.Make();
        region.IsRect = true;
        region.FillMode = Alternate;
        region.Corners.clear();
        return region;
    }

    CairoObject* Keep(std::unique_ptr<CairoObject> object) {
        return Others.emplace_back(std::move(object)).get();
    }

    /// Frees an object that is selected nowhere.
    void Destroy(CairoObject* object) {
        // Tested in the order of how often the drawing pass deletes them.
        if (object->Type == CairoObject::Kind::Pen) {
            Pens.Put(static_cast<PenObject&>(*object));
        } else if (object->Type == CairoObject::Kind::Brush) {
            Brushes.Put(static_cast<BrushObject&>(*object));
        } else if (object->Type == CairoObject::Kind::Region) {
            Regions.Put(static_cast<RegionObject&>(*object));
        } else {
            std::erase_if(Others, [object](const auto& owned) { return owned.get() == object; });
        }
    }

    /// An object taken out of a device context; freed now if DeleteObject waited for it.
    void Release(CairoObject* object) {
        object->Selected = false;
        if (object->DeletePending) {
            object->DeletePending = false;
            Destroy(object);
        }
    }
};

namespace {
int LiveServices = 0;
bool SharedWithToolkit = false;
} // namespace

void CairoGdi::ShareCairoWithToolkit() {
    SharedWithToolkit = true;
}

CairoGdi::CairoGdi() : StockObjects(std::make_unique<Stock>()) {
    ++LiveServices;
}

CairoGdi::~CairoGdi() {
    // Objects the callers never deleted go first, while cairo is still whole.
    StockObjects.reset();
    // Cairo and fontconfig keep fonts and patterns in caches for the life of the
    // process; once the last service has gone nothing uses them, and releasing them
    // keeps the leak checkers of the test builds quiet.
    if (--LiveServices == 0 && !SharedWithToolkit) {
        cairo_debug_reset_static_data();
        FcFini();
    }
}

HDC CairoGdi::CreateCompatibleDC(HDC) {
    std::unique_ptr<BitmapObject> bitmap = MakeBitmap(1, 1);
    if (bitmap == nullptr) {
        return nullptr;
    }
    bitmap->Stock = true;
    bitmap->Selected = true;
    auto dc = std::make_unique<DcObject>();
    dc->Selection = {&StockObjects->BlackPen, &StockObjects->WhiteBrush, bitmap.get(),
                     &StockObjects->SystemFont};
    dc->DefaultBitmap = std::move(bitmap);
    return reinterpret_cast<HDC>(StockObjects->Dcs.emplace_back(std::move(dc)).get());
}

bool CairoGdi::DeleteDC(HDC dc) {
    if (dc == nullptr) {
        return false;
    }
    DcObject* state = Of(dc);
    for (CairoObject* object : state->Selection) {
        StockObjects->Release(object);
    }
    std::erase_if(StockObjects->Dcs, [state](const auto& owned) { return owned.get() == state; });
    return true;
}

HBITMAP CairoGdi::CreateDIBSection(HDC, int width, int height) {
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) {
        return nullptr;
    }
    std::unique_ptr<BitmapObject> bitmap = MakeBitmap(width, height);
    return bitmap == nullptr ? nullptr : Handle<HBITMAP>(StockObjects->Keep(std::move(bitmap)));
}

HPEN CairoGdi::CreatePen(int style, int width, ColorRef color) {
    PenObject& pen = StockObjects->Pens.Make();
    pen.Style = style;
    pen.Width = width;
    pen.Color = color & 0xFFFFFF;
    return Handle<HPEN>(&pen);
}

HBRUSH CairoGdi::CreateSolidBrush(ColorRef color) {
    BrushObject& brush = StockObjects->Brushes.Make();
    brush.Hollow = false;
    brush.Color = color & 0xFFFFFF;
    return Handle<HBRUSH>(&brush);
}

HGDIOBJ CairoGdi::GetStockObject(int object) {
    switch (object) {
    case stock::WhiteBrush:
        return Handle(&StockObjects->WhiteBrush);
    case stock::BlackBrush:
        return Handle(&StockObjects->BlackBrush);
    case stock::NullBrush:
        return Handle(&StockObjects->NullBrush);
    case stock::BlackPen:
        return Handle(&StockObjects->BlackPen);
    default:
        return nullptr;
    }
}

HGDIOBJ CairoGdi::SelectObject(HDC dc, HGDIOBJ object) {
    if (dc == nullptr || object == nullptr) {
        return nullptr;
    }
    CairoObject* selected = Of(object);
    if (selected->Type == CairoObject::Kind::Region) {
        return nullptr;
    }
    CairoObject*& slot = Of(dc)->Selection[static_cast<std::size_t>(selected->Type)];
    if (slot == selected) {
        return object;
    }
    // A bitmap can be selected into one device context at a time.
    if (selected->Type == CairoObject::Kind::Bitmap && selected->Selected) {
        return nullptr;
    }
    CairoObject* previous = std::exchange(slot, selected);
    selected->Selected = true;
    StockObjects->Release(previous);
    return Handle(previous);
}

bool CairoGdi::DeleteObject(HGDIOBJ object) {
    if (object == nullptr) {
        return false;
    }
    CairoObject* target = Of(object);
    if (target->Stock) {
        return true;
    }
    // GDI keeps an object that is still selected until it is deselected.
    if (target->Selected) {
        target->DeletePending = true;
        return true;
    }
    StockObjects->Destroy(target);
    return true;
}

bool CairoGdi::MoveToEx(HDC dc, int x, int y, Point* previous) {
    if (dc == nullptr) {
        return false;
    }
    if (previous != nullptr) {
        *previous = Of(dc)->Position;
    }
    Of(dc)->Position = Point{x, y};
    return true;
}

bool CairoGdi::LineTo(HDC dc, int x, int y) {
    if (dc == nullptr) {
        return false;
    }
    DcObject& state = *Of(dc);
    Point from = std::exchange(state.Position, Point{x, y});
    if (state.Pen().Width > 1 && state.Pen().Style != ps::Null) {
        WideLine(state.Bitmap(), from, Point{x, y}, state.Pen().Width, state.Pen().Color);
    } else {
        raster::CosmeticLine(state.Bitmap().Pixels, from, Point{x, y}, PaintOf(state));
    }
    return true;
}

bool CairoGdi::Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                   int xEnd, int yEnd) {
    if (dc == nullptr) {
        return false;
    }
    DcObject& state = *Of(dc);
    const Point arc[2] = {{xStart, yStart}, {xEnd, yEnd}};
    Rect box{left, top, right, bottom};
    if (state.Pen().Width > 1 && state.Pen().Style != ps::Null) {
        WideEllipse(state.Bitmap(), box, arc, state.Pen().Width, state.Pen().Color);
    } else {
        raster::EllipseOutline(state.Bitmap().Pixels, box, PaintOf(state), arc, nullptr);
    }
    return true;
}

bool CairoGdi::Ellipse(HDC dc, int left, int top, int right, int bottom) {
    if (dc == nullptr) {
        return false;
    }
    DcObject& state = *Of(dc);
    Rect box{left, top, right, bottom};
    std::uint32_t fill = ToPixel(state.Brush().Color);
    bool wide = state.Pen().Width > 1 && state.Pen().Style != ps::Null;
    raster::PenPaint pen = PaintOf(state);
    if (wide) {
        pen.Style = ps::Null;
    }
    raster::EllipseOutline(state.Bitmap().Pixels, box, pen, nullptr,
                           state.Brush().Hollow ? nullptr : &fill);
    if (wide) {
        WideEllipse(state.Bitmap(), box, nullptr, state.Pen().Width, state.Pen().Color);
    }
    return true;
}

bool CairoGdi::Polygon(HDC dc, std::span<const Point> points) {
    if (dc == nullptr || points.size() < 2) {
        return false;
    }
    DcObject& state = *Of(dc);
    if (!state.Brush().Hollow) {
        raster::FillPolygon(state.Bitmap().Pixels, points, false, ToPixel(state.Brush().Color));
    }
    if (state.Pen().Style == ps::Null) {
        return true;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        Point from = points[i];
        Point to = points[(i + 1) % points.size()];
        if (state.Pen().Width > 1) {
            WideLine(state.Bitmap(), from, to, state.Pen().Width, state.Pen().Color);
        } else {
            raster::CosmeticLine(state.Bitmap().Pixels, from, to, PaintOf(state));
        }
    }
    return true;
}

HRGN CairoGdi::CreateRectRgn(int left, int top, int right, int bottom) {
    RegionObject& region = StockObjects->NewRegion();
    region.Rectangle = Rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                            std::max(top, bottom)};
    return Handle<HRGN>(&region);
}

HRGN CairoGdi::CreatePolygonRgn(std::span<const Point> points, int fillMode) {
    if (points.size() < 3) {
        return nullptr;
    }
    RegionObject& region = StockObjects->NewRegion();
    region.IsRect = false;
    region.Corners.assign(points.begin(), points.end());
    region.FillMode = fillMode;
    return Handle<HRGN>(&region);
}

bool CairoGdi::FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    if (dc == nullptr || region == nullptr || brush == nullptr) {
        return false;
    }
    auto& area = static_cast<RegionObject&>(*Of(region));
    auto& paint = static_cast<BrushObject&>(*Of(brush));
    if (paint.Hollow) {
        return true;
    }
    BitmapObject& bitmap = Of(dc)->Bitmap();
    if (area.IsRect) {
        raster::FillRectangle(bitmap.Pixels, area.Rectangle, ToPixel(paint.Color));
    } else {
        raster::FillPolygon(bitmap.Pixels, area.Corners, area.FillMode == Winding,
                            ToPixel(paint.Color));
    }
    return true;
}

bool CairoGdi::RectInRegion(HRGN region, const Rect& rect) {
    if (region == nullptr) {
        return false;
    }
    const auto& area = static_cast<RegionObject&>(*Of(region));
    // A polygon region answers from its bounding box. The drawing pass asks only its
    // view rectangle, once for nearly every entity.
    if (!area.IsRect) [[unlikely]] {
        return Overlaps(BoundingBox(area.Corners), rect);
    }
    return Overlaps(area.Rectangle, rect);
}

int CairoGdi::FillRect(HDC dc, const Rect& rect, HBRUSH brush) {
    if (dc == nullptr || brush == nullptr) {
        return 0;
    }
    auto& paint = static_cast<BrushObject&>(*Of(brush));
    if (!paint.Hollow) {
        raster::FillRectangle(Of(dc)->Bitmap().Pixels, rect, ToPixel(paint.Color));
    }
    return 1;
}

ColorRef CairoGdi::SetPixel(HDC dc, int x, int y, ColorRef color) {
    if (dc == nullptr) {
        return ClrInvalid;
    }
    const raster::Target& pixels = Of(dc)->Bitmap().Pixels;
    if (x < 0 || y < 0 || x >= pixels.Width || y >= pixels.Height) {
        return ClrInvalid;
    }
    pixels.At(x, y) = ToPixel(color);
    return color & 0xFFFFFF;
}

int CairoGdi::StretchDIBits(HDC dc, int xDest, int yDest, int widthDest, int heightDest,
                            int xSource, int ySource, int widthSource, int heightSource,
                            const void* bits, const void* info, unsigned rop) {
    if (dc == nullptr || bits == nullptr || info == nullptr || widthDest <= 0 || heightDest <= 0 ||
        widthSource <= 0 || heightSource <= 0 || (rop != rop::SrcCopy && rop != rop::SrcPaint)) {
        return 0;
    }
    const auto* header = static_cast<const std::uint8_t*>(info);
    auto word = [&](std::size_t at, int bytes) {
        std::uint32_t value = 0;
        for (int i = bytes - 1; i >= 0; --i) {
            value = (value << 8) | header[at + i];
        }
        return value;
    };
    const std::uint32_t headerSize = word(0, 4);
    const bool core = headerSize == 12;
    const std::int32_t width =
        core ? static_cast<std::int32_t>(word(4, 2)) : static_cast<std::int32_t>(word(4, 4));
    std::int32_t height =
        core ? static_cast<std::int32_t>(word(6, 2)) : static_cast<std::int32_t>(word(8, 4));
    const std::uint32_t bitCount = word(core ? 10 : 14, 2);
    const bool topDown = height < 0;
    height = topDown ? -height : height;
    if ((!core && word(16, 4) != 0) || width <= 0 || height <= 0 ||
        (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)) {
        return 0;
    }
    std::uint32_t colours =
        core || word(32, 4) == 0 ? (bitCount <= 8 ? 1u << bitCount : 0) : word(32, 4);
    const std::uint8_t* palette = header + headerSize;
    const std::size_t entry = core ? 3 : 4;
    const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
    const auto* rows = static_cast<const std::uint8_t*>(bits);
    auto colourAt = [&](std::int32_t x, std::int32_t y) -> ColorRef {
        // Rows count from the bottom unless the bitmap is top-down.
        const std::uint8_t* row =
            rows + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
        std::uint32_t index = 0;
        switch (bitCount) {
        case 1:
            index = (row[x / 8] >> (7 - x % 8)) & 1;
            break;
        case 4:
            index = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF;
            break;
        case 8:
            index = row[x];
            break;
        default: {
            const std::uint8_t* pixel = row + static_cast<std::size_t>(x) * (bitCount / 8);
            return Rgb(pixel[2], pixel[1], pixel[0]);
        }
        }
        if (index >= colours) {
            return 0;
        }
        const std::uint8_t* colour = palette + index * entry;
        return Rgb(colour[2], colour[1], colour[0]);
    };
    const raster::Target& pixels = Of(dc)->Bitmap().Pixels;
    // ySource counts from the bottom row, as Windows takes it for bottom-up bitmaps.
    const std::int32_t sourceTop = topDown ? ySource : height - ySource - heightSource;
    // Only the rows and columns that land on the bitmap are visited: a picture far
    // larger than the surface costs no more than one that fits.
    const int lastRow = std::min(heightDest, pixels.Height - std::min(yDest, pixels.Height));
    const int lastColumn = std::min(widthDest, pixels.Width - std::min(xDest, pixels.Width));
    for (int dy = std::max(0, -yDest); dy < lastRow; ++dy) {
        const int y = yDest + dy;
        const std::int32_t sy =
            sourceTop + static_cast<std::int32_t>(std::int64_t{dy} * heightSource / heightDest);
        if (y < 0 || y >= pixels.Height || sy < 0 || sy >= height) {
            continue;
        }
        for (int dx = std::max(0, -xDest); dx < lastColumn; ++dx) {
            const int x = xDest + dx;
            const std::int32_t sx =
                xSource + static_cast<std::int32_t>(std::int64_t{dx} * widthSource / widthDest);
            if (x < 0 || x >= pixels.Width || sx < 0 || sx >= width) {
                continue;
            }
            ColorRef colour = colourAt(sx, sy);
            if (rop == rop::SrcPaint) {
                colour |= raster::ToColorRef(pixels.At(x, y));
            }
            pixels.At(x, y) = ToPixel(colour);
        }
    }
    return heightDest;
}

ColorRef CairoGdi::GetPixel(HDC dc, int x, int y) {
    if (dc == nullptr) {
        return ClrInvalid;
    }
    const raster::Target& pixels = Of(dc)->Bitmap().Pixels;
    if (x < 0 || y < 0 || x >= pixels.Width || y >= pixels.Height) {
        return ClrInvalid;
    }
    return raster::ToColorRef(pixels.At(x, y));
}

int CairoGdi::SetROP2(HDC dc, int mode) {
    if (dc == nullptr || mode < r2::Black || mode > r2::White) {
        return 0;
    }
    return std::exchange(Of(dc)->Rop2, mode);
}

int CairoGdi::SetBkMode(HDC dc, int mode) {
    if (dc == nullptr || (mode != Transparent && mode != Opaque)) {
        return 0;
    }
    return std::exchange(Of(dc)->BkMode, mode);
}

ColorRef CairoGdi::SetBkColor(HDC dc, ColorRef color) {
    if (dc == nullptr) {
        return ClrInvalid;
    }
    return std::exchange(Of(dc)->BkColor, color & 0xFFFFFF);
}

int CairoGdi::GetDeviceCaps(HDC dc, int index) {
    if (dc == nullptr) {
        return 0;
    }
    const raster::Target& pixels = Of(dc)->Bitmap().Pixels;
    switch (index) {
    case caps::HorzRes:
        return pixels.Width;
    case caps::VertRes:
        return pixels.Height;
    case caps::HorzSize:
        return static_cast<int>(std::lround(pixels.Width * 25.4 / 96));
    case caps::VertSize:
        return static_cast<int>(std::lround(pixels.Height * 25.4 / 96));
    case caps::LogPixelsX:
    case caps::LogPixelsY:
        return 96;
    default:
        return 0;
    }
}

cairo_surface_t* CairoGdi::SurfaceOf(HDC dc) {
    return dc == nullptr ? nullptr : Of(dc)->Bitmap().Surface();
}

void CairoGdi::BeginCairo(HDC dc) {
    cairo_surface_mark_dirty(SurfaceOf(dc));
}

void CairoGdi::EndCairo(HDC dc) {
    cairo_surface_flush(SurfaceOf(dc));
}

bool CairoGdi::WritePng(HDC dc, const std::string& fileName) {
    if (dc == nullptr) {
        return false;
    }
    cairo_surface_t* surface = SurfaceOf(dc);
    cairo_surface_flush(surface);
    return WritePngFile(fileName, PixelRows{.Pixels = cairo_image_surface_get_data(surface),
                                            .Width = cairo_image_surface_get_width(surface),
                                            .Height = cairo_image_surface_get_height(surface),
                                            .Stride = static_cast<std::size_t>(
                                                cairo_image_surface_get_stride(surface))});
}

HFONT CairoGdi::CreateFontA(const FontRequest& font) {
    return Handle<HFONT>(StockObjects->Keep(std::make_unique<FontObject>(font)));
}

unsigned CairoGdi::SetTextAlign(HDC dc, unsigned align) {
    return dc == nullptr ? 0 : std::exchange(Of(dc)->TextAlign, align);
}

ColorRef CairoGdi::SetTextColor(HDC dc, ColorRef color) {
    return dc == nullptr ? ClrInvalid : std::exchange(Of(dc)->TextColor, color & 0xFFFFFF);
}

bool CairoGdi::TextOutA(HDC dc, int x, int y, std::string_view text) {
    if (dc == nullptr) {
        return false;
    }
    const DcObject& state = *Of(dc);
    BitmapObject& bitmap = state.Bitmap();
    // Only here does the text leave code page 1252: cairo takes UTF-8.
    std::string utf8 = AnsiToUtf8(text);
    cairo_t* cairo = bitmap.Cairo();
    cairo_surface_mark_dirty(bitmap.Surface());
    cairo_save(cairo);
    cairo_font_extents_t font = SelectFont(cairo, state.Font());
    cairo_text_extents_t extents;
    cairo_text_extents(cairo, utf8.c_str(), &extents);
    double width = extents.x_advance;
    double left = 0;
    if ((state.TextAlign & ta::Center) == ta::Center) {
        left = -width / 2;
    } else if ((state.TextAlign & ta::Center) == ta::Right) {
        left = -width;
    }
    double baseline = font.ascent;
    if ((state.TextAlign & ta::Baseline) == ta::Baseline) {
        baseline = 0;
    } else if ((state.TextAlign & ta::Baseline) == ta::Bottom) {
        baseline = -font.descent;
    }
    cairo_translate(cairo, x, y);
    // Escapement turns counter-clockwise on the screen, where Y grows downward.
    cairo_rotate(cairo, -state.Font().Escapement * M_PI / 1800);
    if (state.BkMode == Opaque) {
        cairo_rectangle(cairo, left, baseline - font.ascent, width, font.ascent + font.descent);
        SetSource(cairo, state.BkColor);
        cairo_fill(cairo);
    }
    SetSource(cairo, state.TextColor);
    cairo_move_to(cairo, left, baseline);
    cairo_show_text(cairo, utf8.c_str());
    cairo_restore(cairo);
    cairo_surface_flush(bitmap.Surface());
    return true;
}

bool CairoGdi::GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) {
    if (dc == nullptr || size == nullptr) {
        return false;
    }
    const DcObject& state = *Of(dc);
    cairo_t* cairo = state.Bitmap().Cairo();
    cairo_save(cairo);
    cairo_font_extents_t font = SelectFont(cairo, state.Font());
    cairo_text_extents_t extents;
    cairo_text_extents(cairo, AnsiToUtf8(text).c_str(), &extents);
    cairo_restore(cairo);
    size->cx = static_cast<std::int32_t>(std::lround(extents.x_advance));
    size->cy = static_cast<std::int32_t>(std::lround(font.ascent + font.descent));
    return true;
}

HMETAFILE CairoGdi::SetMetaFileBitsEx(std::span<const std::uint8_t> bytes) {
    if (!metafile::CheckWmf(bytes).empty()) {
        return nullptr;
    }
    auto made = std::make_unique<MetaFile>();
    made->Bytes.assign(bytes.begin(), bytes.end());
    return StockObjects->Metafiles.emplace_back(std::move(made)).get();
}

bool CairoGdi::PlayMetaFile(HDC dc, HMETAFILE picture) {
    if (dc == nullptr || picture == nullptr) {
        return false;
    }
    return metafile::PlayWmf(*this, dc, picture->Bytes, Of(dc)->Mapping).empty();
}

bool CairoGdi::DeleteMetaFile(HMETAFILE picture) {
    return std::erase_if(StockObjects->Metafiles,
                         [picture](const auto& owned) { return owned.get() == picture; }) != 0;
}

int CairoGdi::SetMapMode(HDC dc, int mode) {
    if (dc == nullptr || mode < mm::Text || mode > mm::Anisotropic) {
        return 0;
    }
    return std::exchange(Of(dc)->Mapping.Mode, mode);
}

bool CairoGdi::SetWindowExtEx(HDC dc, int width, int height) {
    if (dc == nullptr || width == 0 || height == 0) {
        return false;
    }
    Of(dc)->Mapping.WindowExt = {width, height};
    return true;
}

bool CairoGdi::SetViewportExtEx(HDC dc, int width, int height) {
    if (dc == nullptr || width == 0 || height == 0) {
        return false;
    }
    Of(dc)->Mapping.ViewportExt = {width, height};
    return true;
}

bool CairoGdi::SetViewportOrgEx(HDC dc, int x, int y) {
    if (dc == nullptr) {
        return false;
    }
    Of(dc)->Mapping.ViewportOrg = {x, y};
    return true;
}

} // namespace platform
