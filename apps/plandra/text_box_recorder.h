// A gdi service that passes every call to another and notes where each text went, so
// that pictures from builds with different fonts can be compared outside their texts.
#pragma once

#include "platform/gdi.h"

#include <iosfwd>
#include <map>
#include <vector>

namespace plandra::cli {

class TextBoxRecorder final : public platform::GdiService {
public:
    explicit TextBoxRecorder(platform::GdiService& drawing) : Drawing(drawing) {}

    /// Boxes are kept only while recording is on (off at first).
    void StartRecording() { Recording = true; }
    /// The cell box of each text drawn, in pixels, turned with the text's font and
    /// aligned as it was drawn; the baseline is taken at four fifths of the cell.
    const std::vector<platform::Rect>& TextBoxes() const { return Boxes; }
    /// One line "LEFT TOP RIGHT BOTTOM" a box.
    void WriteTextBoxes(std::ostream& out) const;

    platform::HDC CreateCompatibleDC(platform::HDC reference) override;
    bool DeleteDC(platform::HDC dc) override;
    platform::HBITMAP CreateDIBSection(platform::HDC reference, int width, int height) override;
    platform::HPEN CreatePen(int style, int width, platform::ColorRef color) override;
    platform::HBRUSH CreateSolidBrush(platform::ColorRef color) override;
    platform::HGDIOBJ GetStockObject(int object) override;
    platform::HGDIOBJ SelectObject(platform::HDC dc, platform::HGDIOBJ object) override;
    bool DeleteObject(platform::HGDIOBJ object) override;
    bool MoveToEx(platform::HDC dc, int x, int y, platform::Point* previous) override;
    bool LineTo(platform::HDC dc, int x, int y) override;
    bool Arc(platform::HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
             int xEnd, int yEnd) override;
    bool Ellipse(platform::HDC dc, int left, int top, int right, int bottom) override;
    bool Polygon(platform::HDC dc, std::span<const platform::Point> points) override;
    platform::HRGN CreateRectRgn(int left, int top, int right, int bottom) override;
    platform::HRGN CreatePolygonRgn(std::span<const platform::Point> points, int fillMode) override;
    bool FillRgn(platform::HDC dc, platform::HRGN region, platform::HBRUSH brush) override;
    bool RectInRegion(platform::HRGN region, const platform::Rect& rect) override;
    int FillRect(platform::HDC dc, const platform::Rect& rect, platform::HBRUSH brush) override;
    platform::ColorRef SetPixel(platform::HDC dc, int x, int y, platform::ColorRef color) override;
    platform::ColorRef GetPixel(platform::HDC dc, int x, int y) override;
    int SetROP2(platform::HDC dc, int mode) override;
    int SetBkMode(platform::HDC dc, int mode) override;
    platform::ColorRef SetBkColor(platform::HDC dc, platform::ColorRef color) override;
    int GetDeviceCaps(platform::HDC dc, int index) override;
    platform::HFONT CreateFontA(const platform::FontRequest& font) override;
    unsigned SetTextAlign(platform::HDC dc, unsigned align) override;
    platform::ColorRef SetTextColor(platform::HDC dc, platform::ColorRef color) override;
    bool TextOutA(platform::HDC dc, int x, int y, std::string_view text) override;
    bool GetTextExtentPoint32A(platform::HDC dc, std::string_view text,
                               platform::Size* size) override;

private:
    platform::GdiService& Drawing;
    bool Recording = false;
    std::vector<platform::Rect> Boxes;
    std::map<platform::HGDIOBJ, int> FontEscapements;
    std::map<platform::HDC, platform::HGDIOBJ> SelectedFonts;
    std::map<platform::HDC, unsigned> Alignments;
};

} // namespace plandra::cli
