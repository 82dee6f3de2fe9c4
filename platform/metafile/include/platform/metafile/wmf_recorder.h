// The standard-metafile (WMF) recorder: the records of the drawing calls in the 16-bit
// layout of Windows metafiles, without the placeable header, which the caller adds.
#pragma once

#include "platform/metafile/metafile_recorder.h"

#include <array>

namespace platform::metafile {

/// Coordinates are 16-bit in a standard metafile: values beyond that range are held at
/// its ends. Stock objects cannot be selected into a standard metafile, so each one
/// used is stood in for by an object of its own made the first time.
class WmfRecorder final : public MetafileRecorder {
public:
    WmfRecorder();

    std::uint32_t Create(const ObjectDefinition& object) override;
    void Select(std::uint32_t index) override;
    void SelectStock(int stockObject) override;
    void Delete(std::uint32_t index) override;
    void MoveTo(Point point) override;
    void LineTo(Point point) override;
    void Arc(const Rect& box, Point start, Point end) override;
    void Ellipse(const Rect& box) override;
    void Polygon(std::span<const Point> points) override;
    void FillPolygon(std::span<const Point> points, int fillMode, std::uint32_t brush) override;
    void SetPixel(Point point, ColorRef color) override;
    void SetTextAlign(unsigned align) override;
    void SetTextColor(ColorRef color) override;
    void SetBkColor(ColorRef color) override;
    void SetBkMode(int mode) override;
    void SetROP2(int mode) override;
    void TextOut(Point reference, std::string_view text,
                 std::span<const std::int32_t> advances) override;
    std::vector<std::uint8_t> Finish() override;

private:
    void Begin(std::uint16_t function, std::size_t words);
    void Word(std::int32_t value);
    void Long(std::uint32_t value);
    void Coordinate(std::int32_t value);
    void PolygonRecord(std::span<const Point> points);
    /// Selects a table index or, with the stock flag, a stock object's stand-in.
    void SelectReference(std::uint32_t reference);

    std::vector<std::uint8_t> Bytes;
    std::size_t LargestRecord = 0;
    /// Slots in use; a new object takes the lowest free one, as readers assume.
    std::vector<bool> Slots;
    /// The stand-ins of the stock objects, by stock number (0: none yet).
    std::array<std::uint32_t, 16> StockStandIns{};
    std::vector<bool> IsPen;
    std::uint32_t CurrentPen;
    std::uint32_t CurrentBrush;
};

} // namespace platform::metafile
