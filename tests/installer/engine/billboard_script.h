// Scripts with billboards for the display's tests: display-graphic records whose
// pictures lie in an in-memory archive, and the decompressor that copies them out.
#pragma once

#include "installer/engine/install_context.h"
#include "installer/engine/script_builder.h"

#include <cstdint>
#include <vector>

namespace vorn::testing {

/// A packed bitmap of width x height pixels, 8 bits each, colours red (0) and blue (1),
/// in squares of `square` pixels (0: all red).
std::vector<std::uint8_t> TestBitmap(std::uint32_t width, std::uint32_t height = 2,
                                     std::uint16_t bitCount = 8, std::uint32_t square = 0);

struct BillboardScript {
    ScriptBuilder Builder;
    /// The pictures as stored: the fake decompressor copies them as they are.
    std::vector<std::uint8_t> Archive;

    void Graphic(std::uint16_t flags, std::uint16_t x, std::uint16_t y,
                 const std::vector<std::uint8_t>& image);
    /// The records and the end of the script.
    std::vector<std::uint8_t> Build() const;
    /// Points `context` at this archive through the copying decompressor.
    void Attach(InstallContext& context);
};

} // namespace vorn::testing
