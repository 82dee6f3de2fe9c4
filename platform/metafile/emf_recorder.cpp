// The EMF records of the drawing calls, little-endian, each a multiple of four bytes.
#include "platform/metafile/emf_recorder.h"

#include "platform/ansi_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>

namespace platform::metafile {

namespace {

namespace emr {
constexpr std::uint32_t Header = 1;
constexpr std::uint32_t Polygon = 3;
constexpr std::uint32_t Eof = 14;
constexpr std::uint32_t SetPixelV = 15;
constexpr std::uint32_t SetBkMode = 18;
constexpr std::uint32_t SetRop2 = 20;
constexpr std::uint32_t SetTextAlign = 22;
constexpr std::uint32_t SetTextColor = 24;
constexpr std::uint32_t SetBkColor = 25;
constexpr std::uint32_t MoveToEx = 27;
constexpr std::uint32_t SelectObject = 37;
constexpr std::uint32_t CreatePen = 38;
constexpr std::uint32_t CreateBrushIndirect = 39;
constexpr std::uint32_t DeleteObject = 40;
constexpr std::uint32_t Ellipse = 42;
constexpr std::uint32_t Arc = 45;
constexpr std::uint32_t LineTo = 54;
constexpr std::uint32_t ExtCreateFontIndirectW = 82;
constexpr std::uint32_t ExtTextOutW = 84;
constexpr std::uint32_t Polygon16 = 86;
constexpr std::uint32_t SetPolyFillMode = 19;
} // namespace emr

constexpr std::uint32_t HeaderSize = 108;
/// How many bytes of records a file-backed recorder holds before writing them.
constexpr std::size_t FlushAt = 1 << 20;
constexpr std::uint32_t Signature = 0x464D4520; // " EMF"
/// LogFont (92 bytes) and the full name, style and PANOSE that follow it.
constexpr std::uint32_t LogFontPanoseSize = 320;

std::uint32_t Padded(std::size_t size) {
    return static_cast<std::uint32_t>((size + 3) & ~std::size_t{3});
}

void Append(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    std::size_t at = bytes.size();
    bytes.resize(at + 4);
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 2] = static_cast<std::uint8_t>(value >> 16);
    bytes[at + 3] = static_cast<std::uint8_t>(value >> 24);
}

void AppendRect(std::vector<std::uint8_t>& bytes, const Rect& rect) {
    for (std::int32_t value : {rect.left, rect.top, rect.right, rect.bottom}) {
        Append(bytes, static_cast<std::uint32_t>(value));
    }
}

// An object table index as the 16-bit count of the header can carry.
constexpr std::size_t MostObjects = 0xFFFF;

bool Fits16(std::span<const Point> points) {
    return std::all_of(points.begin(), points.end(), [](Point p) {
        return p.x >= std::numeric_limits<std::int16_t>::min() &&
               p.x <= std::numeric_limits<std::int16_t>::max() &&
               p.y >= std::numeric_limits<std::int16_t>::min() &&
               p.y <= std::numeric_limits<std::int16_t>::max();
    });
}

constexpr int NullPen = 8;

// The box of a GDI call (right and bottom edge excluded) as the inclusive box EMF
// records store.
Rect Inclusive(const Rect& box) {
    return {box.left, box.top, box.right - 1, box.bottom - 1};
}

} // namespace

EmfRecorder::EmfRecorder(const ReferenceDevice& device, std::optional<Rect> frame,
                         std::string_view description, std::ostream* file)
    : Device(device), Frame(frame), Description(AnsiToUtf16(description)), File(file),
      CurrentPen(StockFlag | stock::BlackPen), CurrentBrush(StockFlag | stock::WhiteBrush) {
    Bytes.resize(HeaderSize + Padded(Description.size() * 2));
    Records = 1;
    // GDI's defaults, stated: readers differ in what they assume before the first
    // selection (some fill with black).
    SelectStock(stock::WhiteBrush);
    SelectStock(stock::BlackPen);
    if (Frame) {
        auto toPixels = [](std::int32_t hundredths, std::int32_t pixels, std::int32_t mm) {
            return static_cast<std::int32_t>(static_cast<std::int64_t>(hundredths) * pixels /
                                             (std::max(mm, 1) * std::int64_t{100}));
        };
        Bounds = {toPixels(Frame->left, Device.Pixels.cx, Device.Millimeters.cx),
                  toPixels(Frame->top, Device.Pixels.cy, Device.Millimeters.cy),
                  toPixels(Frame->right, Device.Pixels.cx, Device.Millimeters.cx) - 1,
                  toPixels(Frame->bottom, Device.Pixels.cy, Device.Millimeters.cy) - 1};
    }
}

void EmfRecorder::Begin(std::uint32_t type, std::uint32_t size) {
    // Records go to the file in large blocks, between records: a record is complete
    // in Bytes while it is written.
    if (File != nullptr && Bytes.size() >= FlushAt) {
        Flush();
    }
    Put(type);
    Put(size);
    ++Records;
}

void EmfRecorder::Flush() {
    if (File != nullptr && !Bytes.empty()) {
        File->write(reinterpret_cast<const char*>(Bytes.data()),
                    static_cast<std::streamsize>(Bytes.size()));
        Written += Bytes.size();
        Bytes.clear();
    }
}

void EmfRecorder::Put(std::uint32_t value) {
    Append(Bytes, value);
}

void EmfRecorder::PutRect(const Rect& rect) {
    AppendRect(Bytes, rect);
}

void EmfRecorder::PutPoint(Point point) {
    PutSigned(point.x);
    PutSigned(point.y);
}

void EmfRecorder::Widen(const Rect& rect) {
    if (Frame) {
        return;
    }
    Rect box{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
             std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
    if (Bounds.right < Bounds.left) {
        Bounds = box;
        return;
    }
    Bounds = {std::min(Bounds.left, box.left), std::min(Bounds.top, box.top),
              std::max(Bounds.right, box.right), std::max(Bounds.bottom, box.bottom)};
}

void EmfRecorder::WidenByPen(const Rect& rect) {
    int half = CurrentPenWidth / 2;
    Rect box{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
             std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
    Widen({box.left - half, box.top - half, box.right + half, box.bottom + half});
}

void EmfRecorder::SetValue(std::uint32_t type, std::uint32_t value) {
    Begin(type, 12);
    Put(value);
}

std::uint32_t EmfRecorder::Create(const ObjectDefinition& object) {
    auto free = std::find(Slots.begin() + 1, Slots.end(), false);
    std::size_t index = static_cast<std::size_t>(free - Slots.begin());
    if (free == Slots.end()) {
        // A table as large as the header can count; a drawing pass holds a few
        // objects at a time, so only a leak on the caller's side gets here.
        if (Slots.size() > MostObjects) {
            return StockFlag;
        }
        Slots.push_back(true);
        PenWidths.push_back(0);
    } else {
        *free = true;
    }
    auto slot = static_cast<std::uint32_t>(index);
    if (const auto* pen = std::get_if<PenDefinition>(&object)) {
        PenWidths[index] = std::max(pen->Width, 1);
        // The plain record, as GDI itself records a pen of CreatePen: its players make a
        // pen wider than one pixel geometric by themselves. (Wine plays an extended
        // geometric record of the same pen one pixel wide.)
        Begin(emr::CreatePen, 28);
        Put(slot);
        PutSigned(pen->Style);
        PutSigned(pen->Width); // the width is the x of a point whose y is unused
        Put(0);
        Put(pen->Color);
    } else if (const auto* brush = std::get_if<BrushDefinition>(&object)) {
        Begin(emr::CreateBrushIndirect, 24);
        Put(slot);
        Put(brush->Hollow ? 1 : 0); // BS_NULL or BS_SOLID
        Put(brush->Color);
        Put(0);
    } else {
        const auto& font = std::get<FontDefinition>(object);
        Begin(emr::ExtCreateFontIndirectW, 12 + LogFontPanoseSize);
        Put(slot);
        const FontRequest& request = font.Request;
        PutSigned(request.Height);
        PutSigned(request.Width);
        PutSigned(request.Escapement);
        PutSigned(request.Orientation);
        PutSigned(request.Weight);
        Put((request.Italic ? 1u : 0u) | (request.Underline ? 1u : 0u) << 8 |
            (request.StrikeOut ? 1u : 0u) << 16 | (request.CharSet & 0xFF) << 24);
        Put((request.OutPrecision & 0xFF) | (request.ClipPrecision & 0xFF) << 8 |
            (request.Quality & 0xFF) << 16 | (request.PitchAndFamily & 0xFF) << 24);
        std::u16string face = AnsiToUtf16(font.FaceName);
        std::size_t start = Bytes.size();
        Bytes.resize(start + LogFontPanoseSize - 28, 0);
        for (std::size_t i = 0; i < face.size() && i < 31; ++i) {
            Bytes[start + 2 * i] = static_cast<std::uint8_t>(face[i]);
            Bytes[start + 2 * i + 1] = static_cast<std::uint8_t>(face[i] >> 8);
        }
    }
    return slot;
}

void EmfRecorder::Select(std::uint32_t index) {
    if (index == 0 || index >= Slots.size()) {
        return;
    }
    if (PenWidths[index] > 0) {
        CurrentPenWidth = PenWidths[index];
        CurrentPen = index;
    } else {
        CurrentBrush = index;
    }
    SetValue(emr::SelectObject, index);
}

void EmfRecorder::SelectStock(int stockObject) {
    if (stockObject == stock::BlackPen || stockObject == NullPen) {
        CurrentPenWidth = 1;
        CurrentPen = StockFlag | static_cast<std::uint32_t>(stockObject);
    } else if (stockObject <= stock::NullBrush) {
        CurrentBrush = StockFlag | static_cast<std::uint32_t>(stockObject);
    }
    SetValue(emr::SelectObject, StockFlag | static_cast<std::uint32_t>(stockObject));
}

void EmfRecorder::Delete(std::uint32_t index) {
    if (index == 0 || index >= Slots.size() || !Slots[index]) {
        return;
    }
    Slots[index] = false;
    PenWidths[index] = 0;
    SetValue(emr::DeleteObject, index);
}

void EmfRecorder::MoveTo(Point point) {
    Begin(emr::MoveToEx, 16);
    PutPoint(point);
    Position = point;
}

void EmfRecorder::LineTo(Point point) {
    Begin(emr::LineTo, 16);
    PutPoint(point);
    WidenByPen({Position.x, Position.y, point.x, point.y});
    Position = point;
}

void EmfRecorder::Arc(const Rect& box, Point start, Point end) {
    Begin(emr::Arc, 40);
    PutRect(Inclusive(box));
    PutPoint(start);
    PutPoint(end);
    WidenByPen(Inclusive(box));
}

void EmfRecorder::Ellipse(const Rect& box) {
    Begin(emr::Ellipse, 24);
    PutRect(Inclusive(box));
    WidenByPen(Inclusive(box));
}

void EmfRecorder::Polygon(std::span<const Point> points) {
    if (points.empty()) {
        return;
    }
    PolygonRecord(points);
    WidenByPen(BoundingBox(points));
}

void EmfRecorder::PolygonRecord(std::span<const Point> points) {
    Rect bounds = BoundingBox(points);
    bool small = Fits16(points);
    auto count = static_cast<std::uint32_t>(points.size());
    Begin(small ? emr::Polygon16 : emr::Polygon, 28 + (small ? Padded(count * 4) : count * 8));
    PutRect(bounds);
    Put(count);
    if (small) {
        for (Point point : points) {
            Bytes.push_back(static_cast<std::uint8_t>(point.x));
            Bytes.push_back(static_cast<std::uint8_t>(point.x >> 8));
            Bytes.push_back(static_cast<std::uint8_t>(point.y));
            Bytes.push_back(static_cast<std::uint8_t>(point.y >> 8));
        }
        Bytes.resize(Bytes.size() + (Padded(count * 4) - count * 4), 0);
    } else {
        for (Point point : points) {
            PutPoint(point);
        }
    }
}

void EmfRecorder::FillPolygon(std::span<const Point> points, int fillMode, std::uint32_t brush) {
    if (points.size() < 3) {
        return;
    }
    std::uint32_t pen = CurrentPen;
    std::uint32_t previousBrush = CurrentBrush;
    int penWidth = CurrentPenWidth;
    if (fillMode != PolyFillMode) {
        SetValue(emr::SetPolyFillMode, static_cast<std::uint32_t>(fillMode));
    }
    SetValue(emr::SelectObject, brush);
    SetValue(emr::SelectObject, StockFlag | NullPen);
    PolygonRecord(points);
    SetValue(emr::SelectObject, pen);
    SetValue(emr::SelectObject, previousBrush);
    if (fillMode != PolyFillMode) {
        SetValue(emr::SetPolyFillMode, static_cast<std::uint32_t>(PolyFillMode));
    }
    CurrentPenWidth = penWidth;
    Widen(BoundingBox(points));
}

void EmfRecorder::SetPixel(Point point, ColorRef color) {
    Begin(emr::SetPixelV, 20);
    PutPoint(point);
    Put(color);
    Widen({point.x, point.y, point.x, point.y});
}

void EmfRecorder::SetTextAlign(unsigned align) {
    SetValue(emr::SetTextAlign, align);
}

void EmfRecorder::SetTextColor(ColorRef color) {
    SetValue(emr::SetTextColor, color);
}

void EmfRecorder::SetBkColor(ColorRef color) {
    SetValue(emr::SetBkColor, color);
}

void EmfRecorder::SetBkMode(int mode) {
    SetValue(emr::SetBkMode, static_cast<std::uint32_t>(mode));
}

void EmfRecorder::SetROP2(int mode) {
    SetValue(emr::SetRop2, static_cast<std::uint32_t>(mode));
}

void EmfRecorder::TextOut(Point reference, std::string_view text,
                          std::span<const std::int32_t> advances) {
    std::u16string wide = AnsiToUtf16(text);
    auto count = static_cast<std::uint32_t>(wide.size());
    constexpr std::uint32_t StringOffset = 76;
    std::uint32_t dxOffset = StringOffset + Padded(count * 2);
    Begin(emr::ExtTextOutW, dxOffset + 4 * count);
    std::int32_t width = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        width += i < advances.size() ? advances[i] : 0;
    }
    // The text's reach in any direction: its run and a line height around the point.
    std::int32_t reach =
        width + 2 * std::max<std::int32_t>(1, width / std::max<std::int32_t>(count, 1));
    Rect box{reference.x - reach, reference.y - reach, reference.x + reach, reference.y + reach};
    PutRect(box);
    Put(1); // GM_COMPATIBLE
    auto scale = [](std::int32_t mm, std::int32_t pixels) {
        float value = pixels > 0 ? 100.0f * static_cast<float>(mm) / static_cast<float>(pixels) : 0;
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    };
    Put(scale(Device.Millimeters.cx, Device.Pixels.cx));
    Put(scale(Device.Millimeters.cy, Device.Pixels.cy));
    PutPoint(reference);
    Put(count);
    Put(StringOffset);
    Put(0); // no options: no clipping, no opaque box
    PutRect({0, 0, -1, -1});
    Put(dxOffset);
    for (char16_t c : wide) {
        Bytes.push_back(static_cast<std::uint8_t>(c));
        Bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    Bytes.resize(Bytes.size() + (Padded(count * 2) - count * 2), 0);
    for (std::uint32_t i = 0; i < count; ++i) {
        PutSigned(i < advances.size() ? advances[i] : 0);
    }
    Widen(box);
}

std::vector<std::uint8_t> EmfRecorder::Finish() {
    Begin(emr::Eof, 20);
    Put(0);
    Put(16);
    Put(20);

    Rect frame;
    if (Frame) {
        frame = *Frame;
    } else if (Bounds.right >= Bounds.left) {
        auto toFrame = [](std::int32_t pixel, std::int32_t mm, std::int32_t pixels) {
            return static_cast<std::int32_t>(static_cast<std::int64_t>(pixel) * mm * 100 /
                                             std::max(pixels, 1));
        };
        frame = {toFrame(Bounds.left, Device.Millimeters.cx, Device.Pixels.cx),
                 toFrame(Bounds.top, Device.Millimeters.cy, Device.Pixels.cy),
                 toFrame(Bounds.right, Device.Millimeters.cx, Device.Pixels.cx),
                 toFrame(Bounds.bottom, Device.Millimeters.cy, Device.Pixels.cy)};
    }
    std::uint64_t total = Written + Bytes.size();
    std::vector<std::uint8_t> header =
        HeaderRecord(frame, static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                total, std::numeric_limits<std::uint32_t>::max())));
    if (File == nullptr) {
        std::copy(header.begin(), header.end(), Bytes.begin());
        return std::move(Bytes);
    }
    Flush();
    File->seekp(0);
    File->write(reinterpret_cast<const char*>(header.data()),
                static_cast<std::streamsize>(header.size()));
    File->flush();
    if (total > std::numeric_limits<std::uint32_t>::max()) {
        // The header counts the bytes in 32 bits: a larger file is not a metafile.
        File->setstate(std::ios::failbit);
    }
    return {};
}

std::vector<std::uint8_t> EmfRecorder::HeaderRecord(const Rect& frame,
                                                    std::uint32_t totalBytes) const {
    std::vector<std::uint8_t> header;
    auto put = [&header](auto value) { Append(header, static_cast<std::uint32_t>(value)); };
    put(emr::Header);
    put(HeaderSize + Padded(Description.size() * 2));
    AppendRect(header, Bounds);
    AppendRect(header, frame);
    put(Signature);
    put(0x00010000);
    put(totalBytes);
    put(Records);
    put(Slots.size()); // nHandles, then a reserved 0
    put(Description.size());
    put(Description.empty() ? 0 : HeaderSize);
    put(0); // no palette
    put(Device.Pixels.cx);
    put(Device.Pixels.cy);
    put(Device.Millimeters.cx);
    put(Device.Millimeters.cy);
    put(0); // no pixel format
    put(0);
    put(0); // no OpenGL records
    put(Device.Millimeters.cx * 1000);
    put(Device.Millimeters.cy * 1000);
    for (char16_t c : Description) {
        header.push_back(static_cast<std::uint8_t>(c));
        header.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return header;
}

} // namespace platform::metafile
