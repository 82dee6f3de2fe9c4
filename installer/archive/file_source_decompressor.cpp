// Items read from a file the engine opened rather than from the archive: a library
// file's data, raw deflate from the file's current position.
#include "installer/archive/archive_decompressor.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <zlib.h>

namespace vorn {

std::int32_t ArchiveDecompressor::DecompressFile(std::uintptr_t source, std::uintptr_t destination,
                                                 std::uint32_t compressedSize) {
    Failure.clear();
    ItemOffset = Context.ArchiveOffset;
    const std::string where = "the library file's item at offset " + std::to_string(ItemOffset);
    if (ReadFile == nullptr) {
        return Fail(context_error::ArchiveReadFailure,
                    "the setup program cannot read the engine's library file");
    }
    if (destination == 0 && Context.DecompressTarget != nullptr) {
        return Fail(context_error::ArchiveReadFailure,
                    where + " has no known size to decompress into memory");
    }
    // The inflate stream of this item, ended however the item ends.
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        return Fail(context_error::ArchiveReadFailure, "the decompressor could not start");
    }
    const std::unique_ptr<z_stream, int (*)(z_stream*)> ending(&stream, &inflateEnd);
    std::uint64_t read = 0;
    std::uint64_t written = 0;
    bool outputFull = false;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        // New input only once inflate has handed out all it holds.
        if (stream.avail_in == 0 && !outputFull) {
            if (read == compressedSize) {
                return Fail(context_error::ArchiveReadFailure, where + " ends too soon");
            }
            const auto count = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(Input.size(), compressedSize - read));
            const std::uint32_t got = ReadFile(source, Input.data(), count);
            if (got == 0 || got > count) {
                return Fail(context_error::ArchiveReadFailure,
                            where + " cannot be read past " + std::to_string(read) + " of its " +
                                std::to_string(compressedSize) + " bytes");
            }
            read += got;
            stream.next_in = Input.data();
            stream.avail_in = got;
        }
        stream.next_out = Output.data();
        stream.avail_out = static_cast<uInt>(Output.size());
        status = inflate(&stream, Z_NO_FLUSH);
        // Z_BUF_ERROR only says no progress was possible: more input comes next round.
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            return Fail(context_error::ArchiveReadFailure, where + " is damaged");
        }
        outputFull = stream.avail_out == 0;
        const std::span<const std::uint8_t> chunk{Output.data(), Output.size() - stream.avail_out};
        if (!Deliver(destination, nullptr, chunk, written)) {
            return Fail(context_error::WriteFailure, "the destination file cannot be written");
        }
        written += chunk.size();
        if (OnProgress && !chunk.empty()) {
            Context.ArchiveOffset = static_cast<std::uint32_t>(ItemOffset + read);
            OnProgress();
        }
    }
    if (stream.avail_in != 0 || read != compressedSize) {
        return Fail(context_error::ArchiveReadFailure, where + " does not end with its " +
                                                           std::to_string(compressedSize) +
                                                           " compressed bytes");
    }
    Context.ArchiveOffset = static_cast<std::uint32_t>(ItemOffset + compressedSize);
    return static_cast<std::int32_t>(std::min<std::uint64_t>(
        written, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())));
}

} // namespace vorn
