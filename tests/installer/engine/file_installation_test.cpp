// The file actions run through whole installations on a sandbox machine: the date and
// version rules, shared counts, backups, a file in use replaced at restart, and the faults
// that must leave the old file and nothing else behind.
#include "engine_fakes.h"
#include "file_install_sample.h"
#include "installer/archive/archive_decompressor.h"
#include "installer/archive/archive_test_data.h"
#include "installer/archive/setup_archive.h"
#include "installer/engine/date_rules.h"
#include "installer/engine/file_installation.h"
#include "installer/engine/installation_run.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/wait_dialog.h"
#include "installer/engine/written_copy.h"
#include "platform/posix/sandbox_install_display.h"
#include "platform/posix/sandbox_library.h"
#include "sample_install_script.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace vorn {
namespace {

using plandra::test::ReadFileText;
using plandra::test::WriteFileText;

// The machine of a run; Payload takes only the decompressor's writes of file data.
struct RigMachine {
    explicit RigMachine(platform::SandboxMachine& machine)
        : Services(machine), Payload(Services.Sandbox) {}
    testing::SandboxTestMachine Services;
    platform::FaultInjectingFiles Payload;
    /// Sets the abort flag after this many payload writes (a cancel during a copy).
    int CancelAfterWrites = -1;
    // Writes count towards the copy being extracted, as through the engine's FileWrite.
    bool CountsWrites = false;
    InstallContext* Context = nullptr;
};

RigMachine* Running = nullptr;

std::uint32_t PLATFORM_WINAPI RigFileWrite(std::uintptr_t file, const void* buffer,
                                           std::uint32_t count) {
    std::uint32_t written = 0;
    Running->Payload.WriteFile(static_cast<platform::FileHandle>(file),
                               std::span<const char>(static_cast<const char*>(buffer), count),
                               written);
    if (Running->CountsWrites && ExtractingCopy != nullptr) {
        ExtractingCopy->Note(file, buffer, written);
    }
    if (Running->CancelAfterWrites >= 0 &&
        Running->Payload.Plan.Uses(platform::FileCall::WriteFile) >= Running->CancelAfterWrites) {
        Running->Context->AbortFlag = 1;
    }
    return written;
}

// The library files the fake transfer library serves, by name, and the names fetched.
std::map<std::string, std::string> LibraryServer;
std::vector<std::string> Fetched;
const platform::SandboxMachine* ServingMachine = nullptr;

std::int32_t PLATFORM_WINAPI FakeTransfer(std::int32_t*, const char* source, const char* target,
                                          std::uintptr_t, std::uint32_t*, std::intptr_t,
                                          std::uint32_t, std::uint32_t, std::uint32_t, char*) {
    if (source == nullptr) {
        return 0;
    }
    Fetched.push_back(source);
    auto served = LibraryServer.find(source);
    if (served == LibraryServer.end()) {
        return -404;
    }
    WriteFileText(ServingMachine->Resolve(target).Native, served->second);
    return 0;
}

// The setup program's decompressor, which also reads items stored as they are from a
// library file at its read position.
std::int32_t PLATFORM_WINAPI DecompressArchiveOrLibrary(std::uintptr_t source,
                                                        std::uintptr_t destination,
                                                        std::uint32_t compressedSize,
                                                        std::uint32_t room) {
    if (source == Running->Context->ArchiveFile) {
        return DecompressFromArchive(source, destination, compressedSize, room);
    }
    std::string bytes(compressedSize, '\0');
    std::uint32_t read = 0;
    Running->Services.Sandbox.ReadFile(static_cast<platform::FileHandle>(source), bytes, read);
    if (read != compressedSize ||
        RigFileWrite(destination, bytes.data(), compressedSize) != compressedSize) {
        Running->Context->ErrorCode = context_error::ArchiveReadFailure;
        return -1;
    }
    return static_cast<std::int32_t>(read);
}

// The headless loader, which finds the extracted transfer library ("KTM" and a number of
// the run's choosing) under the one name the test gave it.
class TransferLibraryLoader final : public platform::LibraryService {
public:
    explicit TransferLibraryLoader(platform::HeadlessLibraryService& inner) : Inner(inner) {}
    platform::ModuleHandle LoadLibraryA(std::string_view name) override {
        return Inner.LoadLibraryA(name);
    }
    platform::ModuleHandle LoadLibraryExA(std::string_view name, unsigned flags) override {
        return Inner.LoadLibraryExA(name.starts_with("C:\\TEMP\\KTM") ? "KTM" : name, flags);
    }
    platform::ProcAddress GetProcAddress(platform::ModuleHandle module,
                                         std::string_view name) override {
        return Inner.GetProcAddress(module, name);
    }
    bool FreeLibrary(platform::ModuleHandle module) override { return Inner.FreeLibrary(module); }
    std::int32_t CallEntry(platform::ProcAddress entry, void* argument) override {
        return Inner.CallEntry(entry, argument);
    }

private:
    platform::HeadlessLibraryService& Inner;
};

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

    // Archives the script of `files` with the payload and runs it: the run's result.
    int Run(const std::vector<FileToInstall>& files, std::uint32_t options = 0,
            std::uint64_t cut = 0, std::uint32_t badChecksum = 0) {
        std::optional<PackedPayload> packed = PackPayload(Payloads).Payload;
        return RunScript(FileInstallScript(*packed, files, SIZE_MAX, badChecksum), *packed, options,
                         cut);
    }

    int RunScript(const std::vector<std::uint8_t>& script, const PackedPayload& payload,
                  std::uint32_t options = 0, std::uint64_t cut = 0) {
        ArchiveExtras extras;
        extras.OptionFlags = options;
        if ((options & context_option::LibraryFiles) != 0) {
            extras.Pieces[static_cast<std::size_t>(EmbeddedPiece::TransferLibrary)] = {'M', 'Z'};
            LoaderOwner = std::make_unique<TransferLibraryLoader>(Rig->Services.LibraryCalls);
            Rig->Services.RealLibraries = LoaderOwner.get();
            Rig->Services.LibraryCalls.AddLibrary(
                "KTM", {{"t1", reinterpret_cast<platform::HeadlessLibraryService::Entry>(
                                   reinterpret_cast<platform::ProcAddress>(&FakeTransfer))}});
        }
        ArchiveImage image = BuildSetupArchive(script, payload, extras);
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
        Context.PieceSizes = opened.Archive->Header().PieceSizes;
        Context.ScriptLength = static_cast<std::uint32_t>(ScriptCopy.size());
        Context.Script = ScriptCopy.data();
        Context.Decompress = &DecompressArchiveOrLibrary;
        Context.Checksum = &ArchiveChecksum;
        Context.MainWindow = MainWindow;
        Rig->Context = &Context;
        Running = Rig.get();
        ServingMachine = Machine.get();
        ArchiveDecompressor decompressor(*opened.Archive, Context, &RigFileWrite);
        return RunInstallation(&Context, {"", &ExitAction, RestartProgram, RestartArguments},
                               Rig->Services);
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
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Payloads{
        {"a.bin", archive_test::Noise(100000, 3)}};
    std::vector<std::uint8_t> ScriptCopy;
    InstallContext Context;
    std::uintptr_t MainWindow = 0;
    std::unique_ptr<TransferLibraryLoader> LoaderOwner;
    std::int32_t ExitAction = 0;
    char RestartProgram[RestartBufferSize] = {};
    char RestartArguments[RestartBufferSize] = {};
};

TEST_F(FileInstallationTest, FaultsKeepTheOldFileAndLeaveNoScratchFile) {
    using platform::FaultRepeat;
    using platform::FileCall;
    namespace id = platform::id;
    const std::string fresh(Payloads[0].second.begin(), Payloads[0].second.end());
    struct Case {
        const char* Name;
        platform::WindowsFamily Family = platform::WindowsFamily::WindowsNT;
        std::function<void(RigMachine&)> Arrange = {};
        std::vector<int> Answers = {};
        std::uint32_t Options = 0;
        std::uint64_t Cut = 0;
        std::uint32_t BadChecksum = 0;
        int Result = -2;
        std::vector<std::string> Log = {};
        bool Replaced = false;
        int ScratchLeft = 0;
    };
    platform::FileHandle holder = platform::InvalidFileHandle;
    auto hold = [&](RigMachine& rig) {
        holder = rig.Services.Sandbox.CreateFileA("C:\\APP\\A.TXT", platform::file::GenericRead, 0,
                                                  platform::file::OpenExisting, 0);
    };
    const std::vector<std::string> overwritten{"File Overwrite: C:\\APP\\A.TXT"};
    const std::vector<Case> cases{
        {.Name = "disk full in the middle of the file",
         .Arrange =
             [](RigMachine& rig) {
                 rig.Payload.Plan.FailAt(FileCall::WriteFile, 2, platform::winerror::DiskFull,
                                         FaultRepeat::FromThenOn);
             }},
        {.Name = "access denied on the destination, ignored",
         .Arrange =
             [](RigMachine& rig) {
                 rig.Services.Faulty.Plan.FailAt(FileCall::MoveFileA, 1,
                                                 platform::winerror::AccessDenied,
                                                 FaultRepeat::FromThenOn);
             },
         .Answers = {id::Cancel},
         .Result = -1,
         .Log = {"In Use: C:\\APP\\A.TXT Not Copied"}},
        {.Name = "the copy cannot take the old file's place once, retried",
         .Arrange =
             [](RigMachine& rig) {
                 rig.CountsWrites = true;
                 rig.Services.Faulty.Plan.FailAt(FileCall::MoveFileA, 2,
                                                 platform::winerror::AccessDenied);
             },
         .Answers = {id::No},
         .Result = -1,
         .Log = overwritten,
         .Replaced = true},
        {.Name = "destination in use, aborted", .Arrange = hold, .Answers = {id::Yes}},
        {.Name = "checksum that does not match", .Answers = {id::Yes}, .BadChecksum = 0x12345678},
        {.Name = "checksum of the written copy that does not match",
         .Arrange = [](RigMachine& rig) { rig.CountsWrites = true; },
         .Answers = {id::Yes},
         .BadChecksum = 0x12345678},
        {.Name = "truncated archive", .Answers = {id::Yes}, .Cut = 5000},
        {.Name = "cancel during the copy",
         .Arrange = [](RigMachine& rig) { rig.CancelAfterWrites = 1; }},
        {.Name = "destination the user may not write",
         .Arrange =
             [this](RigMachine&) {
                 // Other lines and blank ones before it; the last line has no line end.
                 WriteFileText(Folder.Folder() / "read_only_for_user.txt",
                               "C:\\WINDOWS\r\n\r\nC:\\APP");
             }},
        {.Name = "security that cannot be read is not checked",
         .Arrange =
             [this](RigMachine& rig) {
                 WriteFileText(Folder.Folder() / "read_only_for_user.txt", "C:\\APP\\A.TXT\r\n");
                 rig.Services.FaultyAccess.Plan.FailAt(platform::AccessCheckCall::GetFileSecurityA,
                                                       1, platform::winerror::AccessDenied);
             },
         .Result = -1,
         .Log = overwritten,
         .Replaced = true},
        {.Name = "in use on Windows 95, replaced at restart",
         .Family = platform::WindowsFamily::Windows95,
         .Arrange = hold,
         .Options = context_option::ReplaceInUseAtRestart,
         .Result = -1,
         .Log = overwritten,
         .ScratchLeft = 1},
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
        EXPECT_EQ(Run({{"a.bin", "C:\\APP\\A.TXT"}}, c.Options, c.Cut, c.BadChecksum), c.Result);
        EXPECT_EQ(LogChanges(Native("C:\\APP\\INSTALL.LOG")), c.Log);
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

// Library files come through the transfer library, each library fetched once; a file the
// destination already holds is not fetched at all; a library of another archive ends the run.
TEST_F(FileInstallationTest, LibraryFilesAreFetchedOnceAndChecked) {
    MakeMachine();
    Payloads.push_back({"b.bin", archive_test::Noise(3000, 5)});
    const std::string a(Payloads[0].second.begin(), Payloads[0].second.end());
    const std::string b(Payloads[1].second.begin(), Payloads[1].second.end());
    const std::string mark = "VLB1";
    LibraryServer = {{"http://media/LIB00a", mark + a},
                     {"http://media/LIB011", mark + b},
                     {"http://media/LIB012", "XXXX" + b}};
    Fetched.clear();
    Existing("C:\\APP\\C.TXT", b, {0x5A21, 0x6000});
    EXPECT_EQ(Run({{"a.bin", "C:\\APP\\A.TXT", 0, 0, {}, 10},
                   {"a.bin", "C:\\APP\\B.TXT", 0, 0, {}, 10},
                   {"b.bin", "C:\\APP\\C.TXT", 0, 0, {}, 37}},
                  context_option::LibraryFiles),
              -1);
    EXPECT_EQ(Fetched, std::vector<std::string>{"http://media/LIB00a"});
    EXPECT_EQ(ReadFileText(Native("C:\\APP\\A.TXT")), a);
    EXPECT_EQ(ReadFileText(Native("C:\\APP\\B.TXT")), a);
    EXPECT_EQ(LogChanges(Native("C:\\APP\\INSTALL.LOG")),
              (std::vector<std::string>{"File Copy: C:\\APP\\A.TXT", "File Copy: C:\\APP\\B.TXT"}));
    for (const auto& entry : std::filesystem::directory_iterator(Native("C:\\TEMP"))) {
        EXPECT_NE(entry.path().filename().string().substr(0, 3), "KTL") << entry.path();
    }

    Rig = std::make_unique<RigMachine>(*Machine);
    EXPECT_EQ(Run({{"b.bin", "C:\\APP\\D.TXT", 0, 0, {}, 38}}, context_option::LibraryFiles), -2);
    EXPECT_FALSE(std::filesystem::exists(Native("C:\\APP\\D.TXT")));
    EXPECT_EQ(Fetched.back(), "http://media/LIB012");
    EXPECT_FALSE(Rig->Services.BoxCalls.Boxes.empty());
}

// A new 32-bit image goes in under a "~KTH" name of its own first: when that cannot be
// renamed to the destination, the file counts as in use and nothing is left behind.
TEST_F(FileInstallationTest, NewImageIsRenamedIntoPlace) {
    using platform::FileCall;
    std::vector<std::uint8_t> image(128, 0);
    image[0] = 'M';
    image[1] = 'Z';
    image[60] = 64;
    image[64] = 'P';
    image[65] = 'E';
    Payloads = {{"a.dll", image}};
    for (const bool renamed : {true, false}) {
        SCOPED_TRACE(renamed);
        Rig.reset();
        Machine.reset();
        std::filesystem::remove_all(Folder.Folder());
        std::filesystem::create_directories(Folder.Folder());
        MakeMachine();
        if (!renamed) {
            // The version service's own move is the first, the engine's rename the second.
            Rig->Services.Faulty.Plan.FailAt(FileCall::MoveFileA, 2,
                                             platform::winerror::AccessDenied);
            Rig->Services.BoxCalls.Answers = {platform::id::Cancel};
        }
        EXPECT_EQ(Run({{"a.dll", "C:\\APP\\NEW.DLL", install_flags::Versions}}), -1);
        EXPECT_EQ(LogChanges(Native("C:\\APP\\INSTALL.LOG")),
                  std::vector<std::string>{renamed ? "File Copy: C:\\APP\\NEW.DLL"
                                                   : "In Use: C:\\APP\\NEW.DLL Not Copied"});
        EXPECT_EQ(std::filesystem::exists(Native("C:\\APP\\NEW.DLL")), renamed);
        EXPECT_TRUE(ScratchFiles("C:\\APP").empty());
    }
}

// A wildcard source with its subfolder, then the directory actions: create, rename and
// delete (recursing, removing what it emptied).
TEST_F(FileInstallationTest, WildcardSourcesAndDirectoryActions) {
    MakeMachine();
    for (const char* path : {"C:\\SRC\\ONE.TXT", "C:\\SRC\\SUB\\TWO.TXT", "C:\\SRC\\KEEP.DAT"}) {
        std::filesystem::create_directories(Native(path).parent_path());
        WriteFileText(Native(path), path);
    }
    ScriptBuilder b;
    std::vector<std::uint8_t> fixed(42, 0);
    fixed[1] = install_flag::WildcardSource | install_flag::Subdirectories;
    b.Record(op::InstallFiles2, fixed, {"C:\\DEST", "", "C:\\SRC\\*.TXT"}, {{"Files"}});
    b.Record(op::CreateDirectory, {}, {"C:\\NEW\\A"});
    b.Record(op::RenameFile, {}, {"C:\\DEST\\ONE.TXT", "UNO.TXT"});
    b.Record(op::DeleteFile, {0x0C}, {"C:\\SRC\\*.TXT"});
    b.Exit();
    EXPECT_EQ(RunScript(WithHeader(SampleHeader(), b), *PackPayload(Payloads).Payload), -1);
    EXPECT_EQ(
        LogChanges(Native("C:\\APP\\INSTALL.LOG")),
        (std::vector<std::string>{"Made Dir: C:\\DEST", "File Copy: C:\\DEST\\ONE.TXT",
                                  "Made Dir: C:\\DEST\\SUB", "File Copy: C:\\DEST\\SUB\\TWO.TXT",
                                  "Made Dir: C:\\NEW", "Made Dir: C:\\NEW\\A"}));
    EXPECT_EQ(ReadFileText(Native("C:\\DEST\\UNO.TXT")), "C:\\SRC\\ONE.TXT");
    EXPECT_EQ(ReadFileText(Native("C:\\DEST\\SUB\\TWO.TXT")), "C:\\SRC\\SUB\\TWO.TXT");
    EXPECT_FALSE(std::filesystem::exists(Native("C:\\DEST\\KEEP.DAT")));
    EXPECT_FALSE(std::filesystem::exists(Native("C:\\SRC\\SUB")));
    EXPECT_TRUE(std::filesystem::exists(Native("C:\\SRC\\KEEP.DAT")));
}

// The progress window follows the files: one text per file (the skipped one says so,
// the one without progress shows none) and the copied text after each copy; the byte
// counter takes every file, shown or not.
TEST_F(FileInstallationTest, ProgressWindowFollowsTheFiles) {
    MakeMachine();
    platform::SandboxInstallDisplay display(Folder.Folder());
    Rig->Services.ShownDisplay = &display;
    MainWindow = 1;
    Existing("C:\\APP\\B.TXT", "old", {0x5821, 0x6000});
    EXPECT_EQ(Run({{"a.bin", "C:\\APP\\A.TXT"},
                   {"a.bin", "C:\\APP\\B.TXT", install_flags::Rule3},
                   {"a.bin", "C:\\APP\\C.TXT", install_flag::NoProgress}},
                  context_option::ProgressByBytes),
              -1);
    EXPECT_EQ(ReadFileText(Folder.Folder() / platform::SandboxInstallDisplay::LogName),
              "ProgressWindow 1 \"M29\" \"M28\"\n"
              "ProgressText \"M3File:\nC:\\APP\\A.TXT\"\n"
              "ProgressText \"M42\"\n"
              "ProgressText \"M14File:\nC:\\APP\\B.TXT\"\n"
              "ProgressWindow closed\n");
    EXPECT_EQ(Context.BytesCopied, 3 * Payloads[0].second.size());
}

// The wait dialog shows over its scope only with a text, a run that is not silent and a
// display.
TEST_F(FileInstallationTest, WaitDialogNeedsTextDisplayAndNoSilence) {
    MakeMachine();
    platform::SandboxInstallDisplay display(Folder.Folder());
    const struct {
        const char* Text;
        bool Silent;
        bool Display;
        const char* Shown;
    } cases[] = {
        {"Searching", false, true, "WaitDialog 4096 \"Searching\"\nWaitDialog closed\n"},
        {"", false, true, ""},
        {"Searching", true, true, ""},
        {"Searching", false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        std::filesystem::remove(Folder.Folder() / platform::SandboxInstallDisplay::LogName);
        testing::EngineHarness harness({op::EndOfScript});
        harness.Machine->Services.Machine = &Rig->Services;
        harness.Host.SilentFlag = c.Silent;
        Rig->Services.ShownWaitDialogs = c.Display ? &display : nullptr;
        { WaitDialogScope scope(*harness.Machine, c.Text); }
        EXPECT_EQ(ReadFileText(Folder.Folder() / platform::SandboxInstallDisplay::LogName),
                  c.Shown);
    }
}

// Files flagged to register themselves do so once the run completed, in install order:
// a library of our own records its key (logged by its long name, as its file record
// names it), one whose DllRegisterServer fails is logged as such, and a program is
// started with "/REGSERVER".
TEST_F(FileInstallationTest, SelfRegisteringFilesRegisterAtTheEndOfTheRun) {
    MakeMachine();
    platform::SandboxLibraryService libraries(*Machine);
    Rig->Services.RealLibraries = &libraries;
    ::setenv("VORN_MACHINE", Folder.Folder().c_str(), 1);
    auto bytes = [](const char* path) {
        const std::string text = ReadFileText(path);
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
    Payloads = {{"good.so", bytes(SELF_REGISTERING_LIBRARY)},
                {"bad.so", bytes(FAILING_SELF_REGISTERING_LIBRARY)},
                {"server.exe", {'M', 'Z'}}};
    const std::uint8_t self = install_flag::SelfRegister;
    EXPECT_EQ(Run({{"good.so", "C:\\APP\\GOOD SERVER.DLL", 0, self},
                   {"bad.so", "C:\\APP\\BAD.DLL", 0, self},
                   {"server.exe", "C:\\APP\\SERVER.EXE", 0, self}}),
              -1);
    EXPECT_EQ(
        LogChanges(Native("C:\\APP\\INSTALL.LOG")),
        (std::vector<std::string>{
            "File Copy: C:\\APP\\GOOD SERVER.DLL", "File Copy: C:\\APP\\BAD.DLL",
            "File Copy: C:\\APP\\SERVER.EXE", "Self-Register: C:\\APP\\GOOD SERVER.DLL",
            "Could not Self-Register: C:\\APP\\BAD.DLL", "Self-Register: C:\\APP\\SERVER.EXE"}));
    EXPECT_EQ(ReadFileText(Folder.Folder() / "self_registered.txt"),
              "HKEY_CURRENT_USER\\Software\\Vorn Test\\SelfRegistered\n");
    EXPECT_EQ(Rig->Services.ProcessCalls.Log(),
              std::vector<std::string>{"CreateProcessA: C:\\APP\\SERVER.EXE /REGSERVER"});
}

} // namespace
} // namespace vorn
