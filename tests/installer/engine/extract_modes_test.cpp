// The extract modes run in-process on a sandbox machine over an archive made by the
// archive writer: the files written out, their contents and stamps, and a multi-disk
// archive whose later part the machine lacks.
#include "installer/archive/archive_decompressor.h"
#include "installer/archive/archive_test_data.h"
#include "installer/archive/setup_archive.h"
#include "installer/engine/install_context.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/script_header.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_machine.h"
#include "sample_install_script.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using Contents = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

constexpr std::uint16_t Date = ((2019 - 1980) << 9) | (6 << 5) | 15;
constexpr std::uint16_t Time = (13 << 11) | (45 << 5) | 15;

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// The install-file record of a packed file: flags A, the archive range, the stamp.
void InstallFile(ScriptBuilder& b, const PayloadEntry& entry, std::uint8_t flagsA) {
    std::vector<std::uint8_t> fixed{flagsA, 0};
    Put(fixed, entry.Offset, 4);
    Put(fixed, entry.Offset + entry.CompressedSize, 4);
    Put(fixed, Date, 2);
    Put(fixed, Time, 2);
    Put(fixed, entry.Size, 4);
    fixed.resize(42, 0);
    b.Record(op::InstallFiles, fixed, {"%WIN%\\APP\\" + entry.Name, ""}, {{"a file"}});
}

std::vector<std::uint8_t> Archive(const Contents& files, std::uint32_t bytesPerDisk) {
    PackedPayload payload = *PackPayload(files).Payload;
    ScriptBuilder b;
    for (const PayloadEntry& entry : payload.Entries) {
        InstallFile(b, entry, 0);
    }
    // Neither a file for the installation's own use nor one from outside is written out.
    InstallFile(b, payload.Entries[0], 0x04);
    InstallFile(b, payload.Entries[0], 0x40);
    b.Exit();
    std::vector<std::uint8_t> script = WriteScriptHeader(SampleHeader());
    std::vector<std::uint8_t> records = b.Build();
    script.insert(script.end(), records.begin(), records.end());
    ArchiveExtras extras;
    extras.BytesPerDisk = bytesPerDisk;
    extras.Pieces[static_cast<std::size_t>(EmbeddedPiece::SupportProgram)] =
        archive_test::Noise(300, 3);
    return BuildSetupArchive(script, payload, extras).Bytes;
}

class ExtractModesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Machine =
            platform::SandboxMachine::Create(Folder.Folder(), platform::WindowsFamily::WindowsNT)
                .Machine;
        ASSERT_TRUE(Machine);
        VornSetMachine(Folder.Folder().string().c_str(), "C:\\SETUP\\SETUP.EXE");
        std::filesystem::create_directories(Native("C:\\SETUP"));
    }

    std::filesystem::path Native(std::string_view path) const {
        return Machine->Resolve(path).Native;
    }

    std::int32_t Run(std::vector<std::uint8_t> bytes, const char* commandLine, bool silent) {
        std::unique_ptr<SetupArchive> archive =
            SetupArchive::Read(MemoryArchiveStream(std::move(bytes))).Archive;
        EXPECT_TRUE(archive);
        std::vector<std::uint8_t> script = archive->Script();
        InstallContext context;
        context.ArchiveOffset = static_cast<std::uint32_t>(archive->PiecesOffset());
        context.Silent = silent ? 1 : 0;
        context.ScriptLength = static_cast<std::uint32_t>(script.size());
        context.Script = script.data();
        context.PieceSizes = archive->Header().PieceSizes;
        context.Decompress = &DecompressFromArchive;
        ArchiveDecompressor decompressor(*archive, context, &FileWrite);
        char program[RestartBufferSize] = {};
        char arguments[RestartBufferSize] = {};
        return VornMain(&context, commandLine, &ExitAction, program, arguments);
    }

    // The DOS stamp of a file on the machine.
    std::pair<std::uint16_t, std::uint16_t> Stamp(std::string_view path) {
        platform::SandboxFiles files(*Machine);
        platform::UniqueFile file(files.CreateFileA(path, platform::file::GenericRead,
                                                    platform::file::ShareRead,
                                                    platform::file::OpenExisting, 0),
                                  platform::FileCloser{&files});
        platform::FileTime written;
        platform::FileTime local;
        std::pair<std::uint16_t, std::uint16_t> stamp;
        EXPECT_TRUE(files.GetFileTime(file.Get(), nullptr, nullptr, &written));
        files.FileTimeToLocalFileTime(written, local);
        files.FileTimeToDosDateTime(local, stamp.first, stamp.second);
        return stamp;
    }

    plandra::test::TempFolder Folder;
    std::unique_ptr<platform::SandboxMachine> Machine;
    std::int32_t ExitAction = -5;
};

TEST_F(ExtractModesTest, WritesTheArchiveFilesOrEndsTheRun) {
    const Contents files = {{"readme.txt", archive_test::Bytes("Read me first.\r\n")},
                            {"plandra.ocx", archive_test::Noise(3000, 7)},
                            {"a-rather-long-file-name.dat", archive_test::Noise(40, 9)}};
    struct Case {
        const char* Name;
        const char* CommandLine;
        std::uint32_t BytesPerDisk;
        bool PartsOnMachine;
        std::int32_t Result;
        std::int32_t ExitAction;
    };
    const Case cases[] = {
        {"one file, /X", "/X C:\\OUT\\FILES", 0, false, -1, exit_action::None},
        {"one file, /Z", "/z C:\\OUT\\FILES\\", 0, false, -1, exit_action::ExtractOnly},
        {"disks all there", "/X C:\\OUT\\FILES", 1024, true, -1, exit_action::None},
        // Silent: no one can insert the disk, so the run ends instead of waiting.
        {"a disk missing", "/X C:\\OUT\\FILES", 1024, false, -2, exit_action::None},
        {"no directory", "/X", 0, false, -2, exit_action::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::filesystem::remove_all(Native("C:\\OUT"));
        std::vector<std::uint8_t> bytes = Archive(files, c.BytesPerDisk);
        ASSERT_FALSE(bytes.empty());
        std::filesystem::remove(Native("C:\\SETUP\\SETUP.W02"));
        for (std::uint32_t disk = 2; c.PartsOnMachine && (disk - 1) * c.BytesPerDisk < bytes.size();
             ++disk) {
            // The engine only opens the later parts; their contents come from the archive.
            plandra::test::WriteFileText(Native("C:\\SETUP\\SETUP.W0" + std::to_string(disk)), "");
        }
        EXPECT_EQ(Run(bytes, c.CommandLine, true), c.Result);
        EXPECT_EQ(ExitAction, c.ExitAction);
        if (c.Result != -1) {
            EXPECT_FALSE(std::filesystem::exists(Native("C:\\OUT\\FILES\\plandra.ocx")));
            continue;
        }
        int written = 0;
        for (const auto& entry : std::filesystem::directory_iterator(Native("C:\\OUT\\FILES"))) {
            written += entry.path().filename().string().starts_with("sandbox:") ? 0 : 1;
        }
        EXPECT_EQ(written, 3);
        for (const auto& [name, content] : files) {
            const std::string path = "C:\\OUT\\FILES\\" + name.substr(0, 19);
            EXPECT_EQ(plandra::test::ReadFileText(Native(path)),
                      std::string(content.begin(), content.end()))
                << path;
            EXPECT_EQ(Stamp(path), std::pair(Date, Time)) << path;
        }
    }
}

} // namespace
} // namespace vorn
