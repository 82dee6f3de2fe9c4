// Fuzz target: arbitrary bytes read as a setup archive must give an archive or an error,
// never a crash, a hang or unbounded memory; an archive that is accepted must hold
// together, and every stored item must decompress or fail cleanly. The same bytes read
// as a library file's item through the engine's FileRead inflate or fail cleanly too.
#include "installer/archive/archive_decompressor.h"
#include "installer/archive/setup_archive.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace {

std::span<const std::uint8_t> LibraryLeft;

std::uint32_t PLATFORM_WINAPI ReadLibrary(std::uintptr_t, void* buffer, std::uint32_t count) {
    const std::size_t taken = std::min<std::size_t>(count, LibraryLeft.size());
    std::memcpy(buffer, LibraryLeft.data(), taken);
    LibraryLeft = LibraryLeft.subspan(taken);
    return static_cast<std::uint32_t>(taken);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        // Library items need an active decompressor, which needs some archive.
        static const std::unique_ptr<vorn::SetupArchive> none =
            vorn::SetupArchive::Read(
                vorn::MemoryArchiveStream(
                    vorn::BuildSetupArchive(std::vector<std::uint8_t>{63}, vorn::PackedPayload{})
                        .Bytes))
                .Archive;
        vorn::InstallContext context;
        vorn::ArchiveDecompressor decompressor(*none, context, nullptr);
        decompressor.ReadFile = &ReadLibrary;
        LibraryLeft = {data, size};
        const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(size, 1u << 20));
        if (vorn::DecompressFromArchive(1, 0, length, 0) < 0
                ? context.ErrorCode != vorn::context_error::ArchiveReadFailure
                : context.ArchiveOffset != length) {
            std::abort();
        }
    }
    vorn::SetupArchive::OpenResult opened =
        vorn::SetupArchive::Read(vorn::MemoryArchiveStream({data, data + size}));
    if (!opened.Archive) {
        if (opened.Error.empty()) {
            std::abort();
        }
        return 0;
    }
    vorn::SetupArchive& archive = *opened.Archive;
    if (archive.Script().size() != archive.Header().ScriptLength ||
        archive.ArchiveBase() + archive.Header().PayloadLength != size) {
        std::abort();
    }
    vorn::InstallContext context;
    vorn::ArchiveDecompressor decompressor(archive, context, nullptr);
    for (const vorn::PayloadEntry& entry : archive.Payload()) {
        // Large items are inflated into nowhere, so the harness itself stays small.
        std::vector<std::uint8_t> memory(entry.Size <= (1u << 20) ? entry.Size : 0);
        context.DecompressTarget = memory.empty() ? nullptr : memory.data();
        context.ArchiveOffset = static_cast<std::uint32_t>(archive.ArchiveBase() + entry.Offset);
        context.ErrorCode = 0;
        const std::int32_t written = decompressor.Decompress(0, entry.CompressedSize);
        if (written >= 0 ? static_cast<std::uint32_t>(written) != entry.Size
                         : context.ErrorCode != vorn::context_error::ArchiveReadFailure) {
            std::abort();
        }
        // A record that understates the item's size: refused, nothing written past the
        // room it gives.
        if (memory.size() > 1) {
            std::vector<std::uint8_t> small(memory.size() - 1);
            context.DecompressTarget = small.data();
            context.ArchiveOffset =
                static_cast<std::uint32_t>(archive.ArchiveBase() + entry.Offset);
            if (decompressor.Decompress(0, entry.CompressedSize,
                                        static_cast<std::uint32_t>(small.size())) >= 0) {
                std::abort();
            }
        }
    }
    return 0;
}
