// Fuzz target: arbitrary bytes read as a billboard's picture (the first byte chooses a
// bitmap or a metafile) give its size or a reason, never a crash; an accepted picture's
// parts lie inside the bytes, and its drawn pieces stay inside its own pixels; an
// accepted metafile is played through a GDI that draws nothing.
#include "installer/engine/billboards.h"
#include "platform/headless/null_gdi.h"
#include "platform/metafile/wmf_player.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool metafile = (data[0] & 1) != 0;
    std::span<const std::uint8_t> bytes(data + 1, size - 1);
    auto read = vorn::ReadImageInfo(bytes, metafile);
    if (const std::string* error = std::get_if<std::string>(&read)) {
        if (error->empty()) {
            std::abort();
        }
        return 0;
    }
    vorn::GraphicSlot slot;
    slot.Image = std::get<vorn::ImageInfo>(read);
    if (slot.Image.Width <= 0 || slot.Image.Height <= 0 ||
        slot.Image.BitsOffset + slot.Image.BitsSize > bytes.size() ||
        slot.Image.MetafileSize > bytes.size()) {
        std::abort();
    }
    platform::NullGdi gdi;
    platform::metafile::PlayWmf(gdi, gdi.CreateCompatibleDC(nullptr),
                                bytes.first(slot.Image.MetafileSize), {});
    slot.Flags = static_cast<std::uint16_t>((data[0] >> 1) << 5);
    slot.Scaled = vorn::ScaledSize({slot.Image.Width, slot.Image.Height}, {1024, 768},
                                   (slot.Flags & vorn::graphic::ScaleToScreen) != 0);
    slot.TransitionStep = data[0] % (vorn::TransitionSteps + 1);
    for (const vorn::DrawnPart& part : vorn::DrawnParts(slot, {1024, 768})) {
        if (part.Source.left < 0 || part.Source.top < 0 || part.Source.right > slot.Image.Width ||
            part.Source.bottom > slot.Image.Height) {
            std::abort();
        }
    }
    return 0;
}
