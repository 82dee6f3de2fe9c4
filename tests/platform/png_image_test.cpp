// The PNG writer against zlib's reading of its files.
#include "platform/png_image.h"
#include "support/png_reader.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string_view>

namespace platform {
namespace {

TEST(PngImage, Crc32MatchesTheStandardCheckValue) {
    constexpr std::string_view Check = "123456789";
    EXPECT_EQ(Crc32({reinterpret_cast<const std::uint8_t*>(Check.data()), Check.size()}),
              0xCBF43926u);
}

TEST(PngImage, PicturesReadBackPixelForPixel) {
    std::mt19937 random(7);
    struct Case {
        const char* Name;
        int Width;
        int Height;
        std::uint32_t (*Pixel)(int x, int y, std::mt19937& random);
    };
    const Case cases[] = {
        {"one pixel", 1, 1, [](int, int, std::mt19937&) { return 0x123456u; }},
        {"plain white", 1024, 40, [](int, int, std::mt19937&) { return 0xFFFFFFu; }},
        {"noise", 97, 31,
         [](int, int, std::mt19937& r) { return static_cast<std::uint32_t>(r() & 0xFFFFFFu); }},
        {"diagonal lines", 300, 200,
         [](int x, int y, std::mt19937&) { return (x + y) % 17 == 0 ? 0xFF0000u : 0xFFFFFFu; }},
        // Rows longer than deflate's window: the previous row is out of reach.
        {"wide", 11000, 3, [](int x, int, std::mt19937&) { return x % 300 < 3 ? 0u : 0xFFu; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        // Rows padded past their width and a fourth byte that must not leak in.
        const std::size_t stride = static_cast<std::size_t>(c.Width) * 4 + 8;
        std::vector<std::uint8_t> bits(stride * static_cast<std::size_t>(c.Height), 0xEE);
        std::vector<std::uint32_t> expected;
        for (int y = 0; y < c.Height; ++y) {
            for (int x = 0; x < c.Width; ++x) {
                const std::uint32_t pixel = c.Pixel(x, y, random);
                expected.push_back(pixel);
                const std::uint32_t stored = pixel | 0xAB000000u;
                std::memcpy(&bits[static_cast<std::size_t>(y) * stride + x * 4u], &stored, 4);
            }
        }
        const auto png = EncodePng({bits.data(), c.Width, c.Height, stride});
        std::string error;
        const auto picture = plandra::test::DecodePng(png, error);
        ASSERT_TRUE(picture) << error;
        EXPECT_EQ(picture->Width, c.Width);
        EXPECT_EQ(picture->Height, c.Height);
        EXPECT_EQ(picture->Pixels, expected);
    }
}

TEST(PngImage, EmptyPicturesAndUnwritableFilesAreRefused) {
    const std::uint8_t pixel[4] = {};
    EXPECT_TRUE(EncodePng({pixel, 0, 1, 4}).empty());
    EXPECT_TRUE(EncodePng({pixel, 2, 1, 4}).empty());
    EXPECT_FALSE(WritePngFile("/nonexistent-folder/x.png", {pixel, 1, 1, 4}));
}

} // namespace
} // namespace platform
