// What only the sandbox machine has: its description, a fresh machine's layout, the
// moves it carries out when it starts again, and faults that must not lose data.
#include "platform/headless/fault_injection.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_profile.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace platform;
namespace fs = std::filesystem;

class SandboxMachineTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove_all(Folder); }

    SandboxMachine& Make(WindowsFamily family) {
        auto made = SandboxMachine::Create(Folder, family);
        EXPECT_EQ(made.Error, "");
        Machine = std::move(made.Machine);
        Files = std::make_unique<SandboxFiles>(*Machine);
        return *Machine;
    }

    fs::path Folder = fs::temp_directory_path() / ("sandbox-" + std::to_string(::getpid()));
    std::unique_ptr<SandboxMachine> Machine;
    std::unique_ptr<SandboxFiles> Files;
};

TEST(SandboxDescription, MissingOrWrongKeysAreNamedInTheError) {
    const struct {
        const char* Ini;
        const char* Error;
    } cases[] = {
        {"", "machine.ini: [Machine] Family is missing (95 or NT)"},
        {"[Machine]\nFamily=XP", "machine.ini: [Machine] Family must be 95 or NT, not \"XP\""},
        {"[Machine]\nFamily=NT\n[Screen]\nWidth=wide",
         "machine.ini: [Screen] Width is not a number: \"wide\""},
        {"[Machine]\nFamily=NT\nWindowsDir=WINNT",
         "machine.ini: the folder \"WINNT\" is not a full path like C:\\WINDOWS"},
        {"[Machine]\nFamily=NT\n[Drives]\nC=floppy",
         "machine.ini: [Drives] C=floppy is not a drive (a letter = removable, fixed, remote, "
         "cdrom or ramdisk, then optionally size and free space in megabytes)"},
        {"[Machine]\nFamily=NT\n[Time]\nZone=+15:00",
         "machine.ini: [Time] Zone must be +HH:MM or -HH:MM (at most 14 hours), not \"+15:00\""},
    };
    for (const auto& c : cases) {
        MachineDescription description;
        std::string error;
        EXPECT_FALSE(SandboxMachine::ParseDescription(c.Ini, description, error));
        EXPECT_EQ(error, c.Error);
    }
    EXPECT_EQ(SandboxMachine::Open("/no/such/machine").Error,
              "no readable machine.ini of at most 64 KB in /no/such/machine");
    MachineDescription description;
    std::string error;
    ASSERT_TRUE(SandboxMachine::ParseDescription("[Machine]\nFamily=95\n[Drives]\nA=removable\n"
                                                 "c=fixed 100 40",
                                                 description, error));
    EXPECT_EQ(description.WindowsDirectory, "C:\\WINDOWS");
    EXPECT_EQ(description.BuildNumber, 950u);
    ASSERT_EQ(description.Drives.size(), 2u);
    EXPECT_EQ(description.Drives[1].Letter, 'C');
    EXPECT_EQ(description.Drives[1].FreeBytes, 40ull << 20);
}

TEST_F(SandboxMachineTest, AFreshMachineHasTheLayoutOfItsFamily) {
    for (WindowsFamily family : {WindowsFamily::Windows95, WindowsFamily::WindowsNT}) {
        SandboxMachine& machine = Make(family);
        const MachineDescription& description = machine.Description();
        for (const std::string& folder : {description.WindowsDirectory, description.SystemDirectory,
                                          description.TempDirectory}) {
            EXPECT_EQ(Files->GetFileAttributesA(folder), file::AttributeDirectory) << folder;
        }
        EXPECT_TRUE(fs::exists(Folder / "drive_c" /
                               (family == WindowsFamily::Windows95 ? "WINDOWS" : "WINNT") /
                               "WIN.INI"));
        SandboxProfile profile(*Files, description.WindowsDirectory);
        std::array<char, 32> buffer{};
        EXPECT_EQ(profile.GetPrivateProfileStringA("boot", "shell", "", buffer, "system.ini"), 12u);
        EXPECT_EQ(Files->GetDriveTypeA("a:\\"), file::DriveRemovable);
        EXPECT_EQ(SandboxMachine::Create(Folder, family).Error,
                  Folder.string() + " holds a machine already");
        Files.reset();
        fs::remove_all(Folder);
    }
}

TEST_F(SandboxMachineTest, PathsLandInTheDriveFolders) {
    Make(WindowsFamily::WindowsNT);
    ASSERT_TRUE(Files->CreateDirectoryA("C:\\APP"));
    UniqueFile log(
        Files->CreateFileA("c:/app/INSTALL.LOG", file::GenericWrite, 0, file::CreateNew, 0),
        FileCloser{Files.get()});
    EXPECT_TRUE(fs::exists(Folder / "drive_c" / "APP" / "INSTALL.LOG"));
    std::array<char, 64> buffer{};
    const std::uint32_t length =
        Files->GetShortPathNameA("C:\\Program Files\\Common Files", buffer);
    EXPECT_EQ(std::string(buffer.data(), length), "C:\\PROGRA~1\\COMMON~1");
    EXPECT_EQ(Files->GetFileAttributesA("\\\\server\\share\\x"), file::InvalidAttributes);
    EXPECT_EQ(Files->GetLastError(), winerror::BadNetPath);
}

// The sandbox remembers the names of the folders it has read; whatever changes a
// folder behind it, this process on the host or another one, the next lookup sees.
TEST_F(SandboxMachineTest, LookupsSeeFoldersChangedBehindTheSandbox) {
    Make(WindowsFamily::WindowsNT);
    const fs::path folder = Folder / "drive_c" / "KEPT";
    fs::create_directories(folder);
    const auto make = [](const fs::path& file) { std::ofstream(file) << "x"; };
    constexpr std::uint32_t Missing = file::InvalidAttributes;
    const struct {
        const char* Asked;
        std::function<void()> Change;
        std::uint32_t Before;
        std::uint32_t After;
    } cases[] = {
        {"C:\\KEPT\\README.txt", [&] { make(folder / "Readme.TXT"); }, Missing,
         file::AttributeArchive},
        {"C:\\KEPT\\OTHER.TXT", [&] { fs::rename(folder / "Readme.TXT", folder / "Other.Txt"); },
         Missing, file::AttributeArchive},
        {"C:\\KEPT\\other.txt", [&] { fs::remove(folder / "Other.Txt"); }, file::AttributeArchive,
         Missing},
        {"C:\\KEPT\\NEW.TXT",
         [&] {
             fs::remove_all(folder);
             fs::create_directory(folder);
             make(folder / "New.Txt");
         },
         Missing, file::AttributeArchive},
        {"C:\\KEPT\\new.txt",
         [&] { std::ofstream(folder / "sandbox:entries") << "New.Txt\t\t1\n"; },
         file::AttributeArchive, file::AttributeReadOnly},
        // More changes than one read of the change queue takes.
        {"C:\\KEPT\\MANY0999.TXT",
         [&] {
             for (int n = 0; n < 1000; ++n) {
                 make(folder / ("Many" + std::to_string(10000 + n).substr(1) + ".Txt"));
             }
         },
         Missing, file::AttributeArchive},
        // A child made by fork finds what it made, and leaves its parent's view whole.
        {"C:\\KEPT\\CHILD.DAT",
         [&] {
             const pid_t child = ::fork();
             if (child == 0) {
                 make(folder / "Child.Dat");
                 ::_exit(Files->GetFileAttributesA("C:\\KEPT\\child.dat") == Missing ? 1 : 0);
             }
             int status = -1;
             ::waitpid(child, &status, 0);
             EXPECT_EQ(status, 0);
         },
         Missing, file::AttributeArchive},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Files->GetFileAttributesA(c.Asked), c.Before) << c.Asked;
        c.Change();
        EXPECT_EQ(Files->GetFileAttributesA(c.Asked), c.After) << c.Asked;
    }
}

// A medium shows a host folder under a letter, for every opening of the machine, and
// takes no writes; a media list that is not one keeps the machine from opening.
TEST_F(SandboxMachineTest, MediaShowHostFoldersReadOnly) {
    Make(WindowsFamily::WindowsNT);
    const fs::path host = Folder / "host";
    fs::create_directories(host);
    std::ofstream(host / "SETUP.W02") << "part";
    std::string error;
    ASSERT_TRUE(Machine->SetMedium('e', host, error)) << error;
    ASSERT_TRUE(Machine->FindDrive('E'));
    EXPECT_EQ(Files->GetFileAttributesA("E:\\setup.w02"), file::AttributeArchive);
    UniqueFile written(
        Files->CreateFileA("E:\\NEW.TXT", file::GenericWrite, 0, file::CreateAlways, 0),
        FileCloser{Files.get()});
    EXPECT_FALSE(written);
    EXPECT_FALSE(Files->MoveFileA("E:\\SETUP.W02", "C:\\SETUP.W02"));
    EXPECT_FALSE(Files->SetFileAttributesA("E:\\SETUP.W02", file::AttributeHidden));
    EXPECT_EQ(SandboxMachine::Open(Folder).Machine->DriveFolder('E'), fs::canonical(host));
    for (const char* list : {"E:/host\n", "C: /host\n", "E /host\n"}) {
        std::ofstream(Folder / "media.txt", std::ios::trunc) << list;
        EXPECT_NE(SandboxMachine::Open(Folder).Error.find("media.txt"), std::string::npos) << list;
    }
}

TEST_F(SandboxMachineTest, DelayedMovesHappenWhenTheMachineStartsAgain) {
    SandboxMachine& machine = Make(WindowsFamily::WindowsNT);
    ASSERT_TRUE(Files->CreateDirectoryA("C:\\APP"));
    for (const char* name : {"C:\\APP\\NEW.DLL", "C:\\APP\\OLD.DLL", "C:\\APP\\GONE.TMP"}) {
        UniqueFile file(Files->CreateFileA(name, file::GenericWrite, 0, file::CreateNew, 0),
                        FileCloser{Files.get()});
        std::uint32_t count = 0;
        Files->WriteFile(file.Get(), std::string_view(name), count);
    }
    ASSERT_TRUE(Files->MoveFileExA("c:\\app\\new.dll", "C:\\APP\\OLD.DLL",
                                   file::MoveReplaceExisting | file::MoveDelayUntilReboot));
    ASSERT_TRUE(Files->MoveFileExA("C:\\APP\\GONE.TMP", nullptr, file::MoveDelayUntilReboot));
    ASSERT_EQ(machine.PendingRenames().size(), 2u);
    EXPECT_EQ(machine.PendingRenames()[0].Source, "C:\\app\\new.dll");
    EXPECT_EQ(machine.Restart(), 0);
    EXPECT_EQ(Files->GetFileAttributesA("C:\\APP\\NEW.DLL"), file::InvalidAttributes);
    EXPECT_EQ(Files->GetFileAttributesA("C:\\APP\\GONE.TMP"), file::InvalidAttributes);
    EXPECT_EQ(fs::file_size(Folder / "drive_c" / "APP" / "OLD.DLL"), 14u);
    EXPECT_TRUE(machine.PendingRenames().empty());
}

TEST_F(SandboxMachineTest, ADriveDeclaredNearlyFullFillsUp) {
    SandboxMachine& machine = Make(WindowsFamily::WindowsNT);
    ASSERT_TRUE(
        machine.UseSpace('C', static_cast<std::int64_t>(machine.FindDrive('C')->FreeBytes) - 10));
    UniqueFile file(Files->CreateFileA("C:\\BIG.DAT", file::GenericWrite, 0, file::CreateNew, 0),
                    FileCloser{Files.get()});
    std::uint32_t written = 0;
    EXPECT_TRUE(Files->WriteFile(file.Get(), std::string_view("0123456789"), written));
    EXPECT_FALSE(Files->WriteFile(file.Get(), std::string_view("x"), written));
    EXPECT_EQ(Files->GetLastError(), winerror::DiskFull);
    file.Reset();
    EXPECT_FALSE(Files->CopyFileA("C:\\BIG.DAT", "C:\\COPY.DAT", false));
    EXPECT_EQ(Files->GetLastError(), winerror::DiskFull);
    ASSERT_TRUE(Files->DeleteFileA("C:\\BIG.DAT"));
    EXPECT_EQ(machine.FindDrive('C')->FreeBytes, 10u);
}

TEST_F(SandboxMachineTest, Windows95HasNoMoveFileEx) {
    Make(WindowsFamily::Windows95);
    EXPECT_FALSE(Files->MoveFileExA("C:\\AUTOEXEC.BAT", "C:\\X.BAT", file::MoveDelayUntilReboot));
    EXPECT_EQ(Files->GetLastError(), 120u); // ERROR_CALL_NOT_IMPLEMENTED
}

TEST_F(SandboxMachineTest, AFullDiskLeavesTheOldIniFileWhole) {
    SandboxMachine& machine = Make(WindowsFamily::Windows95);
    FaultInjectingFiles faulty(*Files);
    faulty.Plan.FailAt(FileCall::WriteFile, 1, winerror::DiskFull, FaultRepeat::FromThenOn);
    SandboxProfile profile(faulty, machine.Description().WindowsDirectory);
    EXPECT_FALSE(profile.WriteProfileStringA("windows", "run", "SETUP.EXE"));
    EXPECT_EQ(profile.GetLastError(), winerror::DiskFull);
    std::array<char, 32> buffer{};
    EXPECT_EQ(profile.GetProfileStringA("windows", "NullPort", "", buffer), 4u);
    FindData data;
    EXPECT_EQ(Files->FindFirstFileA("C:\\WINDOWS\\INI*.TMP", data), InvalidFindHandle);
    ASSERT_TRUE(Files->SetFileAttributesA("C:\\WINDOWS\\WIN.INI", file::AttributeHidden));
    SandboxProfile healthy(*Files, machine.Description().WindowsDirectory);
    ASSERT_TRUE(healthy.WriteProfileStringA("windows", "run", "SETUP.EXE"));
    EXPECT_EQ(Files->GetFileAttributesA("C:\\WINDOWS\\WIN.INI"), file::AttributeHidden)
        << "a rewritten INI file keeps its attributes";
}

TEST_F(SandboxMachineTest, DosStampsAreTheMachinesLocalTime) {
    Make(WindowsFamily::WindowsNT);
    MachineDescription description = Machine->Description();
    description.UtcOffsetMinutes = -330;
    std::ofstream(Folder / "machine.ini") << SandboxMachine::DescriptionText(description);
    Machine = std::move(SandboxMachine::Open(Folder).Machine);
    Files = std::make_unique<SandboxFiles>(*Machine);
    const std::uint16_t date = (16 << 9) | (7 << 5) | 15; // 15.7.1996
    const std::uint16_t time = (23 << 11) | (10 << 5);    // 23:10:00
    FileTime local;
    FileTime stamp;
    ASSERT_TRUE(Files->DosDateTimeToFileTime(date, time, local));
    ASSERT_TRUE(Files->LocalFileTimeToFileTime(local, stamp));
    UniqueFile file(
        Files->CreateFileA("C:\\STAMPED.TXT", file::GenericWrite, 0, file::CreateAlways, 0),
        FileCloser{Files.get()});
    ASSERT_TRUE(Files->SetFileTime(file.Get(), nullptr, nullptr, &stamp));
    file.Reset();
    // 23:10 at UTC-05:30 is 04:40 UTC on the next day: 837492000 seconds after 1970.
    const auto written = fs::last_write_time(Folder / "drive_c" / "STAMPED.TXT");
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(
                  std::chrono::file_clock::to_sys(written).time_since_epoch())
                  .count(),
              837492000);
    FindData found;
    UniqueFind search(Files->FindFirstFileA("C:\\STAMPED.TXT", found), FindCloser{Files.get()});
    std::uint16_t readDate = 0;
    std::uint16_t readTime = 0;
    ASSERT_TRUE(Files->FileTimeToLocalFileTime(found.LastWriteTime, local));
    ASSERT_TRUE(Files->FileTimeToDosDateTime(local, readDate, readTime));
    EXPECT_EQ(std::pair(readDate, readTime), std::pair(date, time));
}

} // namespace
