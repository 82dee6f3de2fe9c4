// The CRC-32 of zlib and PKZIP, over every byte a setup writes. On x86 processors with
// carry-less multiplication the bulk of a buffer is folded 64 bytes at a time, as in
// Intel's paper "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ"; zlib's
// tables take the last bytes, and the whole buffer on other processors.
#include "installer/archive/setup_archive.h"

#include <algorithm>
#include <zlib.h>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define VORN_FOLDED_CRC32 1
#include <immintrin.h>
#endif

namespace vorn {

namespace {

#ifdef VORN_FOLDED_CRC32

#define VORN_CARRYLESS __attribute__((target("pclmul,sse4.1")))

VORN_CARRYLESS __m128i Load(const std::uint8_t* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// Moves the 128 bits of `x` forward by the distance `k` holds and adds `next` to them.
VORN_CARRYLESS __m128i Fold(__m128i x, __m128i k, __m128i next) {
    return _mm_xor_si128(
        _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

// The CRC register (not inverted) after `length` bytes, at least 64 and a multiple of 16.
VORN_CARRYLESS std::uint32_t FoldedCrc32(std::uint32_t crc, const std::uint8_t* data,
                                         std::size_t length) {
    // x^(32*k) mod P for the fold distances (512 + 32 and 512 - 32 bits, then 128 + 32 and
    // 128 - 32, then 64), and the polynomial with its Barrett constant, all bit-reflected.
    const __m128i by64 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i by16 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i by8 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i polynomial = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    const __m128i low32 = _mm_set_epi32(0, 0, 0, -1);

    __m128i x1 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(data + 16);
    __m128i x3 = Load(data + 32);
    __m128i x4 = Load(data + 48);
    for (data += 64, length -= 64; length >= 64; data += 64, length -= 64) {
        x1 = Fold(x1, by64, Load(data));
        x2 = Fold(x2, by64, Load(data + 16));
        x3 = Fold(x3, by64, Load(data + 32));
        x4 = Fold(x4, by64, Load(data + 48));
    }
    x1 = Fold(Fold(Fold(x1, by16, x2), by16, x3), by16, x4);
    for (; length >= 16; data += 16, length -= 16) {
        x1 = Fold(x1, by16, Load(data));
    }
    // 128 bits to 64, then to 32 with a Barrett reduction.
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, by16, 0x10), _mm_srli_si128(x1, 8));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), by8, 0x00),
                       _mm_srli_si128(x1, 4));
    __m128i quotient = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), polynomial, 0x10);
    quotient = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), polynomial, 0x00);
    return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(quotient, x1), 1));
}

bool CanFold() {
    static const bool can = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return can;
}

#endif

} // namespace

std::uint32_t Crc32(std::uint32_t crc, std::span<const std::uint8_t> data) {
#ifdef VORN_FOLDED_CRC32
    if (data.size() >= 64 && CanFold()) {
        const std::size_t folded = data.size() & ~std::size_t{15};
        crc = ~FoldedCrc32(~crc, data.data(), folded);
        data = data.subspan(folded);
    }
#endif
    while (!data.empty()) {
        const std::size_t chunk = std::min<std::size_t>(data.size(), 1u << 30);
        crc = static_cast<std::uint32_t>(crc32(crc, data.data(), static_cast<uInt>(chunk)));
        data = data.subspan(chunk);
    }
    return crc;
}

} // namespace vorn
