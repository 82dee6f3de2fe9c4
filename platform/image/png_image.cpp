// PNG files written with our own deflate encoder: one block of fixed Huffman codes whose
// matches repeat the previous pixel or the same pixel of the previous row, which is what
// makes drawings (large plain areas, straight lines) small.
#include "platform/png_image.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace platform {

namespace {

constexpr std::size_t MaxMatch = 258;
constexpr std::size_t MinMatch = 3;
constexpr std::size_t MaxDistance = 32768;

const std::array<std::uint32_t, 256>& CrcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    return table;
}

std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// Deflate writes its fields from the lowest bit up, Huffman codes from their highest bit.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : Out(out) {}

    void Bits(std::uint32_t value, int count) {
        Buffer |= value << Used;
        Used += count;
        while (Used >= 8) {
            Out.push_back(static_cast<std::uint8_t>(Buffer));
            Buffer >>= 8;
            Used -= 8;
        }
    }

    void Code(std::uint32_t code, int length) {
        std::uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) {
            reversed = (reversed << 1) | ((code >> i) & 1);
        }
        Bits(reversed, length);
    }

    void Flush() {
        if (Used > 0) {
            Out.push_back(static_cast<std::uint8_t>(Buffer));
        }
        Buffer = 0;
        Used = 0;
    }

private:
    std::vector<std::uint8_t>& Out;
    std::uint32_t Buffer = 0;
    int Used = 0;
};

// The fixed literal/length code of deflate.
void Symbol(BitWriter& bits, unsigned symbol) {
    if (symbol < 144) {
        bits.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        bits.Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        bits.Code(symbol - 256, 7);
    } else {
        bits.Code(0xC0 + symbol - 280, 8);
    }
}

constexpr std::array<std::uint16_t, 29> LengthBase{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                   15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                   67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> LengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> DistanceBase{
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> DistanceExtra{0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                     4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                     9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Match(BitWriter& bits, std::size_t length, std::size_t distance) {
    std::size_t l = LengthBase.size() - 1;
    while (LengthBase[l] > length) {
        --l;
    }
    Symbol(bits, static_cast<unsigned>(257 + l));
    bits.Bits(static_cast<std::uint32_t>(length - LengthBase[l]), LengthExtra[l]);
    std::size_t d = DistanceBase.size() - 1;
    while (DistanceBase[d] > distance) {
        --d;
    }
    bits.Code(static_cast<std::uint32_t>(d), 5);
    bits.Bits(static_cast<std::uint32_t>(distance - DistanceBase[d]), DistanceExtra[d]);
}

// A zlib stream of `data`: header, one final block of fixed codes, Adler-32.
std::vector<std::uint8_t> Compress(std::span<const std::uint8_t> data, std::size_t rowLength) {
    std::vector<std::uint8_t> out{0x78, 0x01};
    BitWriter bits(out);
    bits.Bits(1, 1); // the final block
    bits.Bits(1, 2); // fixed Huffman codes
    const std::array<std::size_t, 2> distances{3, rowLength};
    std::size_t at = 0;
    while (at < data.size()) {
        std::size_t bestLength = 0;
        std::size_t bestDistance = 0;
        for (std::size_t distance : distances) {
            if (distance > at || distance > MaxDistance) {
                continue;
            }
            const std::size_t limit = std::min(MaxMatch, data.size() - at);
            std::size_t length = 0;
            while (length < limit && data[at + length] == data[at + length - distance]) {
                ++length;
            }
            if (length > bestLength) {
                bestLength = length;
                bestDistance = distance;
            }
        }
        if (bestLength >= MinMatch) {
            Match(bits, bestLength, bestDistance);
            at += bestLength;
        } else {
            Symbol(bits, data[at]);
            ++at;
        }
    }
    Symbol(bits, 256);
    bits.Flush();
    const std::uint32_t adler = Adler32(data);
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(adler >> shift));
    }
    return out;
}

void BigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void Chunk(std::vector<std::uint8_t>& out, const char (&type)[5],
           std::span<const std::uint8_t> data) {
    BigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    BigEndian(out, Crc32(std::span(out).subspan(start)));
}

} // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
    const auto& table = CrcTable();
    crc = ~crc;
    for (std::uint8_t byte : bytes) {
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

std::vector<std::uint8_t> EncodePng(const PixelRows& rows) {
    if (rows.Pixels == nullptr || rows.Width <= 0 || rows.Height <= 0 ||
        rows.Stride < static_cast<std::size_t>(rows.Width) * 4) {
        return {};
    }
    const std::size_t width = static_cast<std::size_t>(rows.Width);
    const std::size_t rowLength = 1 + width * 3; // filter type 0, then R G B
    std::vector<std::uint8_t> scanlines;
    scanlines.reserve(rowLength * static_cast<std::size_t>(rows.Height));
    for (int y = 0; y < rows.Height; ++y) {
        const std::uint8_t* row = rows.Pixels + static_cast<std::size_t>(y) * rows.Stride;
        scanlines.push_back(0);
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, row + x * 4, 4);
            scanlines.push_back(static_cast<std::uint8_t>(pixel >> 16));
            scanlines.push_back(static_cast<std::uint8_t>(pixel >> 8));
            scanlines.push_back(static_cast<std::uint8_t>(pixel));
        }
    }

    std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    BigEndian(header, static_cast<std::uint32_t>(rows.Width));
    BigEndian(header, static_cast<std::uint32_t>(rows.Height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", Compress(scanlines, rowLength));
    Chunk(png, "IEND", {});
    return png;
}

bool WritePngFile(const std::string& fileName, const PixelRows& rows) {
    const std::vector<std::uint8_t> png = EncodePng(rows);
    if (png.empty()) {
        return false;
    }
    {
        std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
        if (!file) {
            return false;
        }
        file.write(reinterpret_cast<const char*>(png.data()),
                   static_cast<std::streamsize>(png.size()));
        file.close();
        if (file) {
            return true;
        }
    }
    std::remove(fileName.c_str());
    return false;
}

} // namespace platform
