// The enhanced-metafile (EMF) recorder: the records of the drawing calls, in the
// binary layout that Windows and other EMF readers play back.
#pragma once

#include "platform/metafile/metafile_recorder.h"

#include <iosfwd>
#include <optional>

namespace platform::metafile {

/// The reference device an enhanced metafile is recorded for.
struct ReferenceDevice {
    Size Pixels{1024, 768};
    Size Millimeters{271, 203};
};

class EmfRecorder final : public MetafileRecorder {
public:
    /// `frame` in hundredths of a millimetre; without one the frame is the bounds of
    /// what was drawn. `description` goes into the header as UTF-16, NULs included.
    /// With a `file` (a seekable stream that outlives the recorder) the records go to it
    /// as they come, and Finish writes the header over its start and returns nothing;
    /// without one Finish returns the whole metafile.
    EmfRecorder(const ReferenceDevice& device, std::optional<Rect> frame,
                std::string_view description, std::ostream* file = nullptr);

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
    void Begin(std::uint32_t type, std::uint32_t size);
    void Put(std::uint32_t value);
    void PutSigned(std::int32_t value) { Put(static_cast<std::uint32_t>(value)); }
    void PutRect(const Rect& rect);
    void PutPoint(Point point);
    void Widen(const Rect& rect);
    void WidenByPen(const Rect& rect);
    void SetValue(std::uint32_t type, std::uint32_t value);
    void PolygonRecord(std::span<const Point> points);
    /// Hands the records held so far to the file, if there is one.
    void Flush();
    std::vector<std::uint8_t> HeaderRecord(const Rect& frame, std::uint32_t totalBytes) const;

    ReferenceDevice Device;
    std::optional<Rect> Frame;
    std::u16string Description;
    /// The records not yet in the file (without a file: the whole metafile, header
    /// space first).
    std::vector<std::uint8_t> Bytes;
    std::ostream* File;
    /// Bytes already handed to the file.
    std::uint64_t Written = 0;
    std::uint32_t Records = 0;
    /// Object table slots in use (slot 0 stands for the metafile itself).
    std::vector<bool> Slots{true};
    /// The pen width of each slot holding a pen (0 for other objects), for the bounds.
    std::vector<int> PenWidths{0};
    int CurrentPenWidth = 1;
    /// What is selected: a table index or a stock object.
    std::uint32_t CurrentPen;
    std::uint32_t CurrentBrush;
    int PolyFillMode = Alternate;
    Point Position;
    /// Inclusive bounds of everything drawn, in device pixels; empty while right < left.
    /// With a frame, the frame's pixels: the picture is the whole frame.
    Rect Bounds{0, 0, -1, -1};
};

} // namespace platform::metafile
