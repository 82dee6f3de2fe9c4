// Reads back the PNG files our writer makes (8-bit RGB, filter type 0 on every row),
// for tests that compare pictures.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace plandra::test {

struct RgbPicture {
    int Width = 0;
    int Height = 0;
    /// 0xRRGGBB, row by row from the top.
    std::vector<std::uint32_t> Pixels;

    std::uint32_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                      static_cast<std::size_t>(x)];
    }
};

/// The picture in `png`, or nothing with `error` set when the file is not a PNG file of
/// that kind or is damaged (chunk CRCs and the zlib stream are checked).
std::optional<RgbPicture> DecodePng(std::span<const std::uint8_t> png, std::string& error);
std::optional<RgbPicture> ReadPngFile(const std::string& fileName, std::string& error);

} // namespace plandra::test
