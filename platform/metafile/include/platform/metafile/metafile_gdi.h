// GDI with metafile device contexts: the calls made on a metafile device context are
// recorded into an enhanced metafile; every other call goes to the GDI underneath.
#pragma once

#include "platform/gdi.h"
#include "platform/metafile/metafile_recorder.h"
#include "platform/metafiles.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::metafile {

/// Stands between the drawing code and a raster GDI (`inner`). Objects are made by
/// `inner`, so one pen serves a raster and a metafile alike; while a metafile is open
/// the description of each new object is kept, so that selecting it into the metafile
/// records its creation (as GDI records an object the first time a metafile uses it).
/// Texts on a metafile are measured on its reference device context.
class MetafileGdi final : public GdiService, public MetafileService {
public:
    explicit MetafileGdi(GdiService& inner);
    ~MetafileGdi() override;
    MetafileGdi(const MetafileGdi&) = delete;
    MetafileGdi& operator=(const MetafileGdi&) = delete;

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
    bool GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) override;

    HDC CreateEnhMetaFileA(HDC reference, std::string_view fileName, const Rect* frame,
                           std::string_view description) override;
    HENHMETAFILE CloseEnhMetaFile(HDC dc) override;
    bool DeleteEnhMetaFile(HENHMETAFILE metafile) override;
    HDC CreateMetaFileA(std::string_view fileName) override;
    HMETAFILE CloseMetaFile(HDC dc) override;
    bool DeleteMetaFile(HMETAFILE metafile) override;
    std::vector<std::uint8_t> GetMetaFileBits(HMETAFILE metafile) override;

    /// The bytes of a closed enhanced metafile (GetEnhMetaFileBits); empty for an
    /// unknown handle.
    std::span<const std::uint8_t> EnhMetaFileBits(HENHMETAFILE metafile) const;

private:
    struct Recording;
    struct Region {
        std::vector<Point> Points;
        int FillMode = Alternate;
    };
    struct Closed {
        /// Empty for a metafile written to FileName as it was drawn until asked for.
        std::vector<std::uint8_t> Bytes;
        std::string FileName;
        bool Enhanced = true;
    };

    Recording* Find(HDC dc) const;
    /// Records the creation of `object` in the recording unless it is there already;
    /// its table index, or the stock flag with the stock number; nothing when unknown.
    std::optional<std::uint32_t> Use(Recording& recording, HGDIOBJ object);
    void Describe(HGDIOBJ object, ObjectDefinition definition);
    HDC Start(HDC reference, std::string_view fileName, std::unique_ptr<MetafileRecorder> recorder);
    std::unique_ptr<Recording> Stop(HDC dc);
    Closed* Close(HDC dc, bool enhanced);
    bool Forget(const void* metafile, bool enhanced);
    std::span<const std::uint8_t> Bits(const void* metafile, bool enhanced) const;
    std::vector<std::int32_t> Advances(Recording& recording, std::string_view text);

    GdiService& Inner;
    std::vector<std::unique_ptr<Recording>> Open;
    std::unordered_map<HGDIOBJ, ObjectDefinition> Definitions;
    std::unordered_map<HGDIOBJ, Region> Regions;
    std::unordered_map<HGDIOBJ, int> StockNumbers;
    std::vector<std::unique_ptr<Closed>> ClosedMetafiles;
};

} // namespace platform::metafile
