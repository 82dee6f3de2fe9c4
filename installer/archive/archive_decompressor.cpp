// Extraction of archive items (raw deflate or stored) into files, memory or nowhere, and
// the running CRC-32 the engine compares files with.
#include "installer/archive/archive_decompressor.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <zlib.h>

namespace vorn {

namespace {

ArchiveDecompressor* Active = nullptr;
std::uint32_t RunningChecksum = 0;
// The archive is read in pieces of 1 MB, and a stored item goes out in such pieces as
// read: few reads, writes and progress reports per file. Inflate fills pieces of 64 KB.
constexpr std::size_t InputSize = 1024 * 1024;
constexpr std::size_t OutputSize = 64 * 1024;

// The piece being handed to a destination file, with the item's running CRC-32 before and
// after it. The engine checksums what it writes as it writes it: a piece it checksums
// while it is being handed over, from the same running value, needs no second pass over
// its bytes.
struct PieceInDelivery {
    const std::uint8_t* Data = nullptr;
    std::size_t Length = 0;
    std::uint32_t Before = 0;
    std::uint32_t After = 0;
};
PieceInDelivery Delivering;

} // namespace

// One inflate stream for all items of a run, reset before each.
struct ArchiveDecompressor::Inflater {
    z_stream Stream{};
    bool Ready = false;
    Inflater() { Ready = inflateInit2(&Stream, -MAX_WBITS) == Z_OK; }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater() {
        if (Ready) {
            inflateEnd(&Stream);
        }
    }
};

ArchiveDecompressor::ArchiveDecompressor(SetupArchive& archive, InstallContext& context,
                                         FileWriteFunction writeFile)
    : Archive(archive), Context(context), WriteFile(writeFile),
      Inflate(std::make_unique<Inflater>()), Input(InputSize), Output(OutputSize) {
    Active = this;
}

ArchiveDecompressor::~ArchiveDecompressor() {
    if (Active == this) {
        Active = nullptr;
    }
}

std::int32_t ArchiveDecompressor::Fail(std::uint8_t code, std::string why) {
    Context.ArchiveOffset = static_cast<std::uint32_t>(ItemOffset);
    Context.ErrorCode = code;
    Failure = std::move(why);
    return -1;
}

std::int32_t ArchiveDecompressor::Decompress(std::uintptr_t destination,
                                             std::uint32_t compressedSize, std::uint32_t room) {
    Failure.clear();
    const std::uint64_t offset = Context.ArchiveOffset;
    ItemOffset = offset;
    const std::optional<std::uint32_t> expected = Archive.ItemSizeAt(offset, compressedSize);
    if (!expected) {
        return Fail(context_error::ArchiveReadFailure,
                    "the archive stores no item of " + std::to_string(compressedSize) +
                        " bytes at offset " + std::to_string(offset));
    }
    const bool sizeKnown = *expected != UnknownItemSize;
    std::uint8_t* target = destination == 0 ? Context.DecompressTarget : nullptr;
    if (target != nullptr && !sizeKnown) {
        return Fail(context_error::ArchiveReadFailure,
                    "the item at offset " + std::to_string(offset) +
                        " has no known size to decompress into memory");
    }
    if (target != nullptr && room != 0 && *expected > room) {
        return Fail(context_error::ArchiveReadFailure,
                    "the item at offset " + std::to_string(offset) + " holds " +
                        std::to_string(*expected) + " bytes, more than the " +
                        std::to_string(room) + " its record gives");
    }
    const PayloadEntry* payload = Archive.PayloadAt(offset);
    const bool stored = payload != nullptr && payload->Storage == ItemStorage::Stored;

    z_stream& stream = Inflate->Stream;
    if (!stored && (!Inflate->Ready || inflateReset(&stream) != Z_OK)) {
        return Fail(context_error::ArchiveReadFailure, "the decompressor could not start");
    }
    stream.avail_in = 0;
    std::uint64_t read = 0;
    std::uint64_t written = 0;
    std::uint32_t crc = 0;
    int status = Z_OK;
    while (stored ? read < compressedSize : status != Z_STREAM_END) {
        if ((stored || stream.avail_in == 0) && read < compressedSize) {
            const std::size_t count = static_cast<std::size_t>(
                std::min<std::uint64_t>(Input.size(), compressedSize - read));
            if (!Archive.ReadAt(offset + read, {Input.data(), count})) {
                return Fail(context_error::ArchiveReadFailure,
                            "the archive cannot be read at offset " +
                                std::to_string(offset + read));
            }
            read += count;
            stream.next_in = Input.data();
            stream.avail_in = static_cast<uInt>(count);
        }
        std::size_t produced = 0;
        if (stored) {
            // Stored bytes go out as they were read.
            produced = stream.avail_in;
            stream.avail_in = 0;
        } else {
            stream.next_out = Output.data();
            stream.avail_out = static_cast<uInt>(Output.size());
            status = inflate(&stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END) {
                return Fail(context_error::ArchiveReadFailure,
                            "the item at offset " + std::to_string(offset) + " is damaged");
            }
            produced = Output.size() - stream.avail_out;
            if (produced == 0 && status == Z_OK && stream.avail_in == 0 && read == compressedSize) {
                return Fail(context_error::ArchiveReadFailure,
                            "the item at offset " + std::to_string(offset) + " ends too soon");
            }
        }
        if (sizeKnown && written + produced > *expected) {
            return Fail(context_error::ArchiveReadFailure,
                        "the item at offset " + std::to_string(offset) +
                            " inflates beyond its size of " + std::to_string(*expected));
        }
        const std::span<const std::uint8_t> chunk{stored ? Input.data() : Output.data(), produced};
        const std::uint32_t before = crc;
        crc = Crc32(crc, chunk);
        Delivering = {chunk.data(), chunk.size(), before, crc};
        const bool delivered = Deliver(destination, target, chunk, written);
        Delivering = {};
        if (!delivered) {
            return Fail(context_error::WriteFailure, "the destination file cannot be written");
        }
        written += produced;
        if (OnProgress && produced != 0) {
            // Moved back below when the item fails, so that a retry reads it again.
            Context.ArchiveOffset = static_cast<std::uint32_t>(offset + read);
            OnProgress();
        }
    }
    if (stream.avail_in != 0 || read != compressedSize || (sizeKnown && written != *expected) ||
        (payload != nullptr && crc != payload->Crc)) {
        return Fail(context_error::ArchiveReadFailure,
                    "the item at offset " + std::to_string(offset) +
                        " does not match its stored size or checksum");
    }
    Context.ArchiveOffset = static_cast<std::uint32_t>(offset + compressedSize);
    if (OnItem) {
        OnItem(offset, static_cast<std::uint32_t>(written));
    }
    return static_cast<std::int32_t>(std::min<std::uint64_t>(
        written, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())));
}

bool ArchiveDecompressor::Deliver(std::uintptr_t destination, std::uint8_t* target,
                                  std::span<const std::uint8_t> chunk, std::uint64_t written) {
    if (chunk.empty()) {
        return true;
    }
    if (destination != 0) {
        return WriteFile != nullptr &&
               WriteFile(destination, chunk.data(), static_cast<std::uint32_t>(chunk.size())) ==
                   chunk.size();
    }
    if (target != nullptr) {
        std::memcpy(target + written, chunk.data(), chunk.size());
    }
    return true;
}

std::int32_t PLATFORM_WINAPI DecompressFromArchive(std::uintptr_t source,
                                                   std::uintptr_t destination,
                                                   std::uint32_t compressedSize,
                                                   std::uint32_t room) {
    if (Active == nullptr) {
        return -1;
    }
    return Active->IsArchive(source) ? Active->Decompress(destination, compressedSize, room)
                                     : Active->DecompressFile(source, destination, compressedSize);
}

std::uint32_t PLATFORM_WINAPI ArchiveChecksum(const std::uint8_t* buffer, std::uint32_t length) {
    if (buffer == nullptr) {
        if (length == 0) {
            RunningChecksum = 0;
        }
        return RunningChecksum;
    }
    RunningChecksum = buffer == Delivering.Data && length == Delivering.Length &&
                              RunningChecksum == Delivering.Before
                          ? Delivering.After
                          : Crc32(RunningChecksum, {buffer, length});
    return RunningChecksum;
}

} // namespace vorn
