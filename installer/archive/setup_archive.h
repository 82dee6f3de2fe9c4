// The setup archive: one byte stream, kept in one file or split into a numbered series
// of disk files, holding the compiled script, the embedded pieces and the compressed
// payload the script's records point at. docs/setup-archive.md gives the layout.
#pragma once

#include "installer/engine/install_context.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

inline constexpr std::array<char, 8> ArchiveMagic{'V', 'R', 'N', 'S', 'E', 'T', 'U', 'P'};
inline constexpr std::uint32_t ArchiveFormatVersion = 1;
/// The version of an archive that keeps some payload files stored as they are: its table
/// entries carry each file's storage. Archives of deflated files alone stay version 1.
inline constexpr std::uint32_t StoredItemsFormatVersion = 2;
inline constexpr std::uint32_t ArchiveHeaderSize = 100;
/// Bounds that keep a damaged header from asking for unbounded memory or files.
inline constexpr std::uint32_t MaxScriptLength = 16u << 20;
inline constexpr std::uint32_t MaxPayloadCount = 65536;
inline constexpr std::uint32_t MaxArchiveParts = 99;
inline constexpr std::uint32_t MinBytesPerDisk = 1024;
inline constexpr std::uint32_t UnknownItemSize = 0xFFFFFFFFu;

/// The fixed header at the start of the stream (all fields little-endian).
struct ArchiveHeader {
    std::uint32_t BytesPerDisk = 0; ///< 0: one file.
    std::uint32_t ScriptLength = 0;
    std::uint32_t ScriptCrc = 0;
    std::uint32_t FinishOffset = 0;
    std::uint32_t CancelOffset = 0;
    std::uint32_t OptionFlags = 0;
    std::uint32_t DiskPromptSetSize = 0; ///< Uncompressed size of the disk-prompt dialog set.
    std::array<std::uint32_t, EmbeddedPieceCount> PieceSizes{}; ///< Compressed, context order.
    std::uint32_t PayloadCount = 0;
    std::uint32_t TableLength = 0;
    std::uint32_t TableCrc = 0;
    std::uint32_t PayloadLength = 0;
};

/// How a payload file's bytes are kept in the archive.
enum class ItemStorage : std::uint8_t {
    Deflated = 0, ///< Raw deflate.
    Stored = 1,   ///< The file's bytes as they are; compressed size equals size.
};

/// One compressed file of the payload. Offsets are relative to the archive base, the
/// stream position right after the embedded pieces, as the script's records hold them.
struct PayloadEntry {
    std::string Name;
    std::uint32_t Offset = 0;
    std::uint32_t CompressedSize = 0;
    std::uint32_t Size = 0;
    std::uint32_t Crc = 0; ///< CRC-32 of the uncompressed content.
    ItemStorage Storage = ItemStorage::Deflated;
};

/// Where the stream's parts are: the first part's path itself, the later ones the same
/// path with the extension "W02", "W03" and so on, as a disk series names them.
std::filesystem::path ArchivePartPath(const std::filesystem::path& first, std::uint32_t part);

/// Random access to the archive's byte stream, wherever it is kept.
class ArchiveStream {
public:
    virtual ~ArchiveStream() = default;
    virtual std::uint64_t Size() const = 0;
    /// Reads exactly `buffer.size()` bytes at `offset`; false when they are not all there.
    virtual bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) = 0;
};

/// A stream held in memory (tests, the fuzz target).
std::unique_ptr<ArchiveStream> MemoryArchiveStream(std::vector<std::uint8_t> bytes);

/// An archive whose header, table and script were read and found sound.
class SetupArchive {
public:
    struct OpenResult {
        std::unique_ptr<SetupArchive> Archive;
        std::string Error; ///< Why the archive cannot be used; empty on success.
    };

    /// Opens the archive at `path` with all its disk files.
    static OpenResult Open(const std::filesystem::path& path);
    /// Checks an archive kept in `stream`; parts do not matter there.
    static OpenResult Read(std::unique_ptr<ArchiveStream> stream);

    const ArchiveHeader& Header() const { return Head; }
    const std::vector<std::uint8_t>& Script() const { return ScriptBytes; }
    const std::vector<PayloadEntry>& Payload() const { return Entries; }

    /// Stream offset of the first embedded piece (the archive's first read).
    std::uint64_t PiecesOffset() const { return PiecesStart; }
    std::uint64_t PieceOffset(EmbeddedPiece piece) const;
    /// Stream offset that the script's payload offsets are relative to.
    std::uint64_t ArchiveBase() const { return Base; }
    std::uint64_t StreamSize() const { return Stream->Size(); }

    /// The uncompressed size a stored item has when its compressed data starts at
    /// stream offset `offset` and takes `compressedSize` bytes: a payload file's size,
    /// the disk-prompt set's size, and UnknownItemSize for the other pieces, whose size
    /// the archive does not record; nullopt when nothing is stored just so.
    std::optional<std::uint32_t> ItemSizeAt(std::uint64_t offset,
                                            std::uint32_t compressedSize) const;
    /// The payload file whose data starts at stream offset `offset`, or null.
    const PayloadEntry* PayloadAt(std::uint64_t offset) const;
    /// The content of payload file `entry`, stored or inflated and checked against its
    /// size and CRC; nullopt when it cannot be read, is damaged or is over `maxSize`.
    std::optional<std::vector<std::uint8_t>> ReadPayloadFile(const PayloadEntry& entry,
                                                             std::uint32_t maxSize);

    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) {
        return Stream->ReadAt(offset, buffer);
    }

private:
    explicit SetupArchive(std::unique_ptr<ArchiveStream> stream) : Stream(std::move(stream)) {}
    std::string Load();

    std::unique_ptr<ArchiveStream> Stream;
    ArchiveHeader Head;
    std::vector<std::uint8_t> ScriptBytes;
    std::vector<PayloadEntry> Entries;
    std::uint64_t PiecesStart = 0;
    std::uint64_t Base = 0;
};

/// The payload packed for an archive: compressed once, before the script is compiled,
/// since records need the offsets and these do not depend on the script.
struct PackedPayload {
    std::vector<PayloadEntry> Entries;
    std::vector<std::uint8_t> Data; ///< The payload region, entries back to back.
};

struct PackResult {
    std::optional<PackedPayload> Payload;
    std::string Error;
};

/// Raw deflate at the best compression, one buffer at a time, through one compression
/// stream that is reset between buffers rather than made anew for each.
class RawDeflater {
public:
    RawDeflater();
    RawDeflater(const RawDeflater&) = delete;
    RawDeflater& operator=(const RawDeflater&) = delete;
    ~RawDeflater();

    std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> data);

private:
    struct State;
    std::unique_ptr<State> Stream;
};

/// Builds a payload one file at a time, each placed right after the one before.
class PayloadPacker {
public:
    /// With ItemStorage::Stored, files are kept as they are, except empty ones, which
    /// are deflated: an item needs at least one byte of data.
    explicit PayloadPacker(ItemStorage storage = ItemStorage::Deflated) : Storage(storage) {}

    /// Adds a file; returns an error text, empty on success.
    std::string Add(const std::string& name, std::span<const std::uint8_t> content);
    PackedPayload& Payload() { return Packed; }

private:
    ItemStorage Storage;
    RawDeflater Deflater;
    PackedPayload Packed;
};

/// Packs the files and places them one after the other from offset 0. Names are the
/// files' own names.
PackResult PackPayloadFiles(std::span<const std::filesystem::path> files,
                            ItemStorage storage = ItemStorage::Deflated);
/// The same for contents already in memory.
PackResult PackPayload(std::span<const std::pair<std::string, std::vector<std::uint8_t>>> files,
                       ItemStorage storage = ItemStorage::Deflated);

/// What an archive carries besides the script and the payload.
struct ArchiveExtras {
    std::uint32_t FinishOffset = 0;
    std::uint32_t CancelOffset = 0;
    /// Option flags word of the context; the bits that announce embedded pieces are
    /// added from the pieces given.
    std::uint32_t OptionFlags = 0;
    /// Uncompressed contents of the embedded pieces, in context order; empty: absent.
    std::array<std::vector<std::uint8_t>, EmbeddedPieceCount> Pieces;
    /// Split the stream into disk files of this many bytes; 0 keeps one file.
    std::uint32_t BytesPerDisk = 0;
};

/// Writes the archive to `path` (and its later disk files). When the stream is split,
/// the script header's bytes-per-disk and first-disk-offset fields are set to match.
/// Returns an error text, empty on success.
std::string WriteSetupArchive(const std::filesystem::path& path,
                              std::span<const std::uint8_t> script, const PackedPayload& payload,
                              const ArchiveExtras& extras = {});

/// The archive's stream as bytes (tests, and WriteSetupArchive itself).
struct ArchiveImage {
    std::vector<std::uint8_t> Bytes;
    std::string Error;
};
ArchiveImage BuildSetupArchive(std::span<const std::uint8_t> script, const PackedPayload& payload,
                               const ArchiveExtras& extras = {});

/// Raw deflate of `data`.
std::vector<std::uint8_t> DeflateRaw(std::span<const std::uint8_t> data);
/// CRC-32 (the zlib polynomial) continuing from `crc`; 0 starts a new one.
std::uint32_t Crc32(std::uint32_t crc, std::span<const std::uint8_t> data);

} // namespace vorn
