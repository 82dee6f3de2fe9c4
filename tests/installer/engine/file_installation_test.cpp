// The file actions run through whole installations on a sandbox machine: the date and
// version rules, shared counts, backups, a file in use replaced at restart, and the faults
// that must leave the old file and nothing else behind.
#include "engine_fakes.h"
#include "installer/archive/archive_decompressor.h"
#include "installer/archive/setup_archive.h"
#include "installer/engine/backup_copy.h"
#include "installer/engine/date_rules.h"
#include "installer/engine/installation_run.h"
#include "installer/engine/script_builder.h"
#include "sample_install_script.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace vorn {
namespace {

using plandra::test::ReadFileText;
using plandra::test::WriteFileText;

std::string Fixture(std::string_view name) {
    return ReadFileText(std::string(PLANDRA_SOURCE_DIR) + "/tests/machine/fixtures/" +
                        std::string(name));
}

// The machine of a run; Payload takes only the decompressor's writes of file data.
struct RigMachine {
    explicit RigMachine(platform::SandboxMachine& machine)
        : Services(machine), Payload(Services.Sandbox) {}
    testing::SandboxTestMachine Services;
    platform::FaultInjectingFiles Payload;
    /// Sets the abort flag after this many payload writes (a cancel during a copy).
    int CancelAfterWrites = -1;
    InstallContext* Context = nullptr;
};

RigMachine* Running = nullptr;

std::uint32_t PLATFORM_WINAPI RigFileWrite(std::uintptr_t file, const void* buffer,
                                           std::uint32_t count) {
    std::uint32_t written = 0;
    Running->Payload.WriteFile(static_cast<platform::FileHandle>(file),
                               std::span<const char>(static_cast<const char*>(buffer), count),
                               written);
    if (Running->CancelAfterWrites >= 0 &&
        Running->Payload.Plan.Uses(platform::FileCall::WriteFile) >= Running->CancelAfterWrites) {
        Running->Context->AbortFlag = 1;
    }
    return written;
}

// A stream that ends early while still claiming its full size.
class CutStream final : public ArchiveStream {
public:
    CutStream(std::vector<std::uint8_t> bytes, std::uint64_t cut)
        : Inner(MemoryArchiveStream(std::move(bytes))), Cut(cut) {}
    std::uint64_t Size() const override { return Inner->Size(); }
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
        return offset + buffer.size() <= Cut && Inner->ReadAt(offset, buffer);
    }

private:
    std::unique_ptr<ArchiveStream> Inner;
    std::uint64_t Cut;
};

struct FileSpec {
    std::string Source; ///< Payload name.
    std::string Destination;
    std::uint8_t FlagsA = 0;
    std::uint8_t FlagsB = 0;
    DosStamp Stamp{0x5A21, 0x6000}; ///< 1 January 2025, 12:00.
    bool VersionFields = false;
};

// Bytes that do not compress, so that the archive holds the whole size.
std::string Noise(std::size_t size) {
    std::string text(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : text) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return text;
}

constexpr std::uint8_t Rule1 = 0x08, Rule2 = 0x10, Rule3 = 0x18, Shared = 0x02, Versions = 0x01;

class FileInstallationTest : public ::testing::Test {
protected:
    void MakeMachine(platform::WindowsFamily family = platform::WindowsFamily::WindowsNT) {
        Machine = platform::SandboxMachine::Create(Folder.Folder(), family).Machine;
        ASSERT_TRUE(Machine);
        std::filesystem::create_directories(Native("C:\\APP"));
        std::filesystem::create_directories(Native("C:\\SETUP"));
        Rig = std::make_unique<RigMachine>(*Machine);
    }

    std::filesystem::path Native(std::string_view path) const {
        return Machine->Resolve(path).Native;
    }

    void Existing(std::string_view path, const std::string& content, DosStamp stamp) {
        WriteFileText(Native(path), content);
        WriteDosStamp(Rig->Services.Sandbox, path, stamp);
    }

    // Builds the script of `files` (BACKUPDIR set before the records whose index is in
    // `backupFrom` on), archives it and runs it; returns the run's result.
    int Run(const std::vector<FileSpec>& files, std::size_t backupFrom = SIZE_MAX,
            std::uint32_t options = 0, std::uint64_t cut = 0, std::uint32_t badChecksum = 0) {
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> contents;
        for (const auto& [name, text] : Payloads) {
            contents.push_back({name, std::vector<std::uint8_t>(text.begin(), text.end())});
        }
        PackResult packed = PackPayload(contents);
        EXPECT_TRUE(packed.Payload) << packed.Error;
        ScriptBuilder b;
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (i == backupFrom) {
                b.CallDll(call::OwnFunction, "", "f16",
                          {std::string("1") + Sep + "BACKUPDIR" + Sep + "C:\\BACKUP"});
            }
            const FileSpec& f = files[i];
            auto entry =
                std::find_if(packed.Payload->Entries.begin(), packed.Payload->Entries.end(),
                             [&](const PayloadEntry& e) { return e.Name == f.Source; });
            std::vector<std::uint8_t> fixed{f.FlagsA, f.FlagsB};
            auto put = [&](std::uint32_t value, int bytes) {
                for (int k = 0; k < bytes; ++k) {
                    fixed.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
                }
            };
            put(entry->Offset, 4);
            put(entry->Offset + entry->CompressedSize, 4);
            put(f.Stamp.Date, 2);
            put(f.Stamp.Time, 2);
            put(entry->Size, 4);
            for (int k = 0; k < 5; ++k) {
                put(f.VersionFields ? 1 : 0, 4);
            }
            put(badChecksum != 0 ? badChecksum : entry->Crc, 4);
            b.Record(op::InstallFiles, fixed, {f.Destination, ""}, {{"File"}});
        }
        b.Exit();
        std::vector<std::uint8_t> script = WriteScriptHeader(SampleHeader());
        std::vector<std::uint8_t> records = b.Build();
        script.insert(script.end(), records.begin(), records.end());
        ArchiveExtras extras;
        extras.OptionFlags = options;
        ArchiveImage image = BuildSetupArchive(script, *packed.Payload, extras);
        EXPECT_TRUE(image.Error.empty()) << image.Error;
        std::unique_ptr<ArchiveStream> stream =
            cut != 0 ? std::make_unique<CutStream>(image.Bytes, image.Bytes.size() - cut)
                     : MemoryArchiveStream(image.Bytes);
        SetupArchive::OpenResult opened = SetupArchive::Read(std::move(stream));
        EXPECT_TRUE(opened.Archive) << opened.Error;
        ScriptCopy = opened.Archive->Script();
        Context = InstallContext{};
        Context.ArchiveOffset = static_cast<std::uint32_t>(opened.Archive->PiecesOffset());
        Context.ArchiveFile = reinterpret_cast<std::uintptr_t>(opened.Archive.get());
        Context.OptionFlags = opened.Archive->Header().OptionFlags;
        Context.ScriptLength = static_cast<std::uint32_t>(ScriptCopy.size());
        Context.Script = ScriptCopy.data();
        Context.Decompress = &DecompressFromArchive;
        Context.Checksum = &ArchiveChecksum;
        Rig->Context = &Context;
        Running = Rig.get();
        ArchiveDecompressor decompressor(*opened.Archive, Context, &RigFileWrite);
        return RunInstallation(&Context, {"", &ExitAction, RestartProgram, RestartArguments},
                               Rig->Services);
    }

    // The log's change records, header and run lines left out.
    std::vector<std::string> LogChanges() {
        std::istringstream text(ReadFileText(Native("C:\\APP\\INSTALL.LOG")));
        std::vector<std::string> lines;
        for (std::string line; std::getline(text, line, '\n');) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            for (const char* kept : {"File ", "Made Dir", "Backup", "In Use", "Date/Time", " File",
                                     "Version:", "Shared"}) {
                if (line.rfind(kept, 0) == 0) {
                    lines.push_back(line);
                    break;
                }
            }
        }
        return lines;
    }

    std::vector<std::string> ScratchFiles(std::string_view folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Native(folder))) {
            std::string name = entry.path().filename().string();
            if (name.rfind("~KTH", 0) == 0 || name.rfind("~kth", 0) == 0) {
                names.push_back(name);
            }
        }
        return names;
    }

    plandra::test::TempFolder Folder;
    std::unique_ptr<platform::SandboxMachine> Machine;
    std::unique_ptr<RigMachine> Rig;
    std::map<std::string, std::string> Payloads{
        {"new.txt", "new content"},
        {"zz.bin", Noise(100000)},
    };
    std::vector<std::uint8_t> ScriptCopy;
    InstallContext Context;
    std::int32_t ExitAction = 0;
    char RestartProgram[RestartBufferSize] = {};
    char RestartArguments[RestartBufferSize] = {};
};

TEST_F(FileInstallationTest, EveryRuleSharedCountsBackupAndAFileInUseReplacedAtRestart) {
    MakeMachine();
    Payloads["lib.dll"] = Fixture("VER2.DLL");
    const DosStamp older{0x5821, 0x6000}, record{0x5A21, 0x6000}, newer{0x5C21, 0x6000};
    Existing("C:\\APP\\OLD.TXT", "old", older);
    Existing("C:\\APP\\SAME.TXT", "same", record);
    Existing("C:\\APP\\KEEP.TXT", "keep", newer);
    Existing("C:\\APP\\NEVER.TXT", "never", older);
    Existing("C:\\APP\\BUSY.TXT", "busy", older);
    Existing("C:\\APP\\LIB.DLL", Fixture("VER1.DLL"), older);
    platform::FileHandle holder = Rig->Services.Sandbox.CreateFileA(
        "C:\\APP\\BUSY.TXT", platform::file::GenericRead, 0, platform::file::OpenExisting, 0);
    std::vector<FileSpec> files{
        {"new.txt", "C:\\APP\\NEW.TXT"},
        {"new.txt", "C:\\APP\\OLD.TXT", Rule2},
        {"new.txt", "C:\\APP\\SAME.TXT", Rule1},
        {"new.txt", "C:\\APP\\KEEP.TXT", Rule2},
        {"new.txt", "C:\\APP\\NEVER.TXT", Rule3},
        {"new.txt", "C:\\APP\\SHARED.TXT", Shared},
        {"new.txt", "C:\\APP\\SHARED.TXT", Shared},
        {"new.txt", "C:\\APP\\BUSY.TXT"},
        {"lib.dll", "C:\\APP\\LIB.DLL", Versions},
    };
    EXPECT_EQ(Run(files, 8, context_option::ReplaceInUseAtRestart), -1);
    EXPECT_EQ(LogChanges(), (std::vector<std::string>{
                                "File Copy: C:\\APP\\NEW.TXT",
                                "File Overwrite: C:\\APP\\OLD.TXT",
                                "File Overwrite: C:\\APP\\SAME.TXT",
                                "Date/Time: Following file not copied.",
                                " File Copy: C:\\APP\\KEEP.TXT",
                                "File Copy: C:\\APP\\SHARED.TXT",
                                "File Overwrite: C:\\APP\\SHARED.TXT",
                                "File Overwrite: C:\\APP\\BUSY.TXT",
                                "Made Dir: C:\\BACKUP",
                                "File Overwrite: C:\\APP\\LIB.DLL",
                                "Backup Copy: C:\\BACKUP\\LIB.DLL",
                            }));
    for (const char* name : {"NEW.TXT", "OLD.TXT", "SAME.TXT", "SHARED.TXT"}) {
        EXPECT_EQ(ReadFileText(Native(std::string("C:\\APP\\") + name)), "new content") << name;
    }
    EXPECT_EQ(ReadFileText(Native("C:\\APP\\KEEP.TXT")), "keep");
    EXPECT_EQ(ReadFileText(Native("C:\\APP\\NEVER.TXT")), "never");
    EXPECT_EQ(ReadFileText(Native("C:\\APP\\LIB.DLL")), Fixture("VER2.DLL"));
    EXPECT_EQ(ReadFileText(Native("C:\\BACKUP\\LIB.DLL")), Fixture("VER1.DLL"));
    std::optional<DosStamp> stamp = ReadDosStamp(Rig->Services.Sandbox, "C:\\APP\\NEW.TXT");
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->Date, record.Date);
    EXPECT_EQ(stamp->Time, record.Time);

    platform::HKEY key = nullptr;
    ASSERT_EQ(Rig->Services.RegistryCalls->RegOpenKeyExA(
                  platform::HKEY_LOCAL_MACHINE,
                  "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0,
                  platform::reg::KeyRead, key),
              platform::reg::Success);
    std::uint32_t count = 0, size = 4;
    EXPECT_EQ(Rig->Services.RegistryCalls->RegQueryValueExA(key, "C:\\APP\\SHARED.TXT", nullptr,
                                                            reinterpret_cast<char*>(&count), &size),
              platform::reg::Success);
    EXPECT_EQ(count, 2u);
    Rig->Services.RegistryCalls->RegCloseKey(key);

    // The file in use waits for the restart, and the restart puts it in place.
    EXPECT_EQ(ExitAction, exit_action::Reboot);
    EXPECT_EQ(ReadFileText(Native("C:\\APP\\BUSY.TXT")), "busy");
    Rig->Services.Sandbox.CloseHandle(holder);
    Rig.reset();
    EXPECT_EQ(Machine->Restart(), 0);
    EXPECT_EQ(ReadFileText(Native("C:\\APP\\BUSY.TXT")), "new content");
    EXPECT_TRUE(ScratchFiles("C:\\APP").empty());
}

TEST_F(FileInstallationTest, FaultsKeepTheOldFileAndLeaveNoScratchFile) {
    using platform::FaultRepeat;
    using platform::FileCall;
    namespace id = platform::id;
    const std::string fresh = Noise(100000);
    struct Case {
        const char* Name;
        platform::WindowsFamily Family;
        std::function<void(RigMachine&)> Arrange;
        std::vector<int> Answers;
        std::uint32_t Options = 0;
        std::uint64_t Cut = 0;
        std::uint32_t BadChecksum = 0;
        int Result;
        std::vector<std::string> Log;
        bool Replaced = false;
        int ScratchLeft = 0;
    };
    platform::FileHandle holder = platform::InvalidFileHandle;
    auto hold = [&](RigMachine& rig) {
        holder = rig.Services.Sandbox.CreateFileA("C:\\APP\\A.TXT", platform::file::GenericRead, 0,
                                                  platform::file::OpenExisting, 0);
    };
    const auto nt = platform::WindowsFamily::WindowsNT;
    const std::vector<Case> cases{
        {"disk full in the middle of the file",
         nt,
         [](RigMachine& rig) {
             rig.Payload.Plan.FailAt(FileCall::WriteFile, 2, platform::winerror::DiskFull,
                                     FaultRepeat::FromThenOn);
         },
         {},
         0,
         0,
         0,
         -2,
         {}},
        {"access denied on the destination, ignored",
         nt,
         [](RigMachine& rig) {
             rig.Services.Faulty.Plan.FailAt(
                 FileCall::MoveFileA, 1, platform::winerror::AccessDenied, FaultRepeat::FromThenOn);
         },
         {id::Cancel},
         0,
         0,
         0,
         -1,
         {"In Use: C:\\APP\\A.TXT Not Copied"}},
        {"the copy cannot take the old file's place once, retried",
         nt,
         [](RigMachine& rig) {
             rig.Services.Faulty.Plan.FailAt(FileCall::MoveFileA, 2,
                                             platform::winerror::AccessDenied);
         },
         {id::No},
         0,
         0,
         0,
         -1,
         {"File Overwrite: C:\\APP\\A.TXT"},
         true},
        {"destination in use, aborted", nt, hold, {id::Yes}, 0, 0, 0, -2, {}},
        {"checksum that does not match", nt, nullptr, {id::Yes}, 0, 0, 0x12345678, -2, {}},
        {"truncated archive", nt, nullptr, {id::Yes}, 0, 5000, 0, -2, {}},
        {"cancel during the copy",
         nt,
         [](RigMachine& rig) { rig.CancelAfterWrites = 1; },
         {},
         0,
         0,
         0,
         -2,
         {}},
        {"in use on Windows 95, replaced at restart",
         platform::WindowsFamily::Windows95,
         hold,
         {},
         context_option::ReplaceInUseAtRestart,
         0,
         0,
         -1,
         {"File Overwrite: C:\\APP\\A.TXT"},
         false,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Rig.reset();
        Machine.reset();
        std::filesystem::remove_all(Folder.Folder());
        std::filesystem::create_directories(Folder.Folder());
        MakeMachine(c.Family);
        Existing("C:\\APP\\A.TXT", "old", {0x5821, 0x6000});
        if (c.Arrange) {
            c.Arrange(*Rig);
        }
        Rig->Services.BoxCalls.Answers.assign(c.Answers.begin(), c.Answers.end());
        EXPECT_EQ(Run({{"zz.bin", "C:\\APP\\A.TXT"}}, SIZE_MAX, c.Options, c.Cut, c.BadChecksum),
                  c.Result);
        EXPECT_EQ(LogChanges(), c.Log);
        EXPECT_EQ(ReadFileText(Native("C:\\APP\\A.TXT")), c.Replaced ? fresh : "old");
        EXPECT_EQ(ScratchFiles("C:\\APP").size(), static_cast<std::size_t>(c.ScratchLeft));
        if (c.ScratchLeft != 0) {
            EXPECT_NE(ReadFileText(Native("C:\\WINDOWS\\WININIT.INI"))
                          .find("[rename]\r\nC:\\APP\\A.TXT=C:\\APP\\~KTH0001.TMP"),
                      std::string::npos);
            EXPECT_EQ(ExitAction, exit_action::RestartWindows);
        }
        if (holder != platform::InvalidFileHandle) {
            Rig->Services.Sandbox.CloseHandle(holder);
            holder = platform::InvalidFileHandle;
        }
    }
}

} // namespace
} // namespace vorn
