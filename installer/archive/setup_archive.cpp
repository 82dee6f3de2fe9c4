// Reading, checking and writing setup archives.
#include "installer/archive/setup_archive.h"

#include "platform/stdio_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <numeric>
#include <utility>
#include <zlib.h>

namespace vorn {

namespace {

// Field offsets of the header.
constexpr std::size_t VersionAt = 8;
constexpr std::size_t HeaderSizeAt = 12;
constexpr std::size_t FieldsAt = 16;
constexpr std::size_t HeaderCrcAt = 96;
// Fixed bytes of a table entry before its name: version 1, and version 2 with its
// storage byte after the checksum.
constexpr std::size_t EntryFixedBytes = 17;
constexpr std::size_t StoredEntryFixedBytes = 18;
// Where the script's own header keeps the disk size, and where its strings start.
constexpr std::size_t ScriptBytesPerDiskAt = 9;
constexpr std::size_t ScriptStringsAt = 17;

std::uint32_t LoadWord(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

void StoreWord(std::uint8_t* bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void AppendWord(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.resize(out.size() + 4);
    StoreWord(out.data() + out.size() - 4, value);
}

// The header's words from BytesPerDisk on, in stream order.
std::vector<std::uint32_t*> HeaderWords(ArchiveHeader& header) {
    std::vector<std::uint32_t*> words{
        &header.BytesPerDisk, &header.ScriptLength, &header.ScriptCrc,        &header.FinishOffset,
        &header.CancelOffset, &header.OptionFlags,  &header.DiskPromptSetSize};
    for (std::uint32_t& size : header.PieceSizes) {
        words.push_back(&size);
    }
    for (std::uint32_t* word :
         {&header.PayloadCount, &header.TableLength, &header.TableCrc, &header.PayloadLength}) {
        words.push_back(word);
    }
    return words;
}

std::string Describe(std::uint64_t bytes) {
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

class MemoryStream final : public ArchiveStream {
public:
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : Bytes(std::move(bytes)) {}
    std::uint64_t Size() const override { return Bytes.size(); }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
        if (offset > Bytes.size() || buffer.size() > Bytes.size() - offset) {
            return false;
        }
        std::copy_n(Bytes.begin() + static_cast<std::ptrdiff_t>(offset), buffer.size(),
                    buffer.begin());
        return true;
    }

private:
    std::vector<std::uint8_t> Bytes;
};

// The disk files of one archive, read as one stream.
class PartFileStream final : public ArchiveStream {
public:
    struct Part {
        platform::UniqueStdioFile File;
        std::uint64_t Start = 0;
        std::uint64_t Size = 0;
    };

    explicit PartFileStream(std::vector<Part> parts) : Parts(std::move(parts)) {}
    std::uint64_t Size() const override {
        return Parts.empty() ? 0 : Parts.back().Start + Parts.back().Size;
    }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
        if (offset > Size() || buffer.size() > Size() - offset) {
            return false;
        }
        for (Part& part : Parts) {
            if (buffer.empty()) {
                break;
            }
            if (offset >= part.Start + part.Size) {
                continue;
            }
            const std::uint64_t within = offset - part.Start;
            const std::size_t count = static_cast<std::size_t>(
                std::min<std::uint64_t>(buffer.size(), part.Size - within));
            if (within > static_cast<std::uint64_t>(std::numeric_limits<long>::max()) ||
                std::fseek(part.File.Get(), static_cast<long>(within), SEEK_SET) != 0 ||
                std::fread(buffer.data(), 1, count, part.File.Get()) != count) {
                return false;
            }
            buffer = buffer.subspan(count);
            offset += count;
        }
        return buffer.empty();
    }

private:
    std::vector<Part> Parts;
};

std::optional<std::uint64_t> FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return std::nullopt;
    }
    const long size = std::ftell(file);
    if (size < 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(size);
}

// Offset just past the zero-terminated string at `at`, or nullopt when none ends in time.
std::optional<std::size_t> SkipString(std::span<const std::uint8_t> bytes, std::size_t at) {
    const auto end =
        std::find(bytes.begin() + static_cast<std::ptrdiff_t>(std::min(at, bytes.size())),
                  bytes.end(), std::uint8_t{0});
    if (end == bytes.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(end - bytes.begin()) + 1;
}

// Offset of the script header's first-disk-offset field: after the reserved string, the
// library base name, the log path and the font face, and the font's size and character set.
std::optional<std::size_t> FirstDiskOffsetField(std::span<const std::uint8_t> script) {
    std::optional<std::size_t> at = ScriptStringsAt;
    for (int i = 0; i < 4 && at; ++i) {
        at = SkipString(script, *at);
    }
    if (!at || *at + 2 + 4 > script.size()) {
        return std::nullopt;
    }
    return *at + 2;
}

} // namespace

struct RawDeflater::State {
    z_stream Stream{};
    bool Ready = false;
    bool Used = false;
};

RawDeflater::RawDeflater() : Stream(std::make_unique<State>()) {
    Stream->Ready = deflateInit2(&Stream->Stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                                 Z_DEFAULT_STRATEGY) == Z_OK;
}

RawDeflater::~RawDeflater() {
    if (Stream->Ready) {
        deflateEnd(&Stream->Stream);
    }
}

std::vector<std::uint8_t> RawDeflater::Deflate(std::span<const std::uint8_t> data) {
    z_stream& stream = Stream->Stream;
    // A reset stream gives the same bytes as a new one with the same settings.
    if (!Stream->Ready || (Stream->Used && deflateReset(&stream) != Z_OK)) {
        throw std::bad_alloc();
    }
    Stream->Used = true;
    std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    return out;
}

std::vector<std::uint8_t> DeflateRaw(std::span<const std::uint8_t> data) {
    return RawDeflater().Deflate(data);
}

std::filesystem::path ArchivePartPath(const std::filesystem::path& first, std::uint32_t part) {
    if (part <= 1) {
        return first;
    }
    std::filesystem::path path = first;
    char extension[16];
    std::snprintf(extension, sizeof extension, ".W%02u", static_cast<unsigned>(part));
    return path.replace_extension(extension);
}

std::unique_ptr<ArchiveStream> MemoryArchiveStream(std::vector<std::uint8_t> bytes) {
    return std::make_unique<MemoryStream>(std::move(bytes));
}

SetupArchive::OpenResult SetupArchive::Read(std::unique_ptr<ArchiveStream> stream) {
    std::unique_ptr<SetupArchive> archive(new SetupArchive(std::move(stream)));
    std::string error = archive->Load();
    if (!error.empty()) {
        return {nullptr, std::move(error)};
    }
    return {std::move(archive), {}};
}

SetupArchive::OpenResult SetupArchive::Open(const std::filesystem::path& path) {
    std::vector<PartFileStream::Part> parts;
    auto openPart = [&](std::uint32_t number) -> std::string {
        const std::filesystem::path partPath = ArchivePartPath(path, number);
        platform::UniqueStdioFile file(std::fopen(partPath.string().c_str(), "rb"));
        if (!file) {
            return number == 1 ? "cannot open " + partPath.string()
                               : "disk " + std::to_string(number) + " of the archive, " +
                                     partPath.string() + ", cannot be opened";
        }
        // Every read lands in the caller's buffer at once, not through stdio's small one.
        std::setvbuf(file.Get(), nullptr, _IONBF, 0);
        const std::optional<std::uint64_t> size = FileSize(file.Get());
        if (!size) {
            return "cannot read " + partPath.string();
        }
        const std::uint64_t start = parts.empty() ? 0 : parts.back().Start + parts.back().Size;
        parts.push_back({std::move(file), start, *size});
        return {};
    };
    if (std::string error = openPart(1); !error.empty()) {
        return {nullptr, error};
    }
    // The disk size comes from the first part's header; a header that cannot be read
    // is reported by Load with the stream it has.
    std::uint8_t head[FieldsAt + 4] = {};
    std::rewind(parts[0].File.Get());
    if (parts[0].Size >= sizeof head &&
        std::fread(head, 1, sizeof head, parts[0].File.Get()) == sizeof head &&
        std::memcmp(head, ArchiveMagic.data(), ArchiveMagic.size()) == 0) {
        const std::uint32_t bytesPerDisk = LoadWord(head + FieldsAt);
        if (bytesPerDisk != 0 && parts[0].Size > bytesPerDisk) {
            return {nullptr, "disk 1 of the archive holds " + Describe(parts[0].Size) +
                                 ", more than the disk size of " + Describe(bytesPerDisk)};
        }
        // A later part is looked for only while the parts so far fill their disks.
        while (bytesPerDisk >= MinBytesPerDisk && parts.back().Size == bytesPerDisk &&
               parts.size() < MaxArchiveParts &&
               std::filesystem::exists(
                   ArchivePartPath(path, static_cast<std::uint32_t>(parts.size()) + 1))) {
            if (std::string error = openPart(static_cast<std::uint32_t>(parts.size()) + 1);
                !error.empty()) {
                return {nullptr, error};
            }
            if (parts.back().Size > bytesPerDisk) {
                return {nullptr, "disk " + std::to_string(parts.size()) + " of the archive holds " +
                                     Describe(parts.back().Size) + ", more than the disk size of " +
                                     Describe(bytesPerDisk)};
            }
        }
    }
    return Read(std::make_unique<PartFileStream>(std::move(parts)));
}

std::string SetupArchive::Load() {
    const std::uint64_t size = Stream->Size();
    std::uint8_t head[ArchiveHeaderSize];
    if (size < 8 || !Stream->ReadAt(0, {head, 8}) ||
        std::memcmp(head, ArchiveMagic.data(), ArchiveMagic.size()) != 0) {
        return "not a setup archive (no VRNSETUP mark at its start)";
    }
    if (size < ArchiveHeaderSize || !Stream->ReadAt(0, head)) {
        return "the archive is truncated: its header needs " + Describe(ArchiveHeaderSize) +
               ", the archive has " + Describe(size);
    }
    const std::uint32_t version = LoadWord(head + VersionAt);
    if (version != ArchiveFormatVersion && version != StoredItemsFormatVersion) {
        return "the archive has format version " + std::to_string(version) +
               "; this program reads versions " + std::to_string(ArchiveFormatVersion) + " and " +
               std::to_string(StoredItemsFormatVersion);
    }
    const std::size_t fixedBytes =
        version == ArchiveFormatVersion ? EntryFixedBytes : StoredEntryFixedBytes;
    if (LoadWord(head + HeaderSizeAt) != ArchiveHeaderSize ||
        LoadWord(head + HeaderCrcAt) != Crc32(0, {head, HeaderCrcAt})) {
        return "the archive's header is damaged (its checksum does not match)";
    }
    std::size_t at = FieldsAt;
    for (std::uint32_t* word : HeaderWords(Head)) {
        *word = LoadWord(head + at);
        at += 4;
    }
    if (Head.BytesPerDisk != 0 && Head.BytesPerDisk < MinBytesPerDisk) {
        return "the archive's disk size of " + Describe(Head.BytesPerDisk) + " is below the " +
               Describe(MinBytesPerDisk) + " a disk must hold";
    }
    if (Head.ScriptLength == 0 || Head.ScriptLength > MaxScriptLength) {
        return "the archive's script length of " + Describe(Head.ScriptLength) +
               " is not between 1 byte and " + Describe(MaxScriptLength);
    }
    if (Head.PayloadCount > MaxPayloadCount ||
        Head.TableLength < std::uint64_t{Head.PayloadCount} * fixedBytes ||
        Head.TableLength > std::uint64_t{Head.PayloadCount} * (fixedBytes + 255)) {
        return "the archive's file table is damaged (" + std::to_string(Head.PayloadCount) +
               " files in " + Describe(Head.TableLength) + ")";
    }
    if (Head.FinishOffset >= Head.ScriptLength || Head.CancelOffset >= Head.ScriptLength) {
        return "the archive's finish or cancel section lies outside its script";
    }
    const std::uint64_t piecesLength =
        std::accumulate(Head.PieceSizes.begin(), Head.PieceSizes.end(), std::uint64_t{0});
    if ((Head.DiskPromptSetSize == 0) !=
        (Head.PieceSizes[static_cast<std::size_t>(EmbeddedPiece::DiskPromptDialogs)] == 0)) {
        return "the archive's disk-prompt dialog set and its size do not agree";
    }
    PiecesStart = std::uint64_t{ArchiveHeaderSize} + Head.TableLength + Head.ScriptLength;
    Base = PiecesStart + piecesLength;
    const std::uint64_t needed = Base + Head.PayloadLength;
    if (needed > std::numeric_limits<std::uint32_t>::max()) {
        return "the archive claims " + Describe(needed) + ", more than 4 GB";
    }
    if (Head.BytesPerDisk != 0 && needed > std::uint64_t{Head.BytesPerDisk} * MaxArchiveParts) {
        return "the archive claims more than " + std::to_string(MaxArchiveParts) + " disks";
    }
    if (size < needed) {
        return "the archive is truncated: its header and script need " + Describe(needed) +
               ", the archive has " + Describe(size) +
               (Head.BytesPerDisk != 0 ? " (is a disk file missing?)" : "");
    }
    if (size > needed) {
        return "the archive has " + Describe(size - needed) + " after its end";
    }

    std::vector<std::uint8_t> table(Head.TableLength);
    if (!Stream->ReadAt(ArchiveHeaderSize, table) || Crc32(0, table) != Head.TableCrc) {
        return "the archive's file table is damaged (its checksum does not match)";
    }
    std::size_t position = 0;
    std::uint64_t next = 0;
    for (std::uint32_t i = 0; i < Head.PayloadCount; ++i) {
        if (table.size() - position < fixedBytes ||
            table[position + fixedBytes - 1] > table.size() - position - fixedBytes) {
            return "the archive's file table ends inside entry " + std::to_string(i + 1);
        }
        PayloadEntry entry;
        entry.Offset = LoadWord(&table[position]);
        entry.CompressedSize = LoadWord(&table[position + 4]);
        entry.Size = LoadWord(&table[position + 8]);
        entry.Crc = LoadWord(&table[position + 12]);
        const std::uint8_t storage = fixedBytes == EntryFixedBytes ? 0 : table[position + 16];
        entry.Storage = static_cast<ItemStorage>(storage);
        const std::size_t nameLength = table[position + fixedBytes - 1];
        entry.Name.assign(reinterpret_cast<const char*>(&table[position + fixedBytes]), nameLength);
        position += fixedBytes + nameLength;
        if (storage > static_cast<std::uint8_t>(ItemStorage::Stored) ||
            (entry.Storage == ItemStorage::Stored && entry.CompressedSize != entry.Size)) {
            return "file " + std::to_string(i + 1) + " of the archive (" + entry.Name +
                   ") has an unknown storage or a stored size that does not match";
        }
        if (entry.Offset != next || entry.CompressedSize == 0 ||
            std::uint64_t{entry.Offset} + entry.CompressedSize > Head.PayloadLength) {
            return "file " + std::to_string(i + 1) + " of the archive (" + entry.Name +
                   ") lies outside its place in the payload";
        }
        next = std::uint64_t{entry.Offset} + entry.CompressedSize;
        Entries.push_back(std::move(entry));
    }
    if (position != table.size() || next != Head.PayloadLength) {
        return "the archive's file table does not account for its whole payload";
    }

    ScriptBytes.resize(Head.ScriptLength);
    if (!Stream->ReadAt(ArchiveHeaderSize + std::uint64_t{Head.TableLength}, ScriptBytes) ||
        Crc32(0, ScriptBytes) != Head.ScriptCrc) {
        return "the archive's script is damaged (its checksum does not match)";
    }
    return {};
}

std::uint64_t SetupArchive::PieceOffset(EmbeddedPiece piece) const {
    std::uint64_t offset = PiecesStart;
    for (std::size_t i = 0; i < static_cast<std::size_t>(piece); ++i) {
        offset += Head.PieceSizes[i];
    }
    return offset;
}

std::optional<std::uint32_t> SetupArchive::ItemSizeAt(std::uint64_t offset,
                                                      std::uint32_t compressedSize) const {
    if (compressedSize == 0) {
        return std::nullopt;
    }
    if (offset >= Base) {
        const PayloadEntry* entry = PayloadAt(offset);
        if (entry != nullptr && entry->CompressedSize == compressedSize) {
            return entry->Size;
        }
        return std::nullopt;
    }
    for (std::size_t i = 0; i < EmbeddedPieceCount; ++i) {
        const auto piece = static_cast<EmbeddedPiece>(i);
        if (PieceOffset(piece) == offset && Head.PieceSizes[i] == compressedSize) {
            return piece == EmbeddedPiece::DiskPromptDialogs ? Head.DiskPromptSetSize
                                                             : UnknownItemSize;
        }
    }
    return std::nullopt;
}

const PayloadEntry* SetupArchive::PayloadAt(std::uint64_t offset) const {
    // The entries lie in payload order, so their offsets rise.
    if (offset < Base || offset - Base > std::numeric_limits<std::uint32_t>::max()) {
        return nullptr;
    }
    const auto within = static_cast<std::uint32_t>(offset - Base);
    const auto entry =
        std::lower_bound(Entries.begin(), Entries.end(), within,
                         [](const PayloadEntry& e, std::uint32_t at) { return e.Offset < at; });
    return entry != Entries.end() && entry->Offset == within ? &*entry : nullptr;
}

std::optional<std::vector<std::uint8_t>> SetupArchive::ReadPayloadFile(const PayloadEntry& entry,
                                                                       std::uint32_t maxSize) {
    if (entry.Size > maxSize || entry.CompressedSize > maxSize) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> data(entry.CompressedSize);
    if (!ReadAt(Base + entry.Offset, data)) {
        return std::nullopt;
    }
    if (entry.Storage == ItemStorage::Deflated) {
        std::vector<std::uint8_t> content(entry.Size);
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            return std::nullopt;
        }
        stream.next_in = data.data();
        stream.avail_in = static_cast<uInt>(data.size());
        stream.next_out = content.data();
        stream.avail_out = static_cast<uInt>(content.size());
        const bool whole = inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.avail_out == 0;
        inflateEnd(&stream);
        if (!whole) {
            return std::nullopt;
        }
        data = std::move(content);
    }
    if (data.size() != entry.Size || Crc32(0, data) != entry.Crc) {
        return std::nullopt;
    }
    return data;
}

std::string PayloadPacker::Add(const std::string& name, std::span<const std::uint8_t> content) {
    if (Packed.Entries.size() == MaxPayloadCount) {
        return "an archive holds at most " + std::to_string(MaxPayloadCount) + " files";
    }
    if (name.size() > 255) {
        return "the name " + name + " is longer than 255 bytes";
    }
    if (content.size() > std::numeric_limits<std::uint32_t>::max() / 2) {
        return name + " is larger than 2 GB";
    }
    const bool store = Storage == ItemStorage::Stored && !content.empty();
    std::vector<std::uint8_t> compressed;
    if (!store) {
        compressed = Deflater.Deflate(content);
    }
    const std::span<const std::uint8_t> data = store ? content : compressed;
    if (Packed.Data.size() + data.size() > std::numeric_limits<std::uint32_t>::max() / 2) {
        return "the payload would exceed 2 GB";
    }
    Packed.Entries.push_back({name, static_cast<std::uint32_t>(Packed.Data.size()),
                              static_cast<std::uint32_t>(data.size()),
                              static_cast<std::uint32_t>(content.size()), Crc32(0, content),
                              store ? ItemStorage::Stored : ItemStorage::Deflated});
    Packed.Data.insert(Packed.Data.end(), data.begin(), data.end());
    return {};
}

PackResult PackPayload(std::span<const std::pair<std::string, std::vector<std::uint8_t>>> files,
                       ItemStorage storage) {
    PayloadPacker packer(storage);
    for (const auto& [name, content] : files) {
        if (std::string error = packer.Add(name, content); !error.empty()) {
            return {std::nullopt, std::move(error)};
        }
    }
    return {std::move(packer.Payload()), {}};
}

PackResult PackPayloadFiles(std::span<const std::filesystem::path> files, ItemStorage storage) {
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> contents;
    for (const std::filesystem::path& file : files) {
        platform::UniqueStdioFile input(std::fopen(file.string().c_str(), "rb"));
        const std::optional<std::uint64_t> size =
            input ? FileSize(input.Get()) : std::optional<std::uint64_t>{};
        if (!size || *size > std::numeric_limits<std::uint32_t>::max() / 2) {
            return {std::nullopt, "cannot read " + file.string()};
        }
        std::vector<std::uint8_t> content(static_cast<std::size_t>(*size));
        std::rewind(input.Get());
        if (std::fread(content.data(), 1, content.size(), input.Get()) != content.size()) {
            return {std::nullopt, "cannot read " + file.string()};
        }
        contents.emplace_back(file.filename().string(), std::move(content));
    }
    return PackPayload(contents, storage);
}

ArchiveImage BuildSetupArchive(std::span<const std::uint8_t> script, const PackedPayload& payload,
                               const ArchiveExtras& extras) {
    if (script.empty() || script.size() > MaxScriptLength) {
        return {{}, "the script must hold between 1 byte and " + Describe(MaxScriptLength)};
    }
    if (extras.FinishOffset >= script.size() || extras.CancelOffset >= script.size()) {
        return {{}, "the finish and cancel sections must lie inside the script"};
    }
    if (extras.BytesPerDisk != 0 && extras.BytesPerDisk < MinBytesPerDisk) {
        return {{}, "a disk must hold at least " + Describe(MinBytesPerDisk)};
    }
    ArchiveHeader header;
    header.BytesPerDisk = extras.BytesPerDisk;
    header.FinishOffset = extras.FinishOffset;
    header.CancelOffset = extras.CancelOffset;
    header.OptionFlags = extras.OptionFlags;
    std::vector<std::uint8_t> pieces;
    RawDeflater deflater;
    for (std::size_t i = 0; i < EmbeddedPieceCount; ++i) {
        if (extras.Pieces[i].empty()) {
            continue;
        }
        const std::vector<std::uint8_t> compressed = deflater.Deflate(extras.Pieces[i]);
        header.PieceSizes[i] = static_cast<std::uint32_t>(compressed.size());
        pieces.insert(pieces.end(), compressed.begin(), compressed.end());
    }
    auto has = [&](EmbeddedPiece piece) {
        return !extras.Pieces[static_cast<std::size_t>(piece)].empty();
    };
    header.DiskPromptSetSize = static_cast<std::uint32_t>(
        extras.Pieces[static_cast<std::size_t>(EmbeddedPiece::DiskPromptDialogs)].size());
    if (has(EmbeddedPiece::Ctl3dWindows95) || has(EmbeddedPiece::Ctl3dWindowsNt)) {
        header.OptionFlags |= context_option::Ctl3dEmbedded;
    }
    if (has(EmbeddedPiece::RestartUtility)) {
        header.OptionFlags |= context_option::RestartUtilityEmbedded;
    }
    if (has(EmbeddedPiece::ExtensionLibrary)) {
        header.OptionFlags |= context_option::ExtensionLibraryEmbedded;
    }
    if (has(EmbeddedPiece::RegistrationProgram)) {
        header.OptionFlags |= context_option::RegistrationProgramEmbedded;
    }

    // Archives of deflated files alone keep the first version's table, byte for byte.
    const bool anyStored =
        std::any_of(payload.Entries.begin(), payload.Entries.end(),
                    [](const PayloadEntry& e) { return e.Storage != ItemStorage::Deflated; });
    std::vector<std::uint8_t> table;
    for (const PayloadEntry& entry : payload.Entries) {
        for (std::uint32_t word : {entry.Offset, entry.CompressedSize, entry.Size, entry.Crc}) {
            AppendWord(table, word);
        }
        if (anyStored) {
            table.push_back(static_cast<std::uint8_t>(entry.Storage));
        }
        table.push_back(static_cast<std::uint8_t>(entry.Name.size()));
        table.insert(table.end(), entry.Name.begin(), entry.Name.end());
    }
    header.PayloadCount = static_cast<std::uint32_t>(payload.Entries.size());
    header.TableLength = static_cast<std::uint32_t>(table.size());
    header.TableCrc = Crc32(0, table);
    header.PayloadLength = static_cast<std::uint32_t>(payload.Data.size());

    std::vector<std::uint8_t> scriptCopy(script.begin(), script.end());
    const std::uint64_t base =
        std::uint64_t{ArchiveHeaderSize} + table.size() + scriptCopy.size() + pieces.size();
    if (base + payload.Data.size() > std::numeric_limits<std::uint32_t>::max() / 2) {
        return {{}, "the archive would exceed 2 GB"};
    }
    if (extras.BytesPerDisk != 0) {
        const std::optional<std::size_t> firstDisk = FirstDiskOffsetField(scriptCopy);
        if (!firstDisk) {
            return {{}, "the script's header is too short to take the disk size"};
        }
        StoreWord(&scriptCopy[ScriptBytesPerDiskAt], extras.BytesPerDisk);
        StoreWord(&scriptCopy[*firstDisk], static_cast<std::uint32_t>(base));
    }
    header.ScriptLength = static_cast<std::uint32_t>(scriptCopy.size());
    header.ScriptCrc = Crc32(0, scriptCopy);

    std::vector<std::uint8_t> out(ArchiveHeaderSize);
    std::memcpy(out.data(), ArchiveMagic.data(), ArchiveMagic.size());
    StoreWord(&out[VersionAt], anyStored ? StoredItemsFormatVersion : ArchiveFormatVersion);
    StoreWord(&out[HeaderSizeAt], ArchiveHeaderSize);
    std::size_t at = FieldsAt;
    for (std::uint32_t* word : HeaderWords(header)) {
        StoreWord(&out[at], *word);
        at += 4;
    }
    StoreWord(&out[HeaderCrcAt], Crc32(0, {out.data(), HeaderCrcAt}));
    for (const std::vector<std::uint8_t>* part :
         std::initializer_list<const std::vector<std::uint8_t>*>{&table, &scriptCopy, &pieces,
                                                                 &payload.Data}) {
        out.insert(out.end(), part->begin(), part->end());
    }
    if (extras.BytesPerDisk != 0 &&
        (out.size() + extras.BytesPerDisk - 1) / extras.BytesPerDisk > MaxArchiveParts) {
        return {{},
                "the archive would need more than " + std::to_string(MaxArchiveParts) + " disks"};
    }
    return {std::move(out), {}};
}

std::string WriteSetupArchive(const std::filesystem::path& path,
                              std::span<const std::uint8_t> script, const PackedPayload& payload,
                              const ArchiveExtras& extras) {
    ArchiveImage image = BuildSetupArchive(script, payload, extras);
    if (!image.Error.empty()) {
        return image.Error;
    }
    const std::size_t diskSize =
        extras.BytesPerDisk == 0 ? image.Bytes.size() : extras.BytesPerDisk;
    std::uint32_t part = 1;
    for (std::size_t start = 0; start < image.Bytes.size(); start += diskSize, ++part) {
        const std::filesystem::path partPath = ArchivePartPath(path, part);
        platform::UniqueStdioFile output(std::fopen(partPath.string().c_str(), "wb"));
        const std::size_t count = std::min(diskSize, image.Bytes.size() - start);
        if (!output || std::fwrite(image.Bytes.data() + start, 1, count, output.Get()) != count ||
            std::fclose(output.Release()) != 0) {
            return "cannot write " + partPath.string();
        }
    }
    // A longer series left by an earlier write would be read as part of this archive.
    std::error_code ignored;
    for (; part <= MaxArchiveParts; ++part) {
        std::filesystem::remove(ArchivePartPath(path, part), ignored);
    }
    return {};
}

} // namespace vorn
