// The extract modes run in-process on a sandbox machine over an archive made by the
// archive writer: the files written out with their contents and stamps, and a
// multi-disk archive whose later part the machine lacks.
#include "installer/archive/archive_decompressor.h"
#include "installer/archive/archive_test_data.h"
#include "installer/engine/script_builder.h"
#include "platform/posix/sandbox_files.h"
#include "sample_install_script.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

constexpr std::uint16_t Date = ((2019 - 1980) << 9) | (6 << 5) | 15;
constexpr std::uint16_t Time = (13 << 11) | (45 << 5) | 15;
const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Files = {
    {"readme.txt", archive_test::Bytes("Read me first.\r\n")},
    {"plandra.ocx", archive_test::Noise(3000, 7)},
    {"a-rather-long-file-name.dat", archive_test::Noise(40, 9)}};

// One install-file record per file, and two that are never written out: a file for the
// installation's own use and one from outside the archive.
std::vector<std::uint8_t> Archive(std::uint32_t bytesPerDisk) {
    PackedPayload payload = *PackPayload(Files).Payload;
    ScriptBuilder b;
    auto install = [&](const PayloadEntry& entry, std::uint8_t flagsA) {
        std::vector<std::uint8_t> fixed{flagsA, 0};
        for (auto [value, bytes] : {std::pair<std::uint32_t, int>{entry.Offset, 4},
                                    {entry.Offset + entry.CompressedSize, 4},
                                    {Date, 2},
                                    {Time, 2},
                                    {entry.Size, 4}}) {
            for (int i = 0; i < bytes; ++i) {
                fixed.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
            }
        }
        fixed.resize(42, 0);
        b.Record(op::InstallFiles, fixed, {"%WIN%\\APP\\" + entry.Name, ""}, {{"a file"}});
    };
    for (const PayloadEntry& entry : payload.Entries) {
        install(entry, 0);
    }
    install(payload.Entries[0], 0x04);
    install(payload.Entries[0], 0x40);
    b.Exit();
    const std::vector<std::uint8_t> script = WithHeader(SampleHeader(), b);
    ArchiveExtras extras;
    extras.BytesPerDisk = bytesPerDisk;
    extras.Pieces[static_cast<std::size_t>(EmbeddedPiece::SupportProgram)] =
        archive_test::Noise(300, 3);
    return BuildSetupArchive(script, payload, extras).Bytes;
}

TEST(ExtractModes, WritesTheArchiveFilesOrEndsTheRun) {
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
        {"no directory: each name from the save dialog", "/X", 0, false, -1, exit_action::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        plandra::test::TempFolder folder;
        auto machine =
            platform::SandboxMachine::Create(folder.Folder(), platform::WindowsFamily::WindowsNT)
                .Machine;
        VornSetMachine(folder.Folder().string().c_str(), "C:\\SETUP\\SETUP.EXE");
        auto native = [&](std::string_view path) { return machine->Resolve(path).Native; };
        std::filesystem::create_directories(native("C:\\SETUP"));
        std::string answers;
        for (const auto& file : Files) {
            answers += "C:\\OUT\\FILES\\" + file.first.substr(0, 19) + "\r\n";
        }
        std::filesystem::create_directories(native("C:\\OUT\\FILES"));
        plandra::test::WriteFileText(folder.Folder() / "save_dialog_answers.txt", answers);
        std::vector<std::uint8_t> bytes = Archive(c.BytesPerDisk);
        for (std::uint32_t disk = 2; c.PartsOnMachine && (disk - 1) * c.BytesPerDisk < bytes.size();
             ++disk) {
            // The engine only opens the later parts; their contents come from the archive.
            plandra::test::WriteFileText(native("C:\\SETUP\\SETUP.W0" + std::to_string(disk)), "");
        }

        auto archive = SetupArchive::Read(MemoryArchiveStream(bytes)).Archive;
        std::vector<std::uint8_t> script = archive->Script();
        InstallContext context;
        context.ArchiveOffset = static_cast<std::uint32_t>(archive->PiecesOffset());
        context.Silent = 1;
        context.ScriptLength = static_cast<std::uint32_t>(script.size());
        context.Script = script.data();
        context.PieceSizes = archive->Header().PieceSizes;
        context.Decompress = &DecompressFromArchive;
        ArchiveDecompressor decompressor(*archive, context, &FileWrite);
        std::int32_t exitAction = -5;
        char program[RestartBufferSize] = {};
        char arguments[RestartBufferSize] = {};
        EXPECT_EQ(VornMain(&context, c.CommandLine, &exitAction, program, arguments), c.Result);
        EXPECT_EQ(exitAction, c.ExitAction);

        platform::SandboxFiles files(*machine);
        int written = 0;
        std::error_code noFolder;
        for (const auto& entry :
             std::filesystem::directory_iterator(native("C:\\OUT\\FILES"), noFolder)) {
            // The sandbox keeps its own notes beside the files.
            written += entry.path().filename().string().starts_with("sandbox:") ? 0 : 1;
        }
        EXPECT_EQ(written, c.Result == -1 ? 3 : 0);
        for (const auto& [name, content] : c.Result == -1 ? Files : decltype(Files){}) {
            const std::string path = "C:\\OUT\\FILES\\" + name.substr(0, 19);
            EXPECT_EQ(plandra::test::ReadFileText(native(path)),
                      std::string(content.begin(), content.end()));
            platform::UniqueFile file(files.CreateFileA(path, platform::file::GenericRead, 0,
                                                        platform::file::OpenExisting, 0),
                                      platform::FileCloser{&files});
            platform::FileTime utc;
            platform::FileTime local;
            std::pair<std::uint16_t, std::uint16_t> stamp;
            files.GetFileTime(file.Get(), nullptr, nullptr, &utc);
            files.FileTimeToLocalFileTime(utc, local);
            files.FileTimeToDosDateTime(local, stamp.first, stamp.second);
            EXPECT_EQ(stamp, std::pair(Date, Time)) << path;
        }
    }
}

} // namespace
} // namespace vorn
