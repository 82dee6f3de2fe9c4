// The setup archive read back as written, on one file and on several disks, and
// damaged archives refused with a clear reason.
#include "archive_test_data.h"
#include "installer/archive/setup_archive.h"
#include "support/temp_file.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using archive_test::Files;
using archive_test::Script;

std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

TEST(SetupArchive, ReadsBackWhatWasWrittenOnOneFileAndOnSeveralDisks) {
    plandra::test::TempFolder sources;
    std::vector<std::filesystem::path> files;
    for (const auto& [name, content] : Files()) {
        files.push_back(sources.Folder() / name);
        plandra::test::WriteFileText(
            files.back(), {reinterpret_cast<const char*>(content.data()), content.size()});
    }
    for (const auto storage : {ItemStorage::Deflated, ItemStorage::Stored})
        for (const std::uint32_t bytesPerDisk : {0u, 1024u}) {
            SCOPED_TRACE(bytesPerDisk);
            const PackResult packed = PackPayloadFiles(files, storage);
            ASSERT_TRUE(packed.Payload) << packed.Error;
            plandra::test::TempFolder folder;
            const std::filesystem::path path = folder.Folder() / "SETUP.VRN";
            ArchiveExtras extras;
            extras.BytesPerDisk = bytesPerDisk;
            extras.FinishOffset = 3;
            extras.Pieces[static_cast<std::size_t>(EmbeddedPiece::RestartUtility)] =
                archive_test::Noise(700, 3);
            extras.Pieces[static_cast<std::size_t>(EmbeddedPiece::DiskPromptDialogs)] =
                archive_test::Bytes("dialogs");
            ASSERT_EQ(WriteSetupArchive(path, Script(), *packed.Payload, extras), "");
            EXPECT_EQ(std::filesystem::exists(ArchivePartPath(path, 2)), bytesPerDisk != 0);

            SetupArchive::OpenResult opened = SetupArchive::Open(path);
            ASSERT_TRUE(opened.Archive) << opened.Error;
            const SetupArchive& archive = *opened.Archive;
            // Only archives with stored files take the second version's table.
            EXPECT_EQ(plandra::test::ReadFileText(path).at(8),
                      storage == ItemStorage::Stored ? 2 : 1);
            EXPECT_EQ(archive.Header().FinishOffset, 3u);
            EXPECT_EQ(archive.Header().DiskPromptSetSize, 7u);
            EXPECT_NE(archive.Header().OptionFlags & context_option::RestartUtilityEmbedded, 0u);
            EXPECT_EQ(archive.ArchiveBase(), archive.PieceOffset(EmbeddedPiece::DiskPromptDialogs) +
                                                 archive.Header().PieceSizes[8]);
            ASSERT_EQ(archive.Payload().size(), 2u);
            for (std::size_t i = 0; i < 2; ++i) {
                EXPECT_EQ(archive.Payload()[i].Name, Files()[i].first);
                EXPECT_EQ(archive.Payload()[i].Offset, packed.Payload->Entries[i].Offset);
                EXPECT_EQ(archive.Payload()[i].Size, Files()[i].second.size());
                EXPECT_EQ(archive.Payload()[i].Storage, storage);
                EXPECT_EQ(archive.Payload()[i].CompressedSize == archive.Payload()[i].Size,
                          storage == ItemStorage::Stored);
            }
            // A split archive tells the script its disk size and where disk 1's payload starts.
            const std::vector<std::uint8_t>& script = archive.Script();
            EXPECT_EQ(WordAt(script, 9), bytesPerDisk);
            EXPECT_EQ(WordAt(script, 53), bytesPerDisk == 0 ? 0 : archive.ArchiveBase());
            if (bytesPerDisk != 0) {
                opened.Archive.reset();
                std::filesystem::remove(ArchivePartPath(path, 3));
                EXPECT_EQ(SetupArchive::Open(path).Error.find("the archive is truncated"), 0u);
            }
        }
}

TEST(SetupArchive, RefusesDamagedArchivesWithTheirReason) {
    const PackResult packed = PackPayload(Files());
    ASSERT_TRUE(packed.Payload);
    const ArchiveImage good = BuildSetupArchive(Script(), *packed.Payload);
    ASSERT_EQ(good.Error, "");
    const std::size_t tableAt = ArchiveHeaderSize;
    const std::size_t scriptAt = tableAt + WordAt(good.Bytes, 84);
    // Sets a header word and makes the header's checksum fit again.
    auto setWord = [](std::size_t at, std::uint32_t value) {
        return [=](std::vector<std::uint8_t>& bytes) {
            for (int i = 0; i < 4; ++i) {
                bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
            }
            const std::uint32_t crc = Crc32(0, {bytes.data(), 96});
            for (int i = 0; i < 4; ++i) {
                bytes[96 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
            }
        };
    };
    const std::uint32_t scriptLength = WordAt(good.Bytes, 20);
    const struct {
        const char* Case;
        std::function<void(std::vector<std::uint8_t>&)> Damage;
        const char* Error;
    } cases[] = {
        {"empty", [](auto& b) { b.clear(); }, "not a setup archive"},
        {"other file", [](auto& b) { b[0] = 'M'; }, "not a setup archive"},
        {"cut in the header", [](auto& b) { b.resize(50); },
         "the archive is truncated: its header needs 100 bytes, the archive has 50 bytes"},
        {"newer format", setWord(8, 3), "the archive has format version 3"},
        {"header byte changed", [](auto& b) { b[30] ^= 1; }, "the archive's header is damaged"},
        {"cut at the end", [](auto& b) { b.pop_back(); }, "the archive is truncated"},
        {"bytes after the end", [](auto& b) { b.push_back(0); }, "the archive has 1 byte after"},
        {"shorter than the script says", setWord(20, scriptLength + 5000),
         "the archive is truncated: its header and script need"},
        {"huge script", setWord(20, 0xFFFFFFF0u), "the archive's script length of"},
        {"tiny disks", setWord(16, 10), "the archive's disk size of 10 bytes"},
        {"too many files", setWord(80, 1000000), "the archive's file table is damaged"},
        {"finish outside the script", setWord(28, scriptLength),
         "the archive's finish or cancel section lies outside its script"},
        {"table byte changed", [&](auto& b) { b[tableAt + 2] ^= 1; },
         "the archive's file table is damaged (its checksum"},
        {"script byte changed", [&](auto& b) { b[scriptAt] ^= 1; },
         "the archive's script is damaged"},
    };
    ASSERT_TRUE(SetupArchive::Read(MemoryArchiveStream(good.Bytes)).Archive);
    auto refused = [](const std::vector<std::uint8_t>& bytes, const char* error) {
        const SetupArchive::OpenResult result = SetupArchive::Read(MemoryArchiveStream(bytes));
        EXPECT_FALSE(result.Archive);
        EXPECT_EQ(result.Error.find(error), 0u) << result.Error;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        std::vector<std::uint8_t> bytes = good.Bytes;
        c.Damage(bytes);
        refused(bytes, c.Error);
    }

    // A table of stored files whose checksums fit but whose fields do not.
    const std::vector<std::uint8_t> stored =
        BuildSetupArchive(Script(), *PackPayload(Files(), ItemStorage::Stored).Payload).Bytes;
    const struct {
        const char* Case;
        std::size_t At; ///< Table byte changed.
        std::uint8_t Value;
    } tableCases[] = {
        {"unknown storage", 16, 7},
        {"stored size differs from the compressed size", 8, 99},
    };
    for (const auto& c : tableCases) {
        SCOPED_TRACE(c.Case);
        std::vector<std::uint8_t> bytes = stored;
        bytes[tableAt + c.At] = c.Value;
        setWord(88, Crc32(0, {bytes.data() + tableAt, WordAt(bytes, 84)}))(bytes);
        refused(bytes,
                "file 1 of the archive (readme.txt) has an unknown storage or a stored size");
    }
}

} // namespace
} // namespace vorn
