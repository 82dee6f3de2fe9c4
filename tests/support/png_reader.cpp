// Reads back our PNG files with zlib.
#include "png_reader.h"

#include <fstream>
#include <iterator>
#include <zlib.h>

namespace plandra::test {

namespace {

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

} // namespace

std::optional<RgbPicture> DecodePng(std::span<const std::uint8_t> png, std::string& error) {
    static constexpr std::uint8_t Signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 8 || !std::equal(Signature, Signature + 8, png.begin())) {
        error = "not a PNG file";
        return std::nullopt;
    }
    RgbPicture picture;
    std::vector<std::uint8_t> compressed;
    bool ended = false;
    for (std::size_t at = 8; !ended;) {
        if (png.size() - at < 12) {
            error = "the file ends inside a chunk";
            return std::nullopt;
        }
        const std::uint32_t length = BigEndian(png.subspan(at));
        if (length > png.size() - at - 12) {
            error = "a chunk runs past the end of the file";
            return std::nullopt;
        }
        const auto typeAndData = png.subspan(at + 4, length + 4);
        if (crc32(0, typeAndData.data(), static_cast<uInt>(typeAndData.size())) !=
            BigEndian(png.subspan(at + 8 + length))) {
            error = "a chunk's CRC is wrong";
            return std::nullopt;
        }
        const std::string type(typeAndData.begin(), typeAndData.begin() + 4);
        const auto data = typeAndData.subspan(4);
        if (type == "IHDR") {
            if (length != 13 || data[8] != 8 || data[9] != 2 || data[12] != 0) {
                error = "only 8-bit RGB pictures without interlace are read";
                return std::nullopt;
            }
            const std::uint32_t width = BigEndian(data);
            const std::uint32_t height = BigEndian(data.subspan(4));
            if (width == 0 || height == 0 || width > 32767 || height > 32767) {
                error = "the picture's size is out of range";
                return std::nullopt;
            }
            picture.Width = static_cast<int>(width);
            picture.Height = static_cast<int>(height);
        } else if (type == "IDAT") {
            compressed.insert(compressed.end(), data.begin(), data.end());
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (picture.Width == 0) {
        error = "the file has no IHDR chunk";
        return std::nullopt;
    }
    const std::size_t rowLength = 1 + static_cast<std::size_t>(picture.Width) * 3;
    const std::size_t expected = rowLength * static_cast<std::size_t>(picture.Height);
    // Deflate expands at most about 1032 to 1: a picture larger than its data could
    // hold is damaged, and is refused before its rows are allocated.
    if (expected / 1032 > compressed.size()) {
        error = "the image data is too short for the picture's size";
        return std::nullopt;
    }
    std::vector<std::uint8_t> rows(expected);
    uLongf size = static_cast<uLongf>(rows.size());
    if (uncompress(rows.data(), &size, compressed.data(), static_cast<uLong>(compressed.size())) !=
            Z_OK ||
        size != rows.size()) {
        error = "the image data is not a zlib stream of the picture's size";
        return std::nullopt;
    }
    picture.Pixels.reserve(static_cast<std::size_t>(picture.Width) *
                           static_cast<std::size_t>(picture.Height));
    for (std::size_t row = 0; row < static_cast<std::size_t>(picture.Height); ++row) {
        const std::uint8_t* line = rows.data() + row * rowLength;
        if (line[0] != 0) {
            error = "a row uses a filter other than none";
            return std::nullopt;
        }
        for (int x = 0; x < picture.Width; ++x) {
            const std::uint8_t* rgb = line + 1 + 3 * x;
            picture.Pixels.push_back((std::uint32_t{rgb[0]} << 16) | (std::uint32_t{rgb[1]} << 8) |
                                     rgb[2]);
        }
    }
    return picture;
}

std::optional<RgbPicture> ReadPngFile(const std::string& fileName, std::string& error) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        error = "cannot read " + fileName;
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    return DecodePng(bytes, error);
}

} // namespace plandra::test
