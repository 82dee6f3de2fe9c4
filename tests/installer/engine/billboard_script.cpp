// Scripts with billboards for the display's tests.
#include "billboard_script.h"

#include <cstring>

namespace vorn::testing {

namespace {

const BillboardScript* AttachedScript = nullptr;
InstallContext* AttachedContext = nullptr;

std::int32_t PLATFORM_WINAPI CopyOut(std::uintptr_t, std::uintptr_t, std::uint32_t size,
                                     std::uint32_t) {
    const std::vector<std::uint8_t>& archive = AttachedScript->Archive;
    InstallContext& context = *AttachedContext;
    if (context.ArchiveOffset + std::uint64_t{size} > archive.size() ||
        context.DecompressTarget == nullptr) {
        context.ErrorCode = context_error::ArchiveReadFailure;
        return -1;
    }
    std::memcpy(context.DecompressTarget, archive.data() + context.ArchiveOffset, size);
    return static_cast<std::int32_t>(size);
}

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

} // namespace

std::vector<std::uint8_t> TestBitmap(std::uint32_t width, std::uint32_t height,
                                     std::uint16_t bitCount, std::uint32_t square) {
    std::vector<std::uint8_t> data;
    for (std::uint32_t value : {40u, width, height}) {
        Put(data, value, 4);
    }
    Put(data, 1, 2);
    Put(data, bitCount, 2);
    for (std::uint32_t value : {0u, 0u, 0u, 0u, 2u, 0u}) {
        Put(data, value, 4);
    }
    Put(data, 0x00FF0000, 4); // red, as blue-green-red-reserved
    Put(data, 0x000000FF, 4); // blue
    const std::uint32_t stride = (width * 8 + 31) / 32 * 4;
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < stride; ++x) {
            bool blue = square != 0 && x < width && (x / square + y / square) % 2 == 1;
            data.push_back(blue ? 1 : 0);
        }
    }
    return data;
}

void BillboardScript::Graphic(std::uint16_t flags, std::uint16_t x, std::uint16_t y,
                              const std::vector<std::uint8_t>& image) {
    const auto start = static_cast<std::uint32_t>(Archive.size());
    Archive.insert(Archive.end(), image.begin(), image.end());
    const auto end = static_cast<std::uint32_t>(Archive.size());
    std::vector<std::uint8_t> fixed;
    for (std::uint16_t word : {flags, x, y}) {
        Put(fixed, word, 2);
    }
    for (std::uint32_t value : {start, end, end - start}) {
        Put(fixed, value, 4);
    }
    Builder.Record(op::DisplayGraphic, fixed);
}

std::vector<std::uint8_t> BillboardScript::Build() const {
    std::vector<std::uint8_t> bytes = Builder.Build();
    bytes.push_back(op::EndOfScript);
    return bytes;
}

void BillboardScript::Attach(InstallContext& context) {
    AttachedScript = this;
    AttachedContext = &context;
    context.Decompress = &CopyOut;
}

} // namespace vorn::testing
