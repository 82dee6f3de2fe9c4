// The engine's decompress function into a file, memory or nowhere, its failures as the
// context's error codes, and the running CRC-32.
#include "archive_test_data.h"
#include "installer/archive/archive_decompressor.h"
#include "machine/machine_under_test.h"
#include "platform/headless/fault_injection.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace vorn {
namespace {

// The engine's FileWrite as the decompressor reaches it: through the fixture's files.
platform::FileService* WriteTarget = nullptr;

std::uint32_t PLATFORM_WINAPI WriteThroughFiles(std::uintptr_t file, const void* buffer,
                                                std::uint32_t count) {
    std::uint32_t done = 0;
    WriteTarget->WriteFile(static_cast<platform::FileHandle>(file),
                           {static_cast<const char*>(buffer), count}, done);
    return done;
}

struct Fixture {
    std::unique_ptr<machine_test::MachineUnderTest> Machine = machine_test::MakeMachineUnderTest();
    platform::FaultInjectingFiles Files{Machine->Files()};
    std::unique_ptr<SetupArchive> Archive;
    InstallContext Context;

    explicit Fixture(std::vector<std::uint8_t> image = {},
                     ItemStorage storage = ItemStorage::Deflated) {
        WriteTarget = &Files;
        if (image.empty()) {
            image = BuildSetupArchive(archive_test::Script(),
                                      *PackPayload(archive_test::Files(), storage).Payload)
                        .Bytes;
        }
        Archive = std::move(SetupArchive::Read(MemoryArchiveStream(std::move(image))).Archive);
    }
    const PayloadEntry& Entry(std::size_t i) const { return Archive->Payload()[i]; }
    std::uint32_t At(std::size_t i) const {
        return static_cast<std::uint32_t>(Archive->ArchiveBase() + Entry(i).Offset);
    }
};

TEST(ArchiveDecompressor, InflatesIntoAFileMemoryOrNowhereAndMovesTheOffsetOn) {
    const auto expected = archive_test::Files()[1].second;
    enum class Into { File, Memory, Nowhere };
    for (const auto storage : {ItemStorage::Deflated, ItemStorage::Stored})
        for (const Into into : {Into::File, Into::Memory, Into::Nowhere}) {
            SCOPED_TRACE(static_cast<int>(into));
            Fixture f({}, storage);
            ASSERT_EQ(f.Entry(1).Storage, storage);
            ArchiveDecompressor decompressor(*f.Archive, f.Context, &WriteThroughFiles);
            std::vector<std::uint8_t> memory(expected.size() + 1, 0xEE);
            f.Context.DecompressTarget = into == Into::Memory ? memory.data() : nullptr;
            const platform::FileHandle file =
                into == Into::File
                    ? f.Files.CreateFileA(f.Machine->Path("OUT.OCX"), platform::file::GenericWrite,
                                          0, platform::file::CreateAlways, 0)
                    : platform::InvalidFileHandle;
            f.Context.ArchiveOffset = f.At(1);
            std::vector<std::uint32_t> progress;
            decompressor.OnProgress = [&] { progress.push_back(f.Context.ArchiveOffset); };
            const std::uintptr_t destination =
                into == Into::File ? static_cast<std::uintptr_t>(file) : 0;
            EXPECT_EQ(DecompressFromArchive(0, destination, f.Entry(1).CompressedSize, 0),
                      static_cast<std::int32_t>(expected.size()));
            EXPECT_EQ(f.Context.ErrorCode, context_error::None);
            EXPECT_EQ(f.Context.ArchiveOffset, f.At(1) + f.Entry(1).CompressedSize);
            ASSERT_FALSE(progress.empty());
            EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
            EXPECT_GT(progress.front(), f.At(1));
            EXPECT_LE(progress.back(), f.Context.ArchiveOffset);
            if (into == Into::File) {
                f.Files.CloseHandle(file);
                EXPECT_EQ(f.Machine->ReadText("OUT.OCX"),
                          std::string(expected.begin(), expected.end()));
            } else if (into == Into::Memory) {
                EXPECT_EQ(std::memcmp(memory.data(), expected.data(), expected.size()), 0);
                EXPECT_EQ(memory.back(), 0xEE) << "written past the item's size";
            }
        }
}

TEST(ArchiveDecompressor, ReportsReadAndWriteFailuresInTheErrorCode) {
    for (const auto storage : {ItemStorage::Deflated, ItemStorage::Stored}) {
        SCOPED_TRACE(static_cast<int>(storage));
        const auto good = BuildSetupArchive(archive_test::Script(),
                                            *PackPayload(archive_test::Files(), storage).Payload)
                              .Bytes;
        std::vector<std::uint8_t> damaged = good;
        damaged[damaged.size() - 40] ^= 0x55;
        const struct {
            const char* Case;
            std::vector<std::uint8_t> Image;
            std::int32_t SizeChange;
            bool FailWrite;
            std::uint8_t Error;
        } cases[] = {
            {"damaged data", damaged, 0, false, context_error::ArchiveReadFailure},
            {"wrong size", good, -1, false, context_error::ArchiveReadFailure},
            {"write fails", good, 0, true, context_error::WriteFailure},
        };
        for (const auto& c : cases) {
            Fixture f(c.Image);
            ArchiveDecompressor decompressor(*f.Archive, f.Context, &WriteThroughFiles);
            const platform::FileHandle file =
                f.Files.CreateFileA(f.Machine->Path("OUT.OCX"), platform::file::GenericWrite, 0,
                                    platform::file::CreateAlways, 0);
            decompressor.OnProgress = [] {};
            if (c.FailWrite) {
                f.Files.Plan.FailAt(platform::FileCall::WriteFile, 1, platform::winerror::DiskFull);
            }
            f.Context.ArchiveOffset = f.At(1);
            EXPECT_EQ(decompressor.Decompress(static_cast<std::uintptr_t>(file),
                                              f.Entry(1).CompressedSize + c.SizeChange),
                      -1)
                << c.Case;
            EXPECT_EQ(f.Context.ErrorCode, c.Error) << c.Case;
            EXPECT_EQ(f.Context.ArchiveOffset, f.At(1))
                << c.Case << ": a retry reads the same item";
            f.Files.CloseHandle(file);
        }
    }
}

// A record that gives less room than the item needs: refused before a byte is written.
TEST(ArchiveDecompressor, RefusesAnItemLargerThanTheRoomGiven) {
    Fixture f;
    ArchiveDecompressor decompressor(*f.Archive, f.Context, &WriteThroughFiles);
    std::vector<std::uint8_t> memory(f.Entry(1).Size, 0xEE);
    f.Context.DecompressTarget = memory.data();
    f.Context.ArchiveOffset = f.At(1);
    EXPECT_EQ(DecompressFromArchive(0, 0, f.Entry(1).CompressedSize, f.Entry(1).Size - 1), -1);
    EXPECT_EQ(f.Context.ErrorCode, context_error::ArchiveReadFailure);
    EXPECT_EQ(std::count(memory.begin(), memory.end(), 0xEE), std::ssize(memory));
}

// The CRC-32 bit by bit, as its polynomial defines it.
std::uint32_t BitwiseCrc32(std::span<const std::uint8_t> data) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const std::uint8_t byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
    }
    return ~crc;
}

// Lengths on either side of the 16- and 64-byte steps a buffer may be taken in, at starts
// that are not aligned, the second part continuing from the first's running value.
TEST(ArchiveDecompressor, Crc32OfAnyLengthAndStartIsThePolynomials) {
    std::vector<std::uint8_t> bytes(5000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * i + i / 7);
    }
    for (const std::size_t start : {0, 1, 7, 13})
        for (const std::size_t length : {0, 1, 15, 16, 17, 63, 64, 65, 79, 80, 127, 128, 4931}) {
            const std::span<const std::uint8_t> whole(bytes.data() + start, length);
            EXPECT_EQ(Crc32(Crc32(0, whole.first(length / 3)), whole.subspan(length / 3)),
                      BitwiseCrc32(whole))
                << start << " " << length;
        }
}

// The engine's FileWrite as it checksums each piece it is given.
std::uint32_t PLATFORM_WINAPI ChecksumWhatIsWritten(std::uintptr_t, const void* buffer,
                                                    std::uint32_t count) {
    ArchiveChecksum(static_cast<const std::uint8_t*>(buffer), count);
    return count;
}

TEST(ArchiveDecompressor, ChecksumIsARunningCrc32) {
    const std::uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(ArchiveChecksum(nullptr, 0), 0u);
    ArchiveChecksum(digits, 4);
    EXPECT_EQ(ArchiveChecksum(digits + 4, 5), 0xCBF43926u);
    EXPECT_EQ(ArchiveChecksum(nullptr, 0), 0u);
    EXPECT_EQ(ArchiveChecksum(digits, 9), 0xCBF43926u);
    // Pieces checksummed while they are written, from a new checksum or from one running
    // already.
    const std::vector<std::uint8_t> item = archive_test::Files()[1].second;
    for (const auto storage : {ItemStorage::Deflated, ItemStorage::Stored})
        for (const std::uint32_t start : {0u, 0xCBF43926u}) {
            Fixture f({}, storage);
            ArchiveDecompressor decompressor(*f.Archive, f.Context, &ChecksumWhatIsWritten);
            ArchiveChecksum(nullptr, 0);
            ArchiveChecksum(digits, start == 0 ? 0 : 9);
            f.Context.ArchiveOffset = f.At(1);
            decompressor.Decompress(1, f.Entry(1).CompressedSize);
            EXPECT_EQ(ArchiveChecksum(nullptr, 1), Crc32(start, item)) << start;
        }
}

} // namespace
} // namespace vorn
