// WMF records: a size in 16-bit words (at least 3), a function number, then 16-bit
// parameters. Points are mapped here, so the GDI underneath draws in plain pixels.
#include "platform/metafile/wmf_player.h"

#include "wmf_functions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace platform::metafile {

namespace {

constexpr std::size_t HeaderBytes = 18;
constexpr std::size_t RecordHeaderBytes = 6;
/// Pixels beyond this distance from the origin are held at it, far outside any surface.
constexpr double FarthestPixel = 1 << 24;

std::uint16_t U16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return U16(bytes, at) | static_cast<std::uint32_t>(U16(bytes, at + 2)) << 16;
}

/// The parameters of one record, read by word.
struct Record {
    std::uint16_t Function = 0;
    std::span<const std::uint8_t> Params;

    std::size_t Words() const { return Params.size() / 2; }
    bool Has(std::size_t words) const { return Words() >= words; }
    unsigned U(std::size_t word) const { return U16(Params, word * 2); }
    int S(std::size_t word) const { return static_cast<std::int16_t>(U(word)); }
    std::uint32_t L(std::size_t word) const { return U32(Params, word * 2); }
    ColorRef Color(std::size_t word) const { return L(word) & 0xFFFFFF; }
};

/// Calls `visit` with each record up to the end-of-file record; empty or the reason the
/// bytes are not a whole metafile.
template <typename Visit> std::string Walk(std::span<const std::uint8_t> bytes, Visit&& visit) {
    if (bytes.size() > MostWmfBytes) {
        return "the metafile is larger than a picture can be";
    }
    if (bytes.size() < HeaderBytes) {
        return "the metafile is shorter than its header";
    }
    if (U16(bytes, 0) != 1 && U16(bytes, 0) != 2) {
        return "the data is not a metafile";
    }
    if (U16(bytes, 2) != HeaderBytes / 2) {
        return "the metafile header is not 9 words long";
    }
    std::size_t at = HeaderBytes;
    while (at < bytes.size()) {
        if (bytes.size() - at < RecordHeaderBytes) {
            return "the metafile is cut short inside a record";
        }
        const std::uint32_t words = U32(bytes, at);
        if (words < RecordHeaderBytes / 2) {
            return "a metafile record is shorter than a record header";
        }
        if (words > (bytes.size() - at) / 2) {
            return "a metafile record runs past the end of the metafile";
        }
        Record record{U16(bytes, at + 4),
                      bytes.subspan(at + RecordHeaderBytes, words * 2 - RecordHeaderBytes)};
        if (record.Function == meta::Eof) {
            return {};
        }
        std::string error = visit(record);
        if (!error.empty()) {
            return error;
        }
        at += std::size_t{words} * 2;
    }
    return {}; // ended on a record boundary without the end record: taken as whole
}

/// Where the pixel rows of a packed bitmap start, when the whole bitmap lies in `dib`
/// and is of a kind StretchDIBits draws; nullopt for kinds not drawn; an error string
/// when the bitmap is cut short.
struct DibLayout {
    std::size_t BitsOffset = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

std::variant<std::monostate, DibLayout, std::string> ReadDib(std::span<const std::uint8_t> dib) {
    const std::string cut = "a bitmap in the metafile is cut short";
    if (dib.size() < 12) {
        return cut;
    }
    const std::uint32_t headerSize = U32(dib, 0);
    const bool core = headerSize == 12;
    if (!core && (headerSize < 40 || headerSize > 124)) {
        return std::monostate{};
    }
    if (dib.size() < headerSize) {
        return cut;
    }
    const std::int64_t width = core ? U16(dib, 4) : static_cast<std::int32_t>(U32(dib, 4));
    std::int64_t height = core ? U16(dib, 6) : static_cast<std::int32_t>(U32(dib, 8));
    height = height < 0 ? -height : height;
    const unsigned bitCount = U16(dib, core ? 10 : 14);
    const std::uint32_t used = core ? 0 : U32(dib, 32);
    if ((!core && U32(dib, 16) != 0) || width <= 0 || width > 32767 || height <= 0 ||
        height > 32767 || used > 65536 ||
        (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)) {
        return std::monostate{};
    }
    const std::uint64_t colours = used != 0 ? used : (bitCount <= 8 ? 1u << bitCount : 0);
    const std::uint64_t offset = headerSize + colours * (core ? 3 : 4);
    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
    if (offset + stride * static_cast<std::uint64_t>(height) > dib.size()) {
        return cut;
    }
    return DibLayout{static_cast<std::size_t>(offset), static_cast<std::int32_t>(width),
                     static_cast<std::int32_t>(height)};
}

class Player {
public:
    Player(GdiService& gdi, HDC dc, const Mapping& mapping) : Gdi(gdi), Dc(dc), Map(mapping) {}
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
    ~Player() { Finish(); }

    void SizeTable(std::size_t objects) { Table.resize(objects); }
    std::string Play(const Record& record);

private:
    enum Kind { Pen, Brush, Font, Other, Kinds = Other };
    struct Slot {
        HGDIOBJ Handle = nullptr;
        Kind Type = Other;
        bool Used = false;
    };

    std::string Need(const Record& record, std::size_t words) const;
    std::string Create(Kind kind, HGDIOBJ handle);
    std::string Select(unsigned index);
    std::string Delete(unsigned index);
    void SelectInto(Kind kind, HGDIOBJ handle);
    void Finish();

    std::int32_t Scaled(std::int64_t value, std::int32_t viewport, std::int32_t window) const;
    Point At(int x, int y) const {
        return {Scaled(std::int64_t{x} - Map.WindowOrg.x, Map.ViewportExt.cx, Map.WindowExt.cx) +
                    Map.ViewportOrg.x,
                Scaled(std::int64_t{y} - Map.WindowOrg.y, Map.ViewportExt.cy, Map.WindowExt.cy) +
                    Map.ViewportOrg.y};
    }
    /// A length along x or y, its sign kept.
    int Width(int w) const { return std::abs(Scaled(w, Map.ViewportExt.cx, Map.WindowExt.cx)); }
    int Height(int h) const {
        const int scaled = std::abs(Scaled(h, Map.ViewportExt.cy, Map.WindowExt.cy));
        return h < 0 ? -scaled : scaled;
    }
    /// The box of a record's left, top, right, bottom (given bottom first at `word`).
    Rect Box(const Record& record, std::size_t word) const {
        const Point a = At(record.S(word + 3), record.S(word + 2));
        const Point b = At(record.S(word + 1), record.S(word));
        return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    std::vector<Point> Points(const Record& record, std::size_t word, std::size_t count) const;
    void DrawPolygon(std::span<const Point> points);
    void ArcShape(const Record& record, bool pie);
    void RoundRect(const Record& record);
    std::string Text(const Record& record, bool extended);
    std::string Bitmap(const Record& record);

    GdiService& Gdi;
    HDC Dc;
    Mapping Map;
    std::vector<Slot> Table;
    /// What the metafile found selected, set back at the end, and what is selected now.
    std::array<std::optional<HGDIOBJ>, Kinds> Original;
    std::array<HGDIOBJ, Kinds> Current{};
    int FillMode = Alternate;
    std::optional<int> OldBkMode;
    std::optional<int> OldRop2;
    std::optional<ColorRef> OldBkColor;
    std::optional<ColorRef> OldTextColor;
    std::optional<unsigned> OldAlign;
    std::optional<Point> OldPosition;
};

std::int32_t Player::Scaled(std::int64_t value, std::int32_t viewport, std::int32_t window) const {
    double scaled = static_cast<double>(value);
    if (Map.Mode == mm::Anisotropic && window != 0) {
        scaled = scaled * viewport / window;
    }
    return static_cast<std::int32_t>(
        std::lround(std::clamp(scaled, -FarthestPixel, FarthestPixel)));
}

std::string Player::Need(const Record& record, std::size_t words) const {
    if (record.Has(words)) {
        return {};
    }
    return "a metafile record of function 0x" +
           std::string{"0123456789ABCDEF"[record.Function >> 12 & 0xF],
                       "0123456789ABCDEF"[record.Function >> 8 & 0xF],
                       "0123456789ABCDEF"[record.Function >> 4 & 0xF],
                       "0123456789ABCDEF"[record.Function & 0xF]} +
           " is too short for its parameters";
}

std::string Player::Create(Kind kind, HGDIOBJ handle) {
    // A new object takes the lowest free place of the table.
    auto free = std::find_if(Table.begin(), Table.end(), [](const Slot& s) { return !s.Used; });
    if (free == Table.end()) {
        if (handle != nullptr) {
            Gdi.DeleteObject(handle);
        }
        return "the metafile makes more objects than its table holds";
    }
    *free = Slot{handle, kind, true};
    return {};
}

void Player::SelectInto(Kind kind, HGDIOBJ handle) {
    if (handle == nullptr) {
        return;
    }
    HGDIOBJ previous = Gdi.SelectObject(Dc, handle);
    if (previous == nullptr) {
        return;
    }
    if (!Original[kind]) {
        Original[kind] = previous;
    }
    Current[kind] = handle;
}

std::string Player::Select(unsigned index) {
    if (index >= Table.size()) {
        return "a metafile record names object " + std::to_string(index) +
               ", beyond the metafile's table";
    }
    const Slot& slot = Table[index];
    if (slot.Used && slot.Type != Other) {
        SelectInto(slot.Type, slot.Handle);
    }
    return {};
}

std::string Player::Delete(unsigned index) {
    if (index >= Table.size()) {
        return "a metafile record deletes object " + std::to_string(index) +
               ", beyond the metafile's table";
    }
    Slot& slot = Table[index];
    if (!slot.Used) {
        return {};
    }
    // A selected object cannot be deleted: what the metafile found goes back first.
    if (slot.Type != Other && Current[slot.Type] == slot.Handle && Original[slot.Type]) {
        Gdi.SelectObject(Dc, *Original[slot.Type]);
        Current[slot.Type] = *Original[slot.Type];
    }
    if (slot.Handle != nullptr) {
        Gdi.DeleteObject(slot.Handle);
    }
    slot = Slot{};
    return {};
}

void Player::Finish() {
    for (int kind = 0; kind < Kinds; ++kind) {
        if (Original[kind]) {
            Gdi.SelectObject(Dc, *Original[kind]);
        }
    }
    for (Slot& slot : Table) {
        if (slot.Used && slot.Handle != nullptr) {
            Gdi.DeleteObject(slot.Handle);
        }
    }
    Table.clear();
    if (OldBkMode) {
        Gdi.SetBkMode(Dc, *OldBkMode);
    }
    if (OldRop2) {
        Gdi.SetROP2(Dc, *OldRop2);
    }
    if (OldBkColor) {
        Gdi.SetBkColor(Dc, *OldBkColor);
    }
    if (OldTextColor) {
        Gdi.SetTextColor(Dc, *OldTextColor);
    }
    if (OldAlign) {
        Gdi.SetTextAlign(Dc, *OldAlign);
    }
    if (OldPosition) {
        Gdi.MoveToEx(Dc, OldPosition->x, OldPosition->y, nullptr);
    }
}

std::vector<Point> Player::Points(const Record& record, std::size_t word, std::size_t count) const {
    std::vector<Point> points;
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        points.push_back(At(record.S(word + 2 * i), record.S(word + 2 * i + 1)));
    }
    return points;
}

void Player::DrawPolygon(std::span<const Point> points) {
    if (points.empty()) {
        return;
    }
    HGDIOBJ brush = Current[Brush];
    if (FillMode != Winding || brush == nullptr) {
        Gdi.Polygon(Dc, points);
        return;
    }
    // Polygon fills by the alternate rule: a winding fill goes through a region, then
    // the outline is drawn with a hollow brush.
    HRGN region = Gdi.CreatePolygonRgn(points, Winding);
    if (region != nullptr) {
        Gdi.FillRgn(Dc, region, static_cast<HBRUSH>(brush));
        Gdi.DeleteObject(region);
    }
    Gdi.SelectObject(Dc, Gdi.GetStockObject(stock::NullBrush));
    Gdi.Polygon(Dc, points);
    Gdi.SelectObject(Dc, brush);
}

// Pie and chord: the arc from the start ray to the end ray, counter-clockwise on the
// screen, closed through the centre or straight across.
void Player::ArcShape(const Record& record, bool pie) {
    const Rect box = Box(record, 4);
    const Point start = At(record.S(3), record.S(2));
    const Point end = At(record.S(1), record.S(0));
    const double cx = (box.left + box.right) / 2.0;
    const double cy = (box.top + box.bottom) / 2.0;
    const double rx = (box.right - box.left) / 2.0;
    const double ry = (box.bottom - box.top) / 2.0;
    const double from = std::atan2(cy - start.y, start.x - cx);
    double to = std::atan2(cy - end.y, end.x - cx);
    if (to <= from) {
        to += 2 * std::numbers::pi;
    }
    constexpr int Steps = 64;
    std::vector<Point> points;
    for (int i = 0; i <= Steps; ++i) {
        const double angle = from + (to - from) * i / Steps;
        points.push_back({static_cast<std::int32_t>(std::lround(cx + rx * std::cos(angle))),
                          static_cast<std::int32_t>(std::lround(cy - ry * std::sin(angle)))});
    }
    if (pie) {
        points.push_back({static_cast<std::int32_t>(std::lround(cx)),
                          static_cast<std::int32_t>(std::lround(cy))});
    }
    Gdi.Polygon(Dc, points);
}

// A rectangle whose corners are quarters of an ellipse of the given width and height.
void Player::RoundRect(const Record& record) {
    const Rect box = Box(record, 2);
    const double rx = std::min(Width(record.S(1)), box.right - box.left) / 2.0;
    const double ry = std::min(std::abs(Height(record.S(0))), box.bottom - box.top) / 2.0;
    const double right = box.right - 1;
    const double bottom = box.bottom - 1;
    const std::array<std::array<double, 3>, 4> corners = {{{right - rx, box.top + ry, 0},
                                                           {box.left + rx, box.top + ry, 1},
                                                           {box.left + rx, bottom - ry, 2},
                                                           {right - rx, bottom - ry, 3}}};
    constexpr int Steps = 8;
    std::vector<Point> points;
    for (const auto& corner : corners) {
        for (int i = 0; i <= Steps; ++i) {
            const double angle =
                (corner[2] + static_cast<double>(i) / Steps) * std::numbers::pi / 2;
            points.push_back(
                {static_cast<std::int32_t>(std::lround(corner[0] + rx * std::cos(angle))),
                 static_cast<std::int32_t>(std::lround(corner[1] - ry * std::sin(angle)))});
        }
    }
    Gdi.Polygon(Dc, points);
}

std::string Player::Text(const Record& record, bool extended) {
    // TextOut: count, characters, y, x. ExtTextOut: y, x, count, options, [rectangle],
    // characters, [advances].
    const std::size_t countWord = extended ? 2 : 0;
    if (std::string error = Need(record, countWord + 1); !error.empty()) {
        return error;
    }
    const std::size_t count = record.U(countWord);
    unsigned options = 0;
    std::size_t textWord = 1;
    if (extended) {
        if (std::string error = Need(record, 4); !error.empty()) {
            return error;
        }
        options = record.U(3) & (eto::Opaque | eto::Clipped);
        textWord = options != 0 ? 8 : 4;
    }
    if (std::string error = Need(record, textWord + (count + 1) / 2 + (extended ? 0 : 2));
        !error.empty()) {
        return error;
    }
    std::string text(reinterpret_cast<const char*>(record.Params.data() + textWord * 2), count);
    const std::size_t placeWord = extended ? 0 : textWord + (count + 1) / 2;
    const Point at = At(record.S(placeWord + 1), record.S(placeWord));
    if (!extended) {
        Gdi.TextOutA(Dc, at.x, at.y, text);
        return {};
    }
    Rect clip;
    if (options != 0) {
        const Point a = At(record.S(4), record.S(5));
        const Point b = At(record.S(6), record.S(7));
        clip = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    Gdi.ExtTextOutA(Dc, at.x, at.y, options, options != 0 ? &clip : nullptr, text);
    return {};
}

// StretchDIB, DIBStretchBlt and DIBBitBlt: a packed bitmap copied onto a rectangle.
std::string Player::Bitmap(const Record& record) {
    // Parameter words before the source rectangle, and where the bitmap starts.
    const bool stretchDib = record.Function == meta::StretchDib;
    const bool stretch = record.Function != meta::DibBitBlt;
    const std::size_t first = stretchDib ? 3 : 2;
    const std::size_t dibWord = first + (stretch ? 8 : 6);
    if (std::string error = Need(record, dibWord); !error.empty()) {
        return error;
    }
    if (record.Words() == dibWord || (stretchDib && record.U(2) != 0)) {
        return {}; // a pattern fill without a bitmap, or colours from a palette
    }
    const unsigned rop = record.L(0);
    if (rop != rop::SrcCopy && rop != rop::SrcPaint) {
        return {};
    }
    auto read = ReadDib(record.Params.subspan(dibWord * 2));
    if (auto* error = std::get_if<std::string>(&read)) {
        return *error;
    }
    const auto* dib = std::get_if<DibLayout>(&read);
    if (dib == nullptr) {
        return {};
    }
    int sourceHeight = 0;
    int sourceWidth = 0;
    std::size_t w = first;
    if (stretch) {
        sourceHeight = record.S(w);
        sourceWidth = record.S(w + 1);
        w += 2;
    }
    const int ySource = record.S(w);
    const int xSource = record.S(w + 1);
    const int height = record.S(w + 2);
    const int width = record.S(w + 3);
    const Point a = At(record.S(w + 5), record.S(w + 4));
    const Point b = At(record.S(w + 5) + width, record.S(w + 4) + height);
    if (!stretch) {
        sourceHeight = height;
        sourceWidth = width;
    }
    // The bitmap's reader trusts the source rectangle: it must lie inside the bitmap.
    if (xSource < 0 || ySource < 0 || sourceWidth <= 0 || sourceHeight <= 0 ||
        xSource + sourceWidth > dib->Width || ySource + sourceHeight > dib->Height) {
        return {};
    }
    const std::span<const std::uint8_t> bytes = record.Params.subspan(dibWord * 2);
    Gdi.StretchDIBits(Dc, std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x),
                      std::abs(b.y - a.y), xSource, ySource, sourceWidth, sourceHeight,
                      bytes.data() + dib->BitsOffset, bytes.data(), rop);
    return {};
}

std::string Player::Play(const Record& r) {
    // The fewest parameter words of each record drawn here.
    static constexpr std::array<std::pair<std::uint16_t, std::size_t>, 24> Needs = {{
        {meta::SetBkMode, 1},
        {meta::SetMapMode, 1},
        {meta::SetRop2, 1},
        {meta::SetPolyFillMode, 1},
        {meta::SetTextAlign, 1},
        {meta::SelectObject, 1},
        {meta::DeleteObject, 1},
        {meta::SetBkColor, 2},
        {meta::SetTextColor, 2},
        {meta::SetWindowOrg, 2},
        {meta::SetWindowExt, 2},
        {meta::LineTo, 2},
        {meta::MoveTo, 2},
        {meta::CreatePenIndirect, 5},
        {meta::CreateFontIndirect, 9},
        {meta::CreateBrushIndirect, 4},
        {meta::Polygon, 1},
        {meta::Polyline, 1},
        {meta::Ellipse, 4},
        {meta::Rectangle, 4},
        {meta::SetPixel, 4},
        {meta::PolyPolygon, 1},
        {meta::RoundRect, 6},
        {meta::Arc, 8},
    }};
    for (const auto& [function, words] : Needs) {
        if (function == r.Function) {
            if (std::string error = Need(r, words); !error.empty()) {
                return error;
            }
        }
    }
    switch (r.Function) {
    case meta::SetWindowOrg:
        Map.WindowOrg = {r.S(1), r.S(0)};
        return {};
    case meta::SetWindowExt:
        Map.WindowExt = {r.S(1), r.S(0)};
        return {};
    case meta::SetMapMode:
        Map.Mode = static_cast<int>(r.U(0));
        return {};
    case meta::SetBkMode: {
        const int old = Gdi.SetBkMode(Dc, static_cast<int>(r.U(0)));
        OldBkMode = OldBkMode.value_or(old);
        return {};
    }
    case meta::SetRop2: {
        const int old = Gdi.SetROP2(Dc, static_cast<int>(r.U(0)));
        OldRop2 = OldRop2.value_or(old);
        return {};
    }
    case meta::SetBkColor: {
        const ColorRef old = Gdi.SetBkColor(Dc, r.Color(0));
        OldBkColor = OldBkColor.value_or(old);
        return {};
    }
    case meta::SetTextColor: {
        const ColorRef old = Gdi.SetTextColor(Dc, r.Color(0));
        OldTextColor = OldTextColor.value_or(old);
        return {};
    }
    case meta::SetTextAlign: {
        // Text drawn at the current position (TA_UPDATECP) is drawn at its point instead.
        const unsigned old = Gdi.SetTextAlign(Dc, r.U(0) & ~1u);
        OldAlign = OldAlign.value_or(old);
        return {};
    }
    case meta::SetPolyFillMode:
        FillMode = r.U(0) == static_cast<unsigned>(Winding) ? Winding : Alternate;
        return {};
    case meta::CreatePenIndirect: {
        const int style = static_cast<int>(r.U(0) & 0xF);
        return Create(
            Pen, Gdi.CreatePen(style <= ps::Null ? style : ps::Solid, Width(r.S(1)), r.Color(3)));
    }
    case meta::CreateBrushIndirect:
        // Hatched and pattern brushes are drawn solid in their colour.
        return Create(Brush, r.U(0) == 1 ? Gdi.GetStockObject(stock::NullBrush)
                                         : Gdi.CreateSolidBrush(r.Color(1)));
    case meta::CreateFontIndirect: {
        const auto byte = [&](std::size_t at) { return r.Params[at]; };
        std::string face;
        for (std::size_t at = 18; at < r.Params.size() && at < 18 + 31 && byte(at) != 0; ++at) {
            face.push_back(static_cast<char>(byte(at)));
        }
        FontRequest request{Height(r.S(0)), Width(r.S(1)), r.S(2),        r.S(3),   r.S(4),
                            byte(10) != 0,  byte(11) != 0, byte(12) != 0, byte(13), byte(14),
                            byte(15),       byte(16),      byte(17),      face};
        return Create(Font, Gdi.CreateFontA(request));
    }
    case meta::CreatePalette:
    case meta::CreatePatternBrush:
    case meta::DibCreatePatternBrush:
    case meta::CreateRegion:
        // Objects not drawn with still take their place in the table.
        return Create(Other, nullptr);
    case meta::SelectObject:
        return Select(r.U(0));
    case meta::DeleteObject:
        return Delete(r.U(0));
    case meta::MoveTo: {
        const Point to = At(r.S(1), r.S(0));
        Point previous;
        Gdi.MoveToEx(Dc, to.x, to.y, &previous);
        OldPosition = OldPosition.value_or(previous);
        return {};
    }
    case meta::LineTo: {
        const Point to = At(r.S(1), r.S(0));
        Gdi.LineTo(Dc, to.x, to.y);
        return {};
    }
    case meta::Polyline:
    case meta::Polygon: {
        const std::size_t count = r.U(0);
        if (std::string error = Need(r, 1 + 2 * count); !error.empty()) {
            return error;
        }
        std::vector<Point> points = Points(r, 1, count);
        if (r.Function == meta::Polygon) {
            DrawPolygon(points);
        } else if (!points.empty()) {
            // A polyline leaves the current position where it was.
            Point previous;
            Gdi.MoveToEx(Dc, points[0].x, points[0].y, &previous);
            for (std::size_t i = 1; i < points.size(); ++i) {
                Gdi.LineTo(Dc, points[i].x, points[i].y);
            }
            Gdi.MoveToEx(Dc, previous.x, previous.y, nullptr);
        }
        return {};
    }
    case meta::PolyPolygon: {
        const std::size_t polygons = r.U(0);
        if (std::string error = Need(r, 1 + polygons); !error.empty()) {
            return error;
        }
        // Counted in 64 bits: the counts of a 32-bit build's sizes could wrap.
        std::uint64_t total = 0;
        for (std::size_t i = 0; i < polygons; ++i) {
            total += r.U(1 + i);
        }
        if (1 + polygons + 2 * total > r.Words()) {
            return Need(r, r.Words() + 1);
        }
        // Each polygon is drawn by itself: holes are filled over.
        std::size_t word = 1 + polygons;
        for (std::size_t i = 0; i < polygons; ++i) {
            const std::size_t count = r.U(1 + i);
            DrawPolygon(Points(r, word, count));
            word += 2 * count;
        }
        return {};
    }
    case meta::Rectangle: {
        const Rect box = Box(r, 0);
        if (box.right > box.left && box.bottom > box.top) {
            const std::array<Point, 4> corners = {
                Point{box.left, box.top}, Point{box.right - 1, box.top},
                Point{box.right - 1, box.bottom - 1}, Point{box.left, box.bottom - 1}};
            Gdi.Polygon(Dc, corners);
        }
        return {};
    }
    case meta::RoundRect:
        RoundRect(r);
        return {};
    case meta::Ellipse: {
        const Rect box = Box(r, 0);
        Gdi.Ellipse(Dc, box.left, box.top, box.right, box.bottom);
        return {};
    }
    case meta::Arc: {
        const Rect box = Box(r, 4);
        const Point start = At(r.S(3), r.S(2));
        const Point end = At(r.S(1), r.S(0));
        Gdi.Arc(Dc, box.left, box.top, box.right, box.bottom, start.x, start.y, end.x, end.y);
        return {};
    }
    case meta::Pie:
    case meta::Chord:
        if (std::string error = Need(r, 8); !error.empty()) {
            return error;
        }
        ArcShape(r, r.Function == meta::Pie);
        return {};
    case meta::SetPixel: {
        const Point at = At(r.S(3), r.S(2));
        Gdi.SetPixel(Dc, at.x, at.y, r.Color(0));
        return {};
    }
    case meta::TextOut:
    case meta::ExtTextOut:
        return Text(r, r.Function == meta::ExtTextOut);
    case meta::StretchDib:
    case meta::DibStretchBlt:
    case meta::DibBitBlt:
        return Bitmap(r);
    default:
        return {};
    }
}

} // namespace

std::string CheckWmf(std::span<const std::uint8_t> bytes) {
    return Walk(bytes, [](const Record&) { return std::string(); });
}

std::string PlayWmf(GdiService& gdi, HDC dc, std::span<const std::uint8_t> bytes,
                    const Mapping& mapping) {
    // The whole metafile is checked before anything is drawn.
    if (std::string error = CheckWmf(bytes); !error.empty()) {
        return error;
    }
    Player player(gdi, dc, mapping);
    player.SizeTable(U16(bytes, 10));
    return Walk(bytes, [&player](const Record& record) { return player.Play(record); });
}

} // namespace platform::metafile
