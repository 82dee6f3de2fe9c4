// Metafile device contexts over a raster GDI: recording on the one, drawing on the other.
#include "platform/metafile/metafile_gdi.h"

#include "platform/gdi_objects.h"
#include "platform/metafile/emf_recorder.h"
#include "platform/metafile/wmf_recorder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>

namespace platform::metafile {

namespace {

/// The font a device context starts with (SYSTEM_FONT), which selecting a font into a
/// metafile device context hands back.
GdiFont SystemFont;
constexpr int SystemFontStock = 13;

bool WriteFile(std::string_view fileName, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(std::string(fileName), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file.flush());
}

} // namespace

struct MetafileGdi::Recording {
    /// The file an enhanced metafile's records stream to (declared before the recorder
    /// that writes to it).
    std::ofstream File;
    std::unique_ptr<MetafileRecorder> Recorder;
    HDC Reference = nullptr;
    std::string FileName;
    bool Enhanced = true;
    UniqueDeviceContext OwnedReference;
    std::unordered_map<HGDIOBJ, std::uint32_t> Table;
    HGDIOBJ Pen = nullptr;
    HGDIOBJ Brush = nullptr;
    HGDIOBJ Font = &SystemFont;
    Point Position;
    unsigned TextAlign = ta::Left | ta::Top;
    ColorRef TextColor = 0;
    ColorRef BkColor = 0xFFFFFF;
    int BkMode = Opaque;
    int Rop2 = r2::CopyPen;
};

MetafileGdi::MetafileGdi(GdiService& inner) : Inner(inner) {}

MetafileGdi::~MetafileGdi() = default;

MetafileGdi::Recording* MetafileGdi::Find(HDC dc) const {
    for (const auto& recording : Open) {
        if (reinterpret_cast<HDC>(recording.get()) == dc) {
            return recording.get();
        }
    }
    return nullptr;
}

void MetafileGdi::Describe(HGDIOBJ object, ObjectDefinition definition) {
    if (object != nullptr && !Open.empty()) {
        Definitions.insert_or_assign(object, std::move(definition));
    }
}

std::optional<std::uint32_t> MetafileGdi::Use(Recording& recording, HGDIOBJ object) {
    if (object == &SystemFont) {
        return StockFlag | SystemFontStock;
    }
    if (auto stock = StockNumbers.find(object); stock != StockNumbers.end()) {
        return StockFlag | static_cast<std::uint32_t>(stock->second);
    }
    if (auto known = recording.Table.find(object); known != recording.Table.end()) {
        return known->second;
    }
    auto definition = Definitions.find(object);
    if (definition == Definitions.end()) {
        return std::nullopt;
    }
    std::uint32_t index = recording.Recorder->Create(definition->second);
    if ((index & StockFlag) != 0) {
        return std::nullopt;
    }
    recording.Table.emplace(object, index);
    return index;
}

HDC MetafileGdi::CreateCompatibleDC(HDC reference) {
    if (Recording* recording = Find(reference)) {
        reference = recording->Reference;
    }
    return Inner.CreateCompatibleDC(reference);
}

bool MetafileGdi::DeleteDC(HDC dc) {
    // Deleting a metafile device context abandons its recording, and the file begun
    // for it: without its header it is no metafile.
    if (Find(dc) != nullptr) {
        std::unique_ptr<Recording> recording = Stop(dc);
        if (recording->File.is_open()) {
            recording->File.close();
            std::error_code ignored;
            std::filesystem::remove(recording->FileName, ignored);
        }
        return true;
    }
    return Inner.DeleteDC(dc);
}

HBITMAP MetafileGdi::CreateDIBSection(HDC reference, int width, int height) {
    if (Recording* recording = Find(reference)) {
        reference = recording->Reference;
    }
    return Inner.CreateDIBSection(reference, width, height);
}

HPEN MetafileGdi::CreatePen(int style, int width, ColorRef color) {
    HPEN pen = Inner.CreatePen(style, width, color);
    Describe(pen, PenDefinition{style, width, color});
    return pen;
}

HBRUSH MetafileGdi::CreateSolidBrush(ColorRef color) {
    HBRUSH brush = Inner.CreateSolidBrush(color);
    Describe(brush, BrushDefinition{color, false});
    return brush;
}

HGDIOBJ MetafileGdi::GetStockObject(int object) {
    HGDIOBJ stock = Inner.GetStockObject(object);
    if (stock != nullptr) {
        StockNumbers.insert_or_assign(stock, object);
    }
    return stock;
}

HGDIOBJ MetafileGdi::SelectObject(HDC dc, HGDIOBJ object) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.SelectObject(dc, object);
    }
    HGDIOBJ* slot = nullptr;
    if (object == &SystemFont) {
        slot = &recording->Font;
    } else if (auto stock = StockNumbers.find(object); stock != StockNumbers.end()) {
        slot = stock->second == stock::BlackPen ? &recording->Pen : &recording->Brush;
    } else if (auto definition = Definitions.find(object); definition != Definitions.end()) {
        slot = std::holds_alternative<PenDefinition>(definition->second)     ? &recording->Pen
               : std::holds_alternative<BrushDefinition>(definition->second) ? &recording->Brush
                                                                             : &recording->Font;
    }
    std::optional<std::uint32_t> index = slot != nullptr ? Use(*recording, object) : std::nullopt;
    if (!index) {
        return nullptr;
    }
    if ((*index & StockFlag) != 0) {
        recording->Recorder->SelectStock(static_cast<int>(*index & ~StockFlag));
    } else {
        recording->Recorder->Select(*index);
    }
    HGDIOBJ previous = *slot;
    *slot = object;
    return previous;
}

bool MetafileGdi::DeleteObject(HGDIOBJ object) {
    if (object == &SystemFont) {
        return true;
    }
    for (const auto& recording : Open) {
        auto entry = recording->Table.find(object);
        if (entry != recording->Table.end()) {
            recording->Recorder->Delete(entry->second);
            recording->Table.erase(entry);
        }
    }
    if (!Definitions.empty()) {
        Definitions.erase(object);
    }
    if (!Regions.empty()) {
        Regions.erase(object);
    }
    return Inner.DeleteObject(object);
}

bool MetafileGdi::MoveToEx(HDC dc, int x, int y, Point* previous) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.MoveToEx(dc, x, y, previous);
    }
    if (previous != nullptr) {
        *previous = recording->Position;
    }
    recording->Position = {x, y};
    recording->Recorder->MoveTo({x, y});
    return true;
}

bool MetafileGdi::LineTo(HDC dc, int x, int y) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.LineTo(dc, x, y);
    }
    recording->Position = {x, y};
    recording->Recorder->LineTo({x, y});
    return true;
}

bool MetafileGdi::Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                      int xEnd, int yEnd) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.Arc(dc, left, top, right, bottom, xStart, yStart, xEnd, yEnd);
    }
    recording->Recorder->Arc({left, top, right, bottom}, {xStart, yStart}, {xEnd, yEnd});
    return true;
}

bool MetafileGdi::Ellipse(HDC dc, int left, int top, int right, int bottom) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.Ellipse(dc, left, top, right, bottom);
    }
    recording->Recorder->Ellipse({left, top, right, bottom});
    return true;
}

bool MetafileGdi::Polygon(HDC dc, std::span<const Point> points) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.Polygon(dc, points);
    }
    if (points.size() < 2) {
        return false;
    }
    recording->Recorder->Polygon(points);
    return true;
}

HRGN MetafileGdi::CreateRectRgn(int left, int top, int right, int bottom) {
    HRGN region = Inner.CreateRectRgn(left, top, right, bottom);
    if (region != nullptr && !Open.empty()) {
        Regions.insert_or_assign(
            region,
            Region{{{left, top}, {right, top}, {right, bottom}, {left, bottom}}, Alternate});
    }
    return region;
}

HRGN MetafileGdi::CreatePolygonRgn(std::span<const Point> points, int fillMode) {
    HRGN region = Inner.CreatePolygonRgn(points, fillMode);
    if (region != nullptr && !Open.empty()) {
        Regions.insert_or_assign(
            region, Region{std::vector<Point>(points.begin(), points.end()), fillMode});
    }
    return region;
}

bool MetafileGdi::FillRgn(HDC dc, HRGN region, HBRUSH brush) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.FillRgn(dc, region, brush);
    }
    auto shape = Regions.find(region);
    std::optional<std::uint32_t> index = Use(*recording, brush);
    if (shape == Regions.end() || !index) {
        return false;
    }
    recording->Recorder->FillPolygon(shape->second.Points, shape->second.FillMode, *index);
    return true;
}

bool MetafileGdi::RectInRegion(HRGN region, const Rect& rect) {
    return Inner.RectInRegion(region, rect);
}

int MetafileGdi::FillRect(HDC dc, const Rect& rect, HBRUSH brush) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.FillRect(dc, rect, brush);
    }
    std::optional<std::uint32_t> index = Use(*recording, brush);
    if (!index || rect.left >= rect.right || rect.top >= rect.bottom) {
        return 0;
    }
    const Point corners[] = {{rect.left, rect.top},
                             {rect.right, rect.top},
                             {rect.right, rect.bottom},
                             {rect.left, rect.bottom}};
    recording->Recorder->FillPolygon(corners, Alternate, *index);
    return 1;
}

ColorRef MetafileGdi::SetPixel(HDC dc, int x, int y, ColorRef color) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.SetPixel(dc, x, y, color);
    }
    recording->Recorder->SetPixel({x, y}, color);
    return color;
}

ColorRef MetafileGdi::GetPixel(HDC dc, int x, int y) {
    // A metafile has no pixels to read.
    return Find(dc) != nullptr ? ClrInvalid : Inner.GetPixel(dc, x, y);
}

int MetafileGdi::SetROP2(HDC dc, int mode) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.SetROP2(dc, mode);
    }
    if (mode < r2::Black || mode > r2::White) {
        return 0;
    }
    recording->Recorder->SetROP2(mode);
    return std::exchange(recording->Rop2, mode);
}

int MetafileGdi::SetBkMode(HDC dc, int mode) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.SetBkMode(dc, mode);
    }
    if (mode != Transparent && mode != Opaque) {
        return 0;
    }
    recording->Recorder->SetBkMode(mode);
    return std::exchange(recording->BkMode, mode);
}

ColorRef MetafileGdi::SetBkColor(HDC dc, ColorRef color) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.SetBkColor(dc, color);
    }
    recording->Recorder->SetBkColor(color);
    return std::exchange(recording->BkColor, color);
}

int MetafileGdi::GetDeviceCaps(HDC dc, int index) {
    if (Recording* recording = Find(dc)) {
        dc = recording->Reference;
    }
    return Inner.GetDeviceCaps(dc, index);
}

HFONT MetafileGdi::CreateFontA(const FontRequest& font) {
    HFONT made = Inner.CreateFontA(font);
    Describe(made, FontDefinition(font));
    return made;
}

unsigned MetafileGdi::SetTextAlign(HDC dc, unsigned align) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.SetTextAlign(dc, align);
    }
    recording->Recorder->SetTextAlign(align);
    return std::exchange(recording->TextAlign, align);
}

ColorRef MetafileGdi::SetTextColor(HDC dc, ColorRef color) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.SetTextColor(dc, color);
    }
    recording->Recorder->SetTextColor(color);
    return std::exchange(recording->TextColor, color);
}

std::vector<std::int32_t> MetafileGdi::Advances(Recording& recording, std::string_view text) {
    std::vector<std::int32_t> advances(text.size(), 0);
    HDC reference = recording.Reference;
    if (reference == nullptr) {
        return advances;
    }
    HGDIOBJ previous =
        recording.Font != &SystemFont ? Inner.SelectObject(reference, recording.Font) : nullptr;
    std::int32_t before = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        Size size;
        if (Inner.GetTextExtentPoint32A(reference, text.substr(0, i + 1), &size)) {
            advances[i] = size.cx - before;
            before = size.cx;
        }
    }
    if (previous != nullptr) {
        Inner.SelectObject(reference, previous);
    }
    return advances;
}

bool MetafileGdi::TextOutA(HDC dc, int x, int y, std::string_view text) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.TextOutA(dc, x, y, text);
    }
    recording->Recorder->TextOut({x, y}, text, Advances(*recording, text));
    return true;
}

bool MetafileGdi::GetTextExtentPoint32A(HDC dc, std::string_view text, Size* size) {
    Recording* recording = Find(dc);
    if (recording == nullptr) {
        return Inner.GetTextExtentPoint32A(dc, text, size);
    }
    if (recording->Reference == nullptr) {
        return false;
    }
    HGDIOBJ previous = recording->Font != &SystemFont
                           ? Inner.SelectObject(recording->Reference, recording->Font)
                           : nullptr;
    bool measured = Inner.GetTextExtentPoint32A(recording->Reference, text, size);
    if (previous != nullptr) {
        Inner.SelectObject(recording->Reference, previous);
    }
    return measured;
}

HDC MetafileGdi::Start(HDC reference, std::string_view fileName,
                       std::unique_ptr<MetafileRecorder> recorder) {
    auto recording = std::make_unique<Recording>();
    recording->Recorder = std::move(recorder);
    recording->Reference = reference;
    recording->FileName = fileName;
    recording->Pen = GetStockObject(stock::BlackPen);
    recording->Brush = GetStockObject(stock::WhiteBrush);
    Open.push_back(std::move(recording));
    return reinterpret_cast<HDC>(Open.back().get());
}

std::unique_ptr<MetafileGdi::Recording> MetafileGdi::Stop(HDC dc) {
    auto found = std::find_if(Open.begin(), Open.end(), [dc](const auto& recording) {
        return reinterpret_cast<HDC>(recording.get()) == dc;
    });
    if (found == Open.end()) {
        return nullptr;
    }
    std::unique_ptr<Recording> recording = std::move(*found);
    Open.erase(found);
    if (Open.empty()) {
        Definitions.clear();
        Regions.clear();
    }
    return recording;
}

HDC MetafileGdi::CreateEnhMetaFileA(HDC reference, std::string_view fileName, const Rect* frame,
                                    std::string_view description) {
    ReferenceDevice device;
    if (reference != nullptr) {
        Size pixels{Inner.GetDeviceCaps(reference, caps::HorzRes),
                    Inner.GetDeviceCaps(reference, caps::VertRes)};
        Size millimeters{Inner.GetDeviceCaps(reference, caps::HorzSize),
                         Inner.GetDeviceCaps(reference, caps::VertSize)};
        if (pixels.cx > 0 && pixels.cy > 0 && millimeters.cx > 0 && millimeters.cy > 0) {
            device = {pixels, millimeters};
        }
    }
    std::optional<Rect> frameRect;
    if (frame != nullptr) {
        frameRect = *frame;
    }
    // A named metafile is written as it is drawn, as GDI writes it, rather than held
    // whole in memory; a file that cannot be made fails the creation, as in GDI.
    std::ofstream file;
    if (!fileName.empty()) {
        file.open(std::string(fileName), std::ios::binary | std::ios::trunc);
        if (!file) {
            return nullptr;
        }
    }
    HDC dc = Start(reference, fileName, nullptr);
    Recording* recording = Find(dc);
    recording->File = std::move(file);
    recording->Recorder = std::make_unique<EmfRecorder>(
        device, frameRect, description, fileName.empty() ? nullptr : &recording->File);
    return dc;
}

MetafileGdi::Closed* MetafileGdi::Close(HDC dc, bool enhanced) {
    auto found = std::find_if(Open.begin(), Open.end(), [dc](const auto& recording) {
        return reinterpret_cast<HDC>(recording.get()) == dc;
    });
    // Each kind of metafile is closed by its own call only, as GDI requires.
    if (found == Open.end() || (*found)->Enhanced != enhanced) {
        return nullptr;
    }
    std::unique_ptr<Recording> recording = Stop(dc);
    auto closed = std::make_unique<Closed>();
    closed->Bytes = recording->Recorder->Finish();
    closed->Enhanced = enhanced;
    if (recording->File.is_open()) {
        recording->File.close();
        if (!recording->File) {
            return nullptr;
        }
        closed->FileName = recording->FileName;
    } else if (!recording->FileName.empty() && !WriteFile(recording->FileName, closed->Bytes)) {
        return nullptr;
    }
    ClosedMetafiles.push_back(std::move(closed));
    return ClosedMetafiles.back().get();
}

bool MetafileGdi::Forget(const void* metafile, bool enhanced) {
    auto found = std::find_if(ClosedMetafiles.begin(), ClosedMetafiles.end(),
                              [metafile, enhanced](const auto& closed) {
                                  return closed.get() == metafile && closed->Enhanced == enhanced;
                              });
    if (found == ClosedMetafiles.end()) {
        return false;
    }
    ClosedMetafiles.erase(found);
    return true;
}

std::span<const std::uint8_t> MetafileGdi::Bits(const void* metafile, bool enhanced) const {
    for (const auto& closed : ClosedMetafiles) {
        if (closed.get() == metafile && closed->Enhanced == enhanced) {
            if (closed->Bytes.empty() && !closed->FileName.empty()) {
                // A metafile written as it was drawn is read back when its bytes are
                // asked for.
                std::ifstream file(closed->FileName, std::ios::binary);
                closed->Bytes.assign(std::istreambuf_iterator<char>(file), {});
            }
            return closed->Bytes;
        }
    }
    return {};
}

HENHMETAFILE MetafileGdi::CloseEnhMetaFile(HDC dc) {
    return reinterpret_cast<HENHMETAFILE>(Close(dc, true));
}

bool MetafileGdi::DeleteEnhMetaFile(HENHMETAFILE metafile) {
    return Forget(metafile, true);
}

std::span<const std::uint8_t> MetafileGdi::EnhMetaFileBits(HENHMETAFILE metafile) const {
    return Bits(metafile, true);
}

HDC MetafileGdi::CreateMetaFileA(std::string_view fileName) {
    // A standard metafile has no reference device; its texts are measured on a device
    // context of the screen's kind, made for it.
    HDC dc = Start(Inner.CreateCompatibleDC(nullptr), fileName, std::make_unique<WmfRecorder>());
    Recording* recording = Find(dc);
    recording->Enhanced = false;
    recording->OwnedReference = OwnDc(Inner, recording->Reference);
    return dc;
}

HMETAFILE MetafileGdi::CloseMetaFile(HDC dc) {
    return reinterpret_cast<HMETAFILE>(Close(dc, false));
}

bool MetafileGdi::DeleteMetaFile(HMETAFILE metafile) {
    return Forget(metafile, false);
}

std::vector<std::uint8_t> MetafileGdi::GetMetaFileBits(HMETAFILE metafile) {
    std::span<const std::uint8_t> bytes = Bits(metafile, false);
    return {bytes.begin(), bytes.end()};
}

} // namespace platform::metafile
