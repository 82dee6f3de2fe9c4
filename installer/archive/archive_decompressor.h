// The decompress and checksum services a setup program hands the install engine in the
// context block (words 35 and 36), over the setup archive it opened.
#pragma once

#include "installer/archive/setup_archive.h"
#include "installer/engine/install_context.h"
#include "platform/calling_convention.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vorn {

/// Extracts the archive's items for one run: inflates deflated ones, copies stored ones. While it
/// exists it is the archive that DecompressFromArchive reads: a setup program runs one archive at a
/// time.
class ArchiveDecompressor {
public:
    /// `writeFile` writes to the file handles the engine passes as destinations (the
    /// engine's own FileWrite); with none, every file destination is a write failure.
    ArchiveDecompressor(SetupArchive& archive, InstallContext& context,
                        FileWriteFunction writeFile);
    ArchiveDecompressor(const ArchiveDecompressor&) = delete;
    ArchiveDecompressor& operator=(const ArchiveDecompressor&) = delete;
    ~ArchiveDecompressor();

    /// Inflates the item whose `compressedSize` bytes start at the context's archive
    /// offset: into the open file `destination`, else into the context's decompression
    /// target, else nowhere. Only items the archive stores just so are read, which bounds
    /// what lands in the target; with `room` not 0, an item larger than `room` bytes is
    /// refused before anything lands there. On success the archive offset moves past the item and
    /// the uncompressed size is returned; on failure the offset stays (a retry reads the
    /// same item), the context's error code becomes 1 (write failure) or 2 (archive read
    /// failure) and -1 is returned.
    std::int32_t Decompress(std::uintptr_t destination, std::uint32_t compressedSize,
                            std::uint32_t room = 0);

    /// Inflates the raw deflate item of `compressedSize` bytes that `source`, a file the
    /// engine opened (a library file), holds from its current position, which the engine
    /// set at the context's archive offset: into the open file `destination`, else nowhere.
    /// Such an item's size is not known beforehand, so it never goes into the context's
    /// decompression target; its data must end exactly with its compressed size. Results,
    /// the archive offset and the error codes as Decompress gives them.
    std::int32_t DecompressFile(std::uintptr_t source, std::uintptr_t destination,
                                std::uint32_t compressedSize);

    /// Whether a decompression request's source is the archive (the context's archive
    /// handle, or 0) rather than a file the engine opened.
    bool IsArchive(std::uintptr_t source) const {
        return source == 0 || source == Context.ArchiveFile;
    }

    /// Reads the files the engine opened: the engine's own FileRead. With none, every
    /// source other than the archive is a read failure.
    FileReadFunction ReadFile = nullptr;

    /// Why the last call failed, for the setup program's own report.
    const std::string& LastError() const { return Failure; }

    /// Called after each item read with its stream offset and uncompressed size.
    std::function<void(std::uint64_t offset, std::uint32_t size)> OnItem;
    /// Called after each piece of an item written, with the context's archive offset past
    /// the compressed bytes read so far, so that a progress shown then counts them.
    std::function<void()> OnProgress;

private:
    std::int32_t Fail(std::uint8_t code, std::string why);
    /// Hands one piece of an item to its destination; false when a file cannot take it.
    bool Deliver(std::uintptr_t destination, std::uint8_t* target,
                 std::span<const std::uint8_t> chunk, std::uint64_t written);

    struct Inflater;
    SetupArchive& Archive;
    InstallContext& Context;
    FileWriteFunction WriteFile;
    std::string Failure;
    std::uint64_t ItemOffset = 0;
    /// One inflate stream and one pair of buffers serve every item of the run.
    std::unique_ptr<Inflater> Inflate;
    std::vector<std::uint8_t> Input;
    std::vector<std::uint8_t> Output;
};

/// The context's decompress function: the active ArchiveDecompressor's Decompress when the
/// source argument is the context's archive handle (the item is found by the context's
/// archive offset), its DecompressFile for any other source, a file the engine opened.
std::int32_t PLATFORM_WINAPI DecompressFromArchive(std::uintptr_t source,
                                                   std::uintptr_t destination,
                                                   std::uint32_t compressedSize,
                                                   std::uint32_t room);

/// The context's checksum function: a running CRC-32 (the polynomial of zlib and PKZIP);
/// ArchiveChecksum(nullptr, 0) starts a new one and returns 0.
std::uint32_t PLATFORM_WINAPI ArchiveChecksum(const std::uint8_t* buffer, std::uint32_t length);

} // namespace vorn
