// Billboards: the pictures a script places on the setup program's main window, their
// 32 slots, where and how large each is drawn, and the progress sequence that shows
// queued pictures one after the other as the installation advances.
#pragma once

#include "platform/gdi.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace vorn {

/// Flags of a display-graphic record (opcode 6).
namespace graphic {
inline constexpr std::uint16_t RemoveAll = 0x0001;
inline constexpr std::uint16_t OrPaint = 0x0002;
inline constexpr std::uint16_t CentreHorizontally = 0x0008;
inline constexpr std::uint16_t CentreVertically = 0x0010;
inline constexpr std::uint16_t ScaleToScreen = 0x0020;
inline constexpr std::uint16_t RepeatDownwards = 0x0040;
inline constexpr std::uint16_t EffectMask = 0x0380;
inline constexpr int EffectShift = 7;
inline constexpr std::uint16_t Metafile = 0x0400;
inline constexpr std::uint16_t CloseProgress = 0x4000;
/// Bits of the record's x and y words besides the position on the 640 x 480 grid.
inline constexpr std::uint16_t PositionMask = 0x3FFF;
inline constexpr std::uint16_t FarEdge = 0x4000;
inline constexpr std::uint16_t InSequence = 0x8000;
} // namespace graphic

/// Transition effects, bits 7 to 9 of the flags.
enum class Effect : std::uint8_t { None, Dissolve, FromTop, FromBottom, FromLeft, FromRight };

/// How many of the top graphics a record removes first (bits 2 and 11 to 13).
constexpr int RemovalCount(std::uint16_t flags) {
    return (((flags & 0x3800) >> 8) | (flags & 4)) >> 2;
}

/// A picture's own size and where its parts lie in its bytes.
struct ImageInfo {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint32_t Colours = 0;
    /// Packed bitmaps: offset and size of the pixel rows after the header and colours.
    std::size_t BitsOffset = 0;
    std::size_t BitsSize = 0;
    /// Metafiles: the length of the metafile before its two size words.
    std::size_t MetafileSize = 0;
};

/// Reads a packed device-independent bitmap's header (BITMAPINFOHEADER or the older
/// BITMAPCOREHEADER, then colours, then rows), or a metafile whose width and height are
/// its last two 16-bit words. Damaged or foreign data gives the reason as text.
std::variant<ImageInfo, std::string> ReadImageInfo(std::span<const std::uint8_t> data,
                                                   bool metafile);

/// The size a picture is drawn at: with scaling, as large as the screen allows the
/// 640 x 480 grid to grow, keeping the picture's proportions.
platform::Size ScaledSize(platform::Size size, platform::Size screen, bool scale);

/// Where a picture of `drawn` size goes: centred, against the right or bottom edge, or
/// at the record's position on the 640 x 480 grid.
platform::Point PlaceGraphic(std::uint16_t flags, std::uint16_t xWord, std::uint16_t yWord,
                             platform::Size drawn, platform::Size screen);

struct GraphicSlot {
    /// The picture's bytes; empty for a free slot.
    std::vector<std::uint8_t> Data;
    ImageInfo Image;
    platform::Size Scaled;
    platform::Point Position;
    std::uint16_t Flags = 0;
    bool Sequence = false;
    bool Displayed = false;
    platform::HMETAFILE Metafile = nullptr;
    /// How much of a transition is done, 0 to TransitionSteps.
    int TransitionStep = 0;

    bool Empty() const { return Data.empty(); }
    Effect TransitionEffect() const {
        return static_cast<Effect>((Flags & graphic::EffectMask) >> graphic::EffectShift);
    }
    platform::Rect Area() const {
        return {Position.x, Position.y, Position.x + Scaled.cx, Position.y + Scaled.cy};
    }
};

/// Steps of a transition effect.
inline constexpr int TransitionSteps = 8;

/// The 32 slots: shown graphics from slot 0 upwards (a free slot ends them), queued
/// graphics of the progress sequence from slot 31 downwards.
class GraphicTable {
public:
    static constexpr std::size_t SlotCount = 32;
    /// What the sequence threshold is while nothing is queued.
    static constexpr int NoThreshold = 255;

    std::size_t ShownCount() const;
    std::size_t QueuedCount() const { return Queued; }
    const GraphicSlot& Slot(std::size_t index) const { return Slots[index]; }
    GraphicSlot& Slot(std::size_t index) { return Slots[index]; }
    int Threshold() const { return NextThreshold; }

    /// Adds a shown graphic on top, or queues a sequence graphic; returns its slot, or
    /// SlotCount when the table is full. `percent` is the progress now.
    std::size_t Add(GraphicSlot slot, int percent);
    /// Takes the top `count` shown graphics (all of them when fewer are shown) out of
    /// the table and returns them.
    std::vector<GraphicSlot> RemoveTop(std::size_t count);
    /// When `percent` reached the threshold: takes the sequence graphic on screen out
    /// (into `removed`) and shows the next queued one in its place; returns the new
    /// graphic's slot, or SlotCount when nothing changed.
    std::size_t Advance(int percent, std::vector<GraphicSlot>& removed);
    /// Frees every slot (metafile handles must have been deleted).
    void Clear();

private:
    void Recompute(int percent);

    std::array<GraphicSlot, SlotCount> Slots{};
    std::size_t Queued = 0;
    int NextThreshold = NoThreshold;
};

/// One piece of a graphic to draw: a rectangle of the picture's own pixels and the
/// screen rectangle it is stretched onto.
struct DrawnPart {
    platform::Rect Source;
    platform::Rect Target;
};
/// What of a graphic is drawn now: all of it once its transition is done; during a
/// slide all of it on its way in from the screen edge; during a dissolve the cells of
/// an 8 x 8 grid revealed so far, in a scattered order.
std::vector<DrawnPart> DrawnParts(const GraphicSlot& slot, platform::Size screen);

/// The area to invalidate when a graphic appears: its own, and for the slides as far as
/// the screen edge it comes from.
platform::Rect StartArea(const GraphicSlot& slot, platform::Size screen);

} // namespace vorn
