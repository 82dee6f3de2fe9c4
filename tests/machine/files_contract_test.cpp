// The file calls behave as Windows' own: run against the sandbox and against Win32.
#include "machine_under_test.h"
#include "platform/ansi_text.h"
#include "platform/headless/fault_injection.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

namespace machine_test {
namespace {

using namespace platform;

class FilesContract : public ::testing::Test {
protected:
    std::unique_ptr<MachineUnderTest> Machine = MakeMachineUnderTest();
    FileService& Files = Machine->Files();

    std::string Path(std::string_view name) const { return Machine->Path(name); }
    std::uint32_t Attributes(std::string_view name) { return Files.GetFileAttributesA(Path(name)); }
    /// The error a call left, or 0 when it succeeded.
    std::uint32_t ErrorOf(bool succeeded) { return succeeded ? 0 : Files.GetLastError(); }
    std::set<std::string> Found(std::string_view pattern) {
        std::set<std::string> names;
        FindData data;
        UniqueFind search(Files.FindFirstFileA(Path(pattern), data), FindCloser{&Files});
        for (bool more = bool(search); more; more = Files.FindNextFileA(search.Get(), data)) {
            names.insert(data.FileName);
        }
        return names;
    }
};

TEST_F(FilesContract, OneFileAnswersToEveryWindowsSpellingOfItsName) {
    ASSERT_TRUE(Machine->WriteText("Readme.txt", "x"));
    ASSERT_TRUE(Files.CreateDirectoryA(Path("Sub")));
    std::string forward = Path("readme.txt");
    std::replace(forward.begin(), forward.end(), '\\', '/');
    EXPECT_EQ(Files.GetFileAttributesA(Path("Sub \\")), file::InvalidAttributes)
        << "a folder keeps its trailing blank";
    for (const std::string& path :
         {Path("README.TXT"), Path("Sub.\\..\\readme.txt"), Path("readme.txt."),
          Path("readme.txt  "), Path("ReadMe.Txt. ."), Path("sub\\..\\readme.txt"),
          Path(".\\Readme.txt"), forward}) {
        EXPECT_NE(Files.GetFileAttributesA(path), file::InvalidAttributes) << path;
    }
}

TEST_F(FilesContract, PathsWindowsRefusesGiveItsErrors) {
    const struct {
        std::string Path;
        std::uint32_t Error;
    } cases[] = {
        {Path("a<b.txt"), winerror::InvalidName},
        {Path("a|b.txt"), winerror::InvalidName},
        {Path("a\"b.txt"), winerror::InvalidName},
        {Path("a*.txt"), winerror::InvalidName},
        {Path("missing.txt"), winerror::FileNotFound},
        {Path("missing\\file.txt"), winerror::PathNotFound},
        {Path(std::string(300 - Machine->Root().size(), 'a')), winerror::FilenameExcedRange},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Files.CreateFileA(c.Path, file::GenericRead, 0, file::OpenExisting, 0),
                  InvalidFileHandle)
            << c.Path;
        EXPECT_EQ(Files.GetLastError(), c.Error) << c.Path;
    }
}

TEST_F(FilesContract, CreationDispositionsDecideOnExistingFiles) {
    const struct {
        std::uint32_t Disposition;
        bool Exists;
        std::uint32_t Error; ///< 0: opens; AlreadyExists: opens and says so.
    } cases[] = {
        {file::CreateNew, false, 0},
        {file::CreateNew, true, winerror::FileExists},
        {file::CreateAlways, true, winerror::AlreadyExists},
        {file::OpenExisting, false, winerror::FileNotFound},
        {file::OpenAlways, true, winerror::AlreadyExists},
        {file::OpenAlways, false, 0},
        {file::TruncateExisting, false, winerror::FileNotFound},
        {file::TruncateExisting, true, 0},
    };
    for (const auto& c : cases) {
        Files.DeleteFileA(Path("f.txt"));
        if (c.Exists) {
            ASSERT_TRUE(Machine->WriteText("f.txt", "old"));
        }
        Files.SetLastError(0);
        UniqueFile opened(Files.CreateFileA(Path("f.txt"), file::GenericWrite, 0, c.Disposition,
                                            file::AttributeNormal),
                          FileCloser{&Files});
        EXPECT_EQ(Files.GetLastError(), c.Error) << c.Disposition << " " << c.Exists;
        EXPECT_EQ(bool(opened), c.Error == 0 || c.Error == winerror::AlreadyExists);
    }
}

TEST_F(FilesContract, WritesReadsAndSeeksLikeWindows) {
    UniqueFile file(Files.CreateFileA(Path("data.bin"), file::GenericRead | file::GenericWrite, 0,
                                      file::CreateAlways, file::AttributeNormal),
                    FileCloser{&Files});
    ASSERT_TRUE(file);
    std::uint32_t count = 0;
    ASSERT_TRUE(Files.WriteFile(file.Get(), std::string_view("hello world"), count));
    EXPECT_EQ(Files.GetFileSize(file.Get(), nullptr), 11u);
    EXPECT_EQ(Files.SetFilePointer(file.Get(), -5, nullptr, file::End), 6u);
    std::array<char, 16> buffer{};
    ASSERT_TRUE(Files.ReadFile(file.Get(), buffer, count));
    EXPECT_EQ(std::string(buffer.data(), count), "world");
    ASSERT_TRUE(Files.ReadFile(file.Get(), buffer, count));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(Files.SetFilePointer(file.Get(), -1, nullptr, file::Begin),
              file::InvalidSetFilePointer);
    EXPECT_EQ(Files.GetLastError(), 131u); // ERROR_NEGATIVE_SEEK
}

TEST_F(FilesContract, AFileOpenWithoutSharingIsInUse) {
    ASSERT_TRUE(Machine->WriteText("busy.dll", "x"));
    UniqueFile held(
        Files.CreateFileA(Path("busy.dll"), file::GenericRead, 0, file::OpenExisting, 0),
        FileCloser{&Files});
    ASSERT_TRUE(held);
    EXPECT_EQ(Files.CreateFileA(Path("busy.dll"), file::GenericRead, file::ShareRead,
                                file::OpenExisting, 0),
              InvalidFileHandle);
    EXPECT_EQ(Files.GetLastError(), winerror::SharingViolation);
    UniqueFile query(Files.CreateFileA(Path("busy.dll"), 0, 0, file::OpenExisting, 0),
                     FileCloser{&Files});
    EXPECT_TRUE(query) << "an open for attributes alone shares with everything";
    EXPECT_EQ(ErrorOf(Files.DeleteFileA(Path("busy.dll"))), winerror::SharingViolation);
    EXPECT_EQ(ErrorOf(Files.MoveFileA(Path("busy.dll"), Path("other.dll"))),
              winerror::SharingViolation);
    held.Reset();
    query.Reset();
    EXPECT_TRUE(Files.DeleteFileA(Path("busy.dll")));
}

TEST_F(FilesContract, CopyMoveAndDeleteKeepWindowsRules) {
    ASSERT_TRUE(Machine->WriteText("a.txt", "A"));
    ASSERT_TRUE(Machine->WriteText("b.txt", "B"));
    EXPECT_EQ(ErrorOf(Files.CopyFileA(Path("a.txt"), Path("b.txt"), true)), winerror::FileExists);
    EXPECT_EQ(ErrorOf(Files.CopyFileA(Path("a.txt"), Path("b.txt"), false)), 0u);
    EXPECT_EQ(Machine->ReadText("b.txt"), "A");
    EXPECT_EQ(ErrorOf(Files.MoveFileA(Path("a.txt"), Path("b.txt"))), winerror::AlreadyExists);
    EXPECT_EQ(
        ErrorOf(Files.MoveFileExA(Path("a.txt"), Path("B.TXT").c_str(), file::MoveReplaceExisting)),
        0u);
    EXPECT_EQ(Attributes("a.txt"), file::InvalidAttributes);
    // A move takes the attributes to the new name and leaves none at the old one.
    ASSERT_TRUE(Machine->WriteText("d.txt", "D"));
    ASSERT_TRUE(Files.SetFileAttributesA(Path("d.txt"), file::AttributeHidden));
    ASSERT_TRUE(Files.MoveFileA(Path("d.txt"), Path("e.txt")));
    ASSERT_TRUE(Files.CreateDirectoryA(Path("d.txt")));
    EXPECT_EQ(Attributes("e.txt") & file::AttributeHidden, file::AttributeHidden);
    EXPECT_EQ(Attributes("d.txt"), file::AttributeDirectory);
    ASSERT_TRUE(Files.SetFileAttributesA(Path("b.txt"), file::AttributeReadOnly));
    EXPECT_EQ(ErrorOf(Files.DeleteFileA(Path("b.txt"))), winerror::AccessDenied);
    EXPECT_EQ(ErrorOf(Files.CopyFileA(Path("missing"), Path("c.txt"), false)),
              winerror::FileNotFound);
    ASSERT_TRUE(Files.SetFileAttributesA(Path("b.txt"), file::AttributeNormal));
    EXPECT_EQ(ErrorOf(Files.DeleteFileA(Path("b.txt"))), 0u);
    EXPECT_EQ(ErrorOf(Files.DeleteFileA(Path("b.txt"))), winerror::FileNotFound);
}

TEST_F(FilesContract, AttributesReadBackAsSet) {
    ASSERT_TRUE(Machine->WriteText("f.txt", "x"));
    ASSERT_TRUE(Files.CreateDirectoryA(Path("Dir")));
    EXPECT_EQ(Attributes("f.txt") & ~file::AttributeNormal, file::AttributeArchive);
    EXPECT_EQ(Attributes("dir"), file::AttributeDirectory);
    for (std::uint32_t attributes :
         {file::AttributeReadOnly | file::AttributeHidden,
          file::AttributeSystem | file::AttributeArchive, file::AttributeNormal}) {
        ASSERT_TRUE(Files.SetFileAttributesA(Path("F.TXT"), attributes));
        // Wine marks every file for backup (archive); Windows keeps exactly what was set,
        // and so does the sandbox.
        const std::uint32_t marks = file::AttributeArchive | file::AttributeNormal;
        EXPECT_EQ(Attributes("f.txt") & ~marks, attributes & ~marks);
    }
}

TEST_F(FilesContract, SearchesMatchWildcardsAndListDotEntries) {
    for (const char* name : {"a.txt", "B.TXT", "notes.text", "README"}) {
        ASSERT_TRUE(Machine->WriteText(name, "x"));
    }
    ASSERT_TRUE(Files.CreateDirectoryA(Path("Sub")));
    using Names = std::set<std::string>;
    EXPECT_EQ(Found("*.txt"), (Names{"a.txt", "B.TXT"}));
    EXPECT_EQ(Found("?.TXT"), (Names{"a.txt", "B.TXT"}));
    EXPECT_EQ(Found("*.*"), (Names{".", "..", "a.txt", "B.TXT", "notes.text", "README", "Sub"}));
    EXPECT_EQ(Found("readme"), (Names{"README"}));
    EXPECT_EQ(Found("*.doc"), Names{});
    EXPECT_EQ(Files.GetLastError(), winerror::FileNotFound);
    FindData data;
    EXPECT_EQ(Files.FindFirstFileA(Path("none\\*"), data), InvalidFindHandle);
    EXPECT_EQ(Files.GetLastError(), winerror::PathNotFound);
    EXPECT_EQ(Files.FindFirstFileA(Path("Sub\\"), data), InvalidFindHandle);
    EXPECT_EQ(Files.GetLastError(), winerror::FileNotFound);
}

TEST_F(FilesContract, LongNamesHaveShortNamesThatReachTheSameFile) {
    ASSERT_TRUE(Files.CreateDirectoryA(Path("Program Files")));
    ASSERT_TRUE(Machine->WriteText("Program Files\\Long Name.text", "x"));
    std::array<char, 260> buffer{};
    const std::uint32_t length =
        Files.GetShortPathNameA(Path("program files\\long name.text"), buffer);
    ASSERT_GT(length, 0u);
    const std::string shortPath(buffer.data(), length);
    const std::string tail = shortPath.substr(shortPath.size() - 12);
    EXPECT_NE(tail.find('~'), std::string::npos) << shortPath;
    EXPECT_EQ(tail.substr(tail.find('.')), ".TEX") << shortPath;
    EXPECT_NE(Files.GetFileAttributesA(shortPath), file::InvalidAttributes) << shortPath;
    EXPECT_EQ(Files.GetShortPathNameA(Path("program files\\long name.text"),
                                      std::span<char>(buffer.data(), 4)),
              length + 1);
    EXPECT_EQ(Files.GetShortPathNameA(Path("missing.txt"), buffer), 0u);
    EXPECT_EQ(Files.GetLastError(), winerror::FileNotFound);
    FindData data;
    UniqueFind search(Files.FindFirstFileA(Path("Program Files\\Long*"), data), FindCloser{&Files});
    ASSERT_TRUE(search);
    EXPECT_NE(data.AlternateFileName.find('~'), std::string::npos);
}

TEST_F(FilesContract, TemporaryNamesCarryPrefixAndNumber) {
    std::string name;
    const std::uint32_t unique = Files.GetTempFileNameA(Machine->Root(), "KTGX", 0, name);
    ASSERT_NE(unique, 0u);
    EXPECT_NE(Files.GetFileAttributesA(name), file::InvalidAttributes) << name;
    char expected[32];
    std::snprintf(expected, sizeof expected, "\\KTG%X.TMP", unique);
    EXPECT_TRUE(name.size() > std::strlen(expected) &&
                EqualsIgnoringCase(name.substr(name.size() - std::strlen(expected)), expected))
        << name;
    EXPECT_EQ(Files.GetTempFileNameA(Machine->Root(), "KTH", 0x1234, name), 0x1234u);
    EXPECT_EQ(Files.GetFileAttributesA(name), file::InvalidAttributes);
    EXPECT_EQ(Files.GetTempFileNameA(Path("missing"), "KTG", 0, name), 0u);
    EXPECT_EQ(Files.GetLastError(), 267u); // ERROR_DIRECTORY
}

TEST_F(FilesContract, DirectoriesAreMadeAndRemovedOneLevelAtATime) {
    EXPECT_EQ(ErrorOf(Files.CreateDirectoryA(Path("a\\b"))), winerror::PathNotFound);
    EXPECT_EQ(ErrorOf(Files.CreateDirectoryA(Path("a"))), 0u);
    EXPECT_EQ(ErrorOf(Files.CreateDirectoryA(Path("A"))), winerror::AlreadyExists);
    ASSERT_TRUE(Machine->WriteText("a\\f.txt", "x"));
    EXPECT_EQ(ErrorOf(Files.RemoveDirectoryA(Path("a"))), winerror::DirNotEmpty);
    EXPECT_EQ(ErrorOf(Files.RemoveDirectoryA(Path("a\\f.txt"))), 267u); // ERROR_DIRECTORY
    ASSERT_TRUE(Files.DeleteFileA(Path("a\\f.txt")));
    EXPECT_EQ(ErrorOf(Files.RemoveDirectoryA(Path("a"))), 0u);
    EXPECT_EQ(ErrorOf(Files.RemoveDirectoryA(Path("a"))), winerror::FileNotFound);
}

TEST_F(FilesContract, DosStampsConvertBothWays) {
    const struct {
        std::uint16_t Date;
        std::uint16_t Time;
        bool Valid;
    } cases[] = {
        {(16 << 9) | (7 << 5) | 15, (13 << 11) | (45 << 5) | 10, true}, // 15.7.1996 13:45:20
        {(0 << 9) | (1 << 5) | 1, 0, true},                             // 1.1.1980 0:00:00
        {(20 << 9) | (2 << 5) | 29, (23 << 11) | (59 << 5) | 29, true}, // 29.2.2000 23:59:58
        {(0 << 9) | (13 << 5) | 1, 0, false},
        {(0 << 9) | (1 << 5) | 1, 24 << 11, false},
    };
    for (const auto& c : cases) {
        FileTime time;
        ASSERT_EQ(Files.DosDateTimeToFileTime(c.Date, c.Time, time), c.Valid) << c.Date;
        std::uint16_t date = 0;
        std::uint16_t clock = 0;
        if (c.Valid && Files.FileTimeToDosDateTime(time, date, clock)) {
            EXPECT_EQ(date, c.Date);
            EXPECT_EQ(clock, c.Time);
        }
    }
    FileTime stamp;
    ASSERT_TRUE(Files.DosDateTimeToFileTime(cases[0].Date, cases[0].Time, stamp));
    UniqueFile file(Files.CreateFileA(Path("s.txt"), file::GenericRead | file::GenericWrite, 0,
                                      file::CreateAlways, 0),
                    FileCloser{&Files});
    ASSERT_TRUE(Files.SetFileTime(file.Get(), nullptr, nullptr, &stamp));
    FileTime read;
    ASSERT_TRUE(Files.GetFileTime(file.Get(), nullptr, nullptr, &read));
    EXPECT_EQ(read, stamp);
}

TEST_F(FilesContract, LocalTimeIsAWholeMinuteShiftThatGoesBackExactly) {
    FileTime utc;
    ASSERT_TRUE(Files.DosDateTimeToFileTime((16 << 9) | (7 << 5) | 15, 0, utc));
    FileTime local;
    FileTime back;
    ASSERT_TRUE(Files.FileTimeToLocalFileTime(utc, local));
    ASSERT_TRUE(Files.LocalFileTimeToFileTime(local, back));
    EXPECT_EQ(back, utc);
    const auto shift = static_cast<std::int64_t>(local.Ticks() - utc.Ticks());
    EXPECT_EQ(shift % 600000000, 0) << "whole minutes";
    EXPECT_LE(shift < 0 ? -shift : shift, 14 * 36000000000ll);
}

TEST_F(FilesContract, DrivesReportTheirKindAndSpace) {
    EXPECT_EQ(Files.GetDriveTypeA("C:\\"), file::DriveFixed);
    EXPECT_EQ(Files.GetDriveTypeA("Q:\\"), file::DriveNoRootDir);
    std::uint32_t sectors = 0, bytes = 0, free = 0, total = 0;
    ASSERT_TRUE(Files.GetDiskFreeSpaceA("C:\\", sectors, bytes, free, total));
    EXPECT_GT(sectors * bytes, 0u);
    EXPECT_LE(free, total);
}

TEST_F(FilesContract, DelayedMovesWaitForTheNextStart) {
    ASSERT_TRUE(Machine->WriteText("new.dll", "new"));
    EXPECT_EQ(ErrorOf(Files.MoveFileExA(Path("new.dll"), Path("old.dll").c_str(),
                                        file::MoveReplaceExisting | file::MoveDelayUntilReboot)),
              0u);
    EXPECT_EQ(Machine->ReadText("new.dll"), "new");
    EXPECT_EQ(Attributes("old.dll"), file::InvalidAttributes);
    // Only the names are checked now: the file may come later.
    EXPECT_EQ(ErrorOf(Files.MoveFileExA(Path("later.dll"), nullptr, file::MoveDelayUntilReboot)),
              0u);
}

TEST_F(FilesContract, InjectedFaultsFailTheChosenUseOnly) {
    const struct {
        FileCall Call;
        std::uint32_t Error;
    } cases[] = {{FileCall::WriteFile, winerror::DiskFull},
                 {FileCall::CreateFileA, winerror::SharingViolation},
                 {FileCall::CreateFileA, winerror::AccessDenied},
                 {FileCall::ReadFile, winerror::FileNotFound}};
    for (const auto& c : cases) {
        FaultInjectingFiles faulty(Files);
        faulty.Plan.FailAt(c.Call, 2, c.Error);
        std::vector<bool> results;
        for (int use = 1; use <= 3; ++use) {
            UniqueFile file(faulty.CreateFileA(Path("f.txt"),
                                               file::GenericRead | file::GenericWrite, 0,
                                               file::OpenAlways, 0),
                            FileCloser{&faulty});
            std::uint32_t count = 0;
            std::array<char, 4> buffer{};
            results.push_back(file && faulty.WriteFile(file.Get(), std::string_view("x"), count) &&
                              faulty.ReadFile(file.Get(), buffer, count));
            if (!results.back()) {
                EXPECT_EQ(faulty.GetLastError(), c.Error);
            }
        }
        EXPECT_EQ(results, (std::vector<bool>{true, false, true})) << static_cast<int>(c.Call);
    }
}

} // namespace
} // namespace machine_test
