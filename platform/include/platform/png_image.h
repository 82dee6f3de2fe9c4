// The one PNG writer of every build: 8-bit RGB pictures, compressed by a small deflate
// encoder of our own so that no build needs an image or compression library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

/// A picture held as 32-bit pixels 0x00RRGGBB in native byte order, the layout of
/// 32-bit DIB sections and of cairo's RGB24 image surfaces. Rows lie `Stride` bytes
/// apart, top row first.
struct PixelRows {
    const std::uint8_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
    std::size_t Stride = 0;
};

/// The complete PNG file of `rows` (colour type 2, 8 bits a sample, no interlace);
/// empty when the picture has no pixels or its rows are narrower than its width.
std::vector<std::uint8_t> EncodePng(const PixelRows& rows);

/// Writes `rows` as a PNG file. False when the picture is empty or the file cannot be
/// written; no partial file is left behind then.
bool WritePngFile(const std::string& fileName, const PixelRows& rows);

/// The CRC-32 of PNG chunks (polynomial 0xEDB88320), continued from `crc`.
std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

} // namespace platform
