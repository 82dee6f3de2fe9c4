// Billboards: reading pictures, placing and scaling them, and the slot table.
#include "billboards.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace vorn {

namespace {

using platform::Point;
using platform::Rect;
using platform::Size;

constexpr int GridWidth = 640;
constexpr int GridHeight = 480;
constexpr std::int64_t ScaleUnit = 10000;
// Larger pictures than this are taken for damaged data rather than drawn.
constexpr std::int32_t MaxSide = 16384;
constexpr std::size_t CoreHeaderSize = 12;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::size_t LargestInfoHeader = 124;
// Compression methods of a bitmap header.
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;
// A metafile header is 9 words; the picture's width and height follow the metafile.
constexpr std::size_t MetaHeaderSize = 18;
constexpr std::size_t SizeTrailer = 4;
constexpr int DissolveGrid = 8;

std::uint32_t U16(std::span<const std::uint8_t> d, std::size_t at) {
    return d[at] | (d[at + 1] << 8);
}

std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
    return U16(d, at) | (U16(d, at + 2) << 16);
}

std::variant<ImageInfo, std::string> ReadMetafile(std::span<const std::uint8_t> data) {
    if (data.size() < MetaHeaderSize + SizeTrailer) {
        return std::string("the metafile is shorter than its header");
    }
    std::size_t length = data.size() - SizeTrailer;
    std::uint32_t type = U16(data, 0);
    if ((type != 1 && type != 2) || U16(data, 2) != MetaHeaderSize / 2) {
        return std::string("the data is not a metafile");
    }
    if (std::uint64_t{U32(data, 6)} * 2 > length) {
        return std::string("the metafile is cut short");
    }
    ImageInfo info;
    info.Width = static_cast<std::int32_t>(U16(data, length));
    info.Height = static_cast<std::int32_t>(U16(data, length + 2));
    info.MetafileSize = length;
    if (info.Width == 0 || info.Height == 0) {
        return std::string("the metafile has no size");
    }
    return info;
}

std::variant<ImageInfo, std::string> ReadBitmap(std::span<const std::uint8_t> data) {
    if (data.size() < CoreHeaderSize) {
        return std::string("the data is too short for a bitmap");
    }
    std::uint32_t headerSize = U32(data, 0);
    ImageInfo info;
    std::uint32_t planes = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = BiRgb;
    std::uint32_t imageSize = 0;
    std::uint32_t used = 0;
    std::size_t entrySize = 4;
    std::size_t masks = 0;
    bool topDown = false;
    if (headerSize == CoreHeaderSize) {
        info.Width = static_cast<std::int32_t>(U16(data, 4));
        info.Height = static_cast<std::int32_t>(U16(data, 6));
        planes = U16(data, 8);
        bitCount = U16(data, 10);
        entrySize = 3;
    } else if (headerSize >= InfoHeaderSize && headerSize <= LargestInfoHeader &&
               data.size() >= headerSize) {
        info.Width = static_cast<std::int32_t>(U32(data, 4));
        std::int32_t height = static_cast<std::int32_t>(U32(data, 8));
        topDown = height < 0;
        info.Height = topDown ? (height == INT32_MIN ? 0 : -height) : height;
        planes = U16(data, 12);
        bitCount = U16(data, 14);
        compression = U32(data, 16);
        imageSize = U32(data, 20);
        used = U32(data, 32);
        masks = compression == BiBitfields && headerSize == InfoHeaderSize ? 12 : 0;
    } else {
        return std::string("the data is not a bitmap");
    }
    if (info.Width <= 0 || info.Height <= 0 || info.Width > MaxSide || info.Height > MaxSide) {
        return std::string("the bitmap's size is out of range");
    }
    const bool known = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
                       bitCount == 24 || bitCount == 32;
    if (planes != 1 || !known) {
        return std::string("the bitmap has an unknown pixel format");
    }
    const bool rle = compression == BiRle8 || compression == BiRle4;
    if ((compression == BiRle8 && bitCount != 8) || (compression == BiRle4 && bitCount != 4) ||
        (compression == BiBitfields && bitCount != 16 && bitCount != 32) ||
        compression > BiBitfields || (rle && topDown)) {
        return std::string("the bitmap is compressed in a way that cannot be drawn");
    }
    std::uint32_t palette = bitCount <= 8 ? (1u << bitCount) : 0;
    if (used != 0) {
        if (used > 256 || (bitCount <= 8 && used > palette)) {
            return std::string("the bitmap's colour table is too large");
        }
        palette = used;
    }
    info.Colours = palette;
    info.BitsOffset = headerSize + masks + std::size_t{palette} * entrySize;
    if (rle) {
        info.BitsSize = imageSize;
    } else {
        std::uint64_t stride =
            (std::uint64_t{static_cast<std::uint32_t>(info.Width)} * bitCount + 31) / 32 * 4;
        info.BitsSize = static_cast<std::size_t>(stride * static_cast<std::uint32_t>(info.Height));
    }
    if (info.BitsSize == 0 || info.BitsOffset > data.size() ||
        info.BitsSize > data.size() - info.BitsOffset) {
        return std::string("the bitmap is cut short");
    }
    return info;
}

} // namespace

std::variant<ImageInfo, std::string> ReadImageInfo(std::span<const std::uint8_t> data,
                                                   bool metafile) {
    return metafile ? ReadMetafile(data) : ReadBitmap(data);
}

Size ScaledSize(Size size, Size screen, bool scale) {
    if (!scale) {
        return size;
    }
    std::int64_t factor = std::min(std::int64_t{screen.cx} * ScaleUnit / GridWidth,
                                   std::int64_t{screen.cy} * ScaleUnit / GridHeight);
    return {static_cast<std::int32_t>(size.cx * factor / ScaleUnit),
            static_cast<std::int32_t>(size.cy * factor / ScaleUnit)};
}

Point PlaceGraphic(std::uint16_t flags, std::uint16_t xWord, std::uint16_t yWord, Size drawn,
                   Size screen) {
    auto place = [](bool centre, std::uint16_t word, std::int32_t extent, std::int32_t room,
                    int grid) {
        if (centre) {
            return (room - extent) / 2;
        }
        if ((word & graphic::FarEdge) != 0) {
            return room - extent;
        }
        return static_cast<std::int32_t>(std::int64_t{word & graphic::PositionMask} * room / grid);
    };
    return {
        place((flags & graphic::CentreHorizontally) != 0, xWord, drawn.cx, screen.cx, GridWidth),
        place((flags & graphic::CentreVertically) != 0, yWord, drawn.cy, screen.cy, GridHeight)};
}

std::size_t GraphicTable::ShownCount() const {
    std::size_t count = 0;
    while (count < SlotCount - Queued && !Slots[count].Empty()) {
        ++count;
    }
    return count;
}

std::size_t GraphicTable::Add(GraphicSlot slot, int percent) {
    std::size_t shown = ShownCount();
    if (shown + Queued >= SlotCount) {
        return SlotCount;
    }
    if (!slot.Sequence) {
        Slots[shown] = std::move(slot);
        return shown;
    }
    std::size_t index = SlotCount - 1 - Queued;
    Slots[index] = std::move(slot);
    ++Queued;
    Recompute(percent);
    return index;
}

std::vector<GraphicSlot> GraphicTable::RemoveTop(std::size_t count) {
    std::vector<GraphicSlot> removed;
    for (std::size_t shown = ShownCount(); count > 0 && shown > 0; --count, --shown) {
        removed.push_back(std::exchange(Slots[shown - 1], GraphicSlot{}));
    }
    return removed;
}

std::size_t GraphicTable::Advance(int percent, std::vector<GraphicSlot>& removed) {
    if (Queued == 0 || percent < NextThreshold) {
        return SlotCount;
    }
    // The next queued graphic is the first one queued, in slot 31; the others move up.
    GraphicSlot next = std::exchange(Slots[SlotCount - 1], GraphicSlot{});
    for (std::size_t i = SlotCount - 1; i > SlotCount - Queued; --i) {
        Slots[i] = std::exchange(Slots[i - 1], GraphicSlot{});
    }
    --Queued;
    next.Displayed = true;
    std::size_t shown = ShownCount();
    std::size_t place = shown;
    for (std::size_t i = 0; i < shown; ++i) {
        if (Slots[i].Sequence) {
            removed.push_back(std::exchange(Slots[i], GraphicSlot{}));
            place = i;
            break;
        }
    }
    Slots[place] = std::move(next);
    Recompute(percent);
    return place;
}

void GraphicTable::Clear() {
    for (GraphicSlot& slot : Slots) {
        slot = GraphicSlot{};
    }
    Queued = 0;
    NextThreshold = NoThreshold;
}

void GraphicTable::Recompute(int percent) {
    if (Queued == 0) {
        NextThreshold = NoThreshold;
        return;
    }
    // The lowest queued slot is 32 - Queued: the queued graphics share the rest of the
    // bar evenly, the last one showing before the end.
    std::size_t lowestQueued = SlotCount - Queued;
    NextThreshold = percent + (100 - percent) / static_cast<int>(33 - lowestQueued);
}

std::vector<DrawnPart> DrawnParts(const GraphicSlot& slot, Size screen) {
    const Rect whole{0, 0, slot.Image.Width, slot.Image.Height};
    Rect target = slot.Area();
    const int left = TransitionSteps - slot.TransitionStep;
    Effect effect = slot.TransitionEffect();
    if (left <= 0 || effect == Effect::None) {
        return {{whole, target}};
    }
    auto shift = [&](int dx, int dy) {
        target.left += dx;
        target.right += dx;
        target.top += dy;
        target.bottom += dy;
        return std::vector<DrawnPart>{{whole, target}};
    };
    switch (effect) {
    case Effect::FromTop:
        return shift(0, -(target.bottom * left / TransitionSteps));
    case Effect::FromBottom:
        return shift(0, (screen.cy - target.top) * left / TransitionSteps);
    case Effect::FromLeft:
        return shift(-(target.right * left / TransitionSteps), 0);
    case Effect::FromRight:
        return shift((screen.cx - target.left) * left / TransitionSteps, 0);
    default:
        break;
    }
    // Dissolve: the cells whose place in a scattered order (a step of 37 through the
    // 64 cells, which visits each once) falls among those revealed so far.
    std::vector<DrawnPart> parts;
    constexpr int cells = DissolveGrid * DissolveGrid;
    const int revealed = cells * slot.TransitionStep / TransitionSteps;
    for (int cell = 0; cell < cells; ++cell) {
        if ((cell * 37 + 11) % cells >= revealed) {
            continue;
        }
        int column = cell % DissolveGrid;
        int row = cell / DissolveGrid;
        auto cut = [](int from, int to, int part) {
            return from + (to - from) * part / DissolveGrid;
        };
        parts.push_back(
            {{cut(0, whole.right, column), cut(0, whole.bottom, row),
              cut(0, whole.right, column + 1), cut(0, whole.bottom, row + 1)},
             {cut(target.left, target.right, column), cut(target.top, target.bottom, row),
              cut(target.left, target.right, column + 1),
              cut(target.top, target.bottom, row + 1)}});
    }
    return parts;
}

Rect StartArea(const GraphicSlot& slot, Size screen) {
    Rect area = slot.Area();
    switch (slot.TransitionEffect()) {
    case Effect::FromTop:
        area.top = std::min(area.top, 0);
        break;
    case Effect::FromBottom:
        area.bottom = std::max(area.bottom, screen.cy);
        break;
    case Effect::FromLeft:
        area.left = std::min(area.left, 0);
        break;
    case Effect::FromRight:
        area.right = std::max(area.right, screen.cx);
        break;
    default:
        break;
    }
    return area;
}

} // namespace vorn
