// WMF records: a size in 16-bit words, a function number, then 16-bit parameters.
#include "platform/metafile/wmf_recorder.h"

#include "wmf_functions.h"

#include <algorithm>

namespace platform::metafile {

namespace {

constexpr std::size_t HeaderBytes = 18;
constexpr int NullPen = 8;
constexpr int SystemFont = 13;
/// The most points a polygon record can carry, and characters a text record.
constexpr std::size_t MostItems = 0x7FFF;

std::int32_t Clamped16(std::int32_t value) {
    return std::clamp<std::int32_t>(value, -32768, 32767);
}

} // namespace

WmfRecorder::WmfRecorder()
    : CurrentPen(StockFlag | stock::BlackPen), CurrentBrush(StockFlag | stock::WhiteBrush) {
    Bytes.resize(HeaderBytes);
}

void WmfRecorder::Begin(std::uint16_t function, std::size_t words) {
    std::size_t size = 3 + words;
    LargestRecord = std::max(LargestRecord, size);
    Long(static_cast<std::uint32_t>(size));
    Word(function);
}

void WmfRecorder::Word(std::int32_t value) {
    Bytes.push_back(static_cast<std::uint8_t>(value));
    Bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void WmfRecorder::Long(std::uint32_t value) {
    Word(static_cast<std::int32_t>(value & 0xFFFF));
    Word(static_cast<std::int32_t>(value >> 16));
}

void WmfRecorder::Coordinate(std::int32_t value) {
    Word(Clamped16(value));
}

std::uint32_t WmfRecorder::Create(const ObjectDefinition& object) {
    auto free = std::find(Slots.begin(), Slots.end(), false);
    auto index = static_cast<std::uint32_t>(free - Slots.begin());
    if (free == Slots.end()) {
        if (Slots.size() >= 0xFFFF) {
            return StockFlag; // no room: the caller draws with what is selected
        }
        Slots.push_back(true);
        IsPen.push_back(false);
    } else {
        *free = true;
    }
    IsPen[index] = std::holds_alternative<PenDefinition>(object);
    if (const auto* pen = std::get_if<PenDefinition>(&object)) {
        Begin(meta::CreatePenIndirect, 5);
        Word(pen->Style);
        Coordinate(pen->Width);
        Word(0);
        Long(pen->Color);
    } else if (const auto* brush = std::get_if<BrushDefinition>(&object)) {
        Begin(meta::CreateBrushIndirect, 4);
        Word(brush->Hollow ? 1 : 0);
        Long(brush->Color);
        Word(0);
    } else {
        const auto& font = std::get<FontDefinition>(object);
        const FontRequest& request = font.Request;
        Begin(meta::CreateFontIndirect, 25);
        Coordinate(request.Height);
        Coordinate(request.Width);
        Coordinate(request.Escapement);
        Coordinate(request.Orientation);
        Coordinate(request.Weight);
        Word((request.Italic ? 1 : 0) | (request.Underline ? 1 : 0) << 8);
        Word((request.StrikeOut ? 1 : 0) | static_cast<int>(request.CharSet & 0xFF) << 8);
        Word(static_cast<int>((request.OutPrecision & 0xFF) | (request.ClipPrecision & 0xFF) << 8));
        Word(static_cast<int>((request.Quality & 0xFF) | (request.PitchAndFamily & 0xFF) << 8));
        std::array<char, 32> face{};
        std::copy_n(font.FaceName.begin(), std::min<std::size_t>(font.FaceName.size(), 31),
                    face.begin());
        Bytes.insert(Bytes.end(), face.begin(), face.end());
    }
    // Object numbers are table positions; the stock flag marks none, so index 0 is a
    // real object here and the caller gets it back with the flag clear.
    return index;
}

void WmfRecorder::SelectReference(std::uint32_t reference) {
    if ((reference & StockFlag) != 0) {
        SelectStock(static_cast<int>(reference & ~StockFlag));
    } else {
        Select(reference);
    }
}

void WmfRecorder::Select(std::uint32_t index) {
    if (index >= Slots.size() || !Slots[index]) {
        return;
    }
    (IsPen[index] ? CurrentPen : CurrentBrush) = index;
    Begin(meta::SelectObject, 1);
    Word(static_cast<std::int32_t>(index));
}

void WmfRecorder::SelectStock(int stockObject) {
    if (stockObject < 0 || stockObject >= static_cast<int>(StockStandIns.size())) {
        return;
    }
    std::uint32_t& standIn = StockStandIns[static_cast<std::size_t>(stockObject)];
    if (standIn == 0) {
        ObjectDefinition definition = BrushDefinition{0xFFFFFF, false};
        switch (stockObject) {
        case stock::BlackBrush:
            definition = BrushDefinition{0, false};
            break;
        case stock::NullBrush:
            definition = BrushDefinition{0, true};
            break;
        case stock::BlackPen:
            definition = PenDefinition{ps::Solid, 0, 0};
            break;
        case NullPen:
            definition = PenDefinition{ps::Null, 0, 0};
            break;
        case SystemFont:
            definition = FontDefinition(FontRequest{.FaceName = "System"});
            break;
        default:
            break;
        }
        std::uint32_t made = Create(definition);
        if ((made & StockFlag) != 0) {
            return;
        }
        standIn = made + 1;
    }
    Select(standIn - 1);
    std::uint32_t reference = StockFlag | static_cast<std::uint32_t>(stockObject);
    (IsPen[standIn - 1] ? CurrentPen : CurrentBrush) = reference;
}

void WmfRecorder::Delete(std::uint32_t index) {
    if (index >= Slots.size() || !Slots[index]) {
        return;
    }
    Slots[index] = false;
    Begin(meta::DeleteObject, 1);
    Word(static_cast<std::int32_t>(index));
}

void WmfRecorder::MoveTo(Point point) {
    Begin(meta::MoveTo, 2);
    Coordinate(point.y);
    Coordinate(point.x);
}

void WmfRecorder::LineTo(Point point) {
    Begin(meta::LineTo, 2);
    Coordinate(point.y);
    Coordinate(point.x);
}

void WmfRecorder::Arc(const Rect& box, Point start, Point end) {
    Begin(meta::Arc, 8);
    Coordinate(end.y);
    Coordinate(end.x);
    Coordinate(start.y);
    Coordinate(start.x);
    Coordinate(box.bottom);
    Coordinate(box.right);
    Coordinate(box.top);
    Coordinate(box.left);
}

void WmfRecorder::Ellipse(const Rect& box) {
    Begin(meta::Ellipse, 4);
    Coordinate(box.bottom);
    Coordinate(box.right);
    Coordinate(box.top);
    Coordinate(box.left);
}

void WmfRecorder::PolygonRecord(std::span<const Point> points) {
    points = points.first(std::min(points.size(), MostItems));
    Begin(meta::Polygon, 1 + 2 * points.size());
    Word(static_cast<std::int32_t>(points.size()));
    for (Point point : points) {
        Coordinate(point.x);
        Coordinate(point.y);
    }
}

void WmfRecorder::Polygon(std::span<const Point> points) {
    if (!points.empty()) {
        PolygonRecord(points);
    }
}

void WmfRecorder::FillPolygon(std::span<const Point> points, int fillMode, std::uint32_t brush) {
    if (points.size() < 3) {
        return;
    }
    std::uint32_t pen = CurrentPen;
    std::uint32_t previousBrush = CurrentBrush;
    Begin(meta::SetPolyFillMode, 2);
    Word(fillMode);
    Word(0);
    SelectReference(brush);
    SelectStock(NullPen);
    PolygonRecord(points);
    SelectReference(pen);
    SelectReference(previousBrush);
}

void WmfRecorder::SetPixel(Point point, ColorRef color) {
    Begin(meta::SetPixel, 4);
    Long(color);
    Coordinate(point.y);
    Coordinate(point.x);
}

void WmfRecorder::SetTextAlign(unsigned align) {
    Begin(meta::SetTextAlign, 2);
    Word(static_cast<std::int32_t>(align));
    Word(0);
}

void WmfRecorder::SetTextColor(ColorRef color) {
    Begin(meta::SetTextColor, 2);
    Long(color);
}

void WmfRecorder::SetBkColor(ColorRef color) {
    Begin(meta::SetBkColor, 2);
    Long(color);
}

void WmfRecorder::SetBkMode(int mode) {
    Begin(meta::SetBkMode, 2);
    Word(mode);
    Word(0);
}

void WmfRecorder::SetROP2(int mode) {
    Begin(meta::SetRop2, 2);
    Word(mode);
    Word(0);
}

void WmfRecorder::TextOut(Point reference, std::string_view text,
                          std::span<const std::int32_t> advances) {
    text = text.substr(0, MostItems);
    std::size_t textWords = (text.size() + 1) / 2;
    // Without measured advances the reader spaces the characters by its own font.
    bool spaced =
        std::any_of(advances.begin(), advances.end(), [](std::int32_t a) { return a != 0; });
    Begin(meta::ExtTextOut, 4 + textWords + (spaced ? text.size() : 0));
    Coordinate(reference.y);
    Coordinate(reference.x);
    Word(static_cast<std::int32_t>(text.size()));
    Word(0); // no options, so no rectangle
    Bytes.insert(Bytes.end(), text.begin(), text.end());
    if (text.size() % 2 != 0) {
        Bytes.push_back(0);
    }
    for (std::size_t i = 0; spaced && i < text.size(); ++i) {
        Coordinate(i < advances.size() ? advances[i] : 0);
    }
}

std::vector<std::uint8_t> WmfRecorder::Finish() {
    Begin(0, 0); // META_EOF
    std::size_t words = Bytes.size() / 2;
    std::vector<std::uint8_t> body = std::move(Bytes);
    Bytes.clear();
    Word(1);      // a memory metafile: GDI's own files say the same
    Word(9);      // header words
    Word(0x0300); // version
    Long(static_cast<std::uint32_t>(words));
    Word(static_cast<std::int32_t>(Slots.size()));
    Long(static_cast<std::uint32_t>(LargestRecord));
    Word(0);
    std::copy(Bytes.begin(), Bytes.end(), body.begin());
    return body;
}

} // namespace platform::metafile
