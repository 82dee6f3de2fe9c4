// What a metafile device context records: the drawing calls of GDI in the terms of a
// metafile's records, independent of the file format that stores them.
#pragma once

#include "platform/gdi.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform::metafile {

struct PenDefinition {
    int Style = ps::Solid;
    int Width = 0;
    ColorRef Color = 0;
};

struct BrushDefinition {
    ColorRef Color = 0;
    /// The hollow brush (stock NULL_BRUSH): fills nothing.
    bool Hollow = false;
};

/// A logical font with its face name held, not viewed.
struct FontDefinition {
    FontDefinition() = default;
    explicit FontDefinition(const FontRequest& request)
        : Request(request), FaceName(request.FaceName.substr(0, 31)) {
        Request.FaceName = {};
    }
    FontRequest Request;
    std::string FaceName;
};

using ObjectDefinition = std::variant<PenDefinition, BrushDefinition, FontDefinition>;

/// Records one metafile. Objects live in the metafile's object table under the index
/// Create returns until Delete frees it. Coordinates are logical units of the metafile
/// device context (pixels of the reference device).
class MetafileRecorder {
public:
    virtual ~MetafileRecorder() = default;

    /// The new object's table index, or StockFlag when the table is full.
    virtual std::uint32_t Create(const ObjectDefinition& object) = 0;
    virtual void Select(std::uint32_t index) = 0;
    /// Selects a stock object (a stock:: value, or 13 for the system font).
    virtual void SelectStock(int stockObject) = 0;
    virtual void Delete(std::uint32_t index) = 0;

    virtual void MoveTo(Point point) = 0;
    virtual void LineTo(Point point) = 0;
    virtual void Arc(const Rect& box, Point start, Point end) = 0;
    virtual void Ellipse(const Rect& box) = 0;
    virtual void Polygon(std::span<const Point> points) = 0;
    /// Fills the inside of a polygon (ALTERNATE or WINDING) with the brush `brush` (a
    /// table index, or the stock flag 0x80000000 with a stock number), without an
    /// outline, leaving the selected pen and brush as they were. Regions are recorded
    /// so, since readers draw polygons alike but not all of them fill regions.
    virtual void FillPolygon(std::span<const Point> points, int fillMode, std::uint32_t brush) = 0;
    virtual void SetPixel(Point point, ColorRef color) = 0;

    virtual void SetTextAlign(unsigned align) = 0;
    virtual void SetTextColor(ColorRef color) = 0;
    virtual void SetBkColor(ColorRef color) = 0;
    virtual void SetBkMode(int mode) = 0;
    virtual void SetROP2(int mode) = 0;
    /// Code page 1252 text at the reference point, with the advance of each character
    /// in logical units.
    virtual void TextOut(Point reference, std::string_view text,
                         std::span<const std::int32_t> advances) = 0;

    /// The whole metafile; the recorder takes no more records after it.
    virtual std::vector<std::uint8_t> Finish() = 0;
};

/// The flag of a stock object's number where a table index is expected.
inline constexpr std::uint32_t StockFlag = 0x80000000;

} // namespace platform::metafile
