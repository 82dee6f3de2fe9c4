// What only the sandbox's version calls have: our own PE reader meeting damaged files,
// and installs that fail half-way through the machine's file calls.
#include "platform/headless/fault_injection.h"
#include "platform/posix/sandbox_machine.h"
#include "platform/posix/sandbox_versions.h"
#include "platform/version_resource.h"
#include "versions_under_test.h"

#include <array>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace machine_test {
namespace {

using namespace platform;

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);
}

/// Where the resource directory and its one version data entry lie in VER1.DLL (a PE32
/// file with one section holding only the version resource).
struct Layout {
    std::size_t ResourceDirectoryEntry = 0; ///< The optional header's entry (RVA, size).
    std::size_t Root = 0;                   ///< The root directory in the file.
    std::size_t DataEntry = 0;              ///< The version's data entry in the file.
};

Layout LayoutOf(const std::string& file) {
    Layout layout;
    const std::size_t pe = U32(file, 60);
    layout.ResourceDirectoryEntry = pe + 24 + 96 + 2 * 8;
    const std::uint32_t rva = U32(file, layout.ResourceDirectoryEntry);
    const std::size_t sections = pe + 24 + (file[pe + 20] & 0xFF);
    for (std::size_t at = sections; at < sections + 40 * (file[pe + 6] & 0xFF); at += 40) {
        if (rva >= U32(file, at + 12) && rva < U32(file, at + 12) + U32(file, at + 16)) {
            layout.Root = U32(file, at + 20) + rva - U32(file, at + 12);
        }
    }
    std::size_t directory = layout.Root;
    for (int level = 0; level < 3; ++level) {
        directory = layout.Root + (U32(file, directory + 16 + 4) & 0x7FFFFFFF);
    }
    layout.DataEntry = directory;
    return layout;
}

TEST(SandboxVersions, DamagedProgramFilesGiveAClearError) {
    const std::string good = VersionFixture("VER1.DLL");
    const Layout layout = LayoutOf(good);
    ASSERT_EQ(ReadVersionResource(good).Error, VersionResourceError::None);
    const struct {
        const char* What;
        std::function<void(std::string&)> Damage;
        VersionResourceError Error;
    } cases[] = {
        {"empty", [](std::string& f) { f.clear(); }, VersionResourceError::NotPortableExecutable},
        {"cut in the DOS header", [](std::string& f) { f.resize(40); },
         VersionResourceError::NotPortableExecutable},
        {"PE header far away", [](std::string& f) { Put32(f, 60, 0xFFFFFFF0u); },
         VersionResourceError::NotPortableExecutable},
        {"cut in the section table", [](std::string& f) { f.resize(U32(f, 60) + 200); },
         VersionResourceError::Malformed},
        {"cut in the resources", [&](std::string& f) { f.resize(layout.Root + 20); },
         VersionResourceError::Malformed},
        {"resources outside every section",
         [&](std::string& f) { Put32(f, layout.ResourceDirectoryEntry, 0x7FFFFFF0u); },
         VersionResourceError::Malformed},
        {"type directory pointing at the root",
         [&](std::string& f) { Put32(f, layout.Root + 20, 0x80000000u); },
         VersionResourceError::Malformed},
        {"block larger than any version block",
         [&](std::string& f) { Put32(f, layout.DataEntry + 4, 0xFFFFFFFFu); },
         VersionResourceError::Malformed},
        {"block outside the file",
         [&](std::string& f) { Put32(f, layout.DataEntry, 0x7FFFFF00u); },
         VersionResourceError::Malformed},
        {"no version type", [&](std::string& f) { Put32(f, layout.Root + 16, 3); },
         VersionResourceError::NoVersionResource},
    };
    for (const auto& c : cases) {
        std::string file = good;
        c.Damage(file);
        const VersionResource resource = ReadVersionResource(file);
        EXPECT_EQ(resource.Error, c.Error) << c.What << ": " << resource.Reason;
        EXPECT_FALSE(resource.Reason.empty()) << c.What;
    }
}

TEST(SandboxVersions, BlocksThatLieAboutTheirLengthsAreNotReadPastTheirEnd) {
    const std::string block = ReadVersionResource(VersionFixture("VER1.DLL")).Block;
    ASSERT_TRUE(FindVersionValue(block, "\\StringFileInfo\\040904E4\\FileVersion"));
    for (std::size_t cut : {std::size_t{0}, std::size_t{5}, std::size_t{40}, block.size() / 2,
                            block.size() - 1}) {
        const std::span<const char> part(block.data(), cut);
        const auto value = FindVersionValue(part, "\\StringFileInfo\\040904E4\\FileVersion");
        EXPECT_TRUE(!value || value->Offset + value->Length * 2 <= cut) << cut;
    }
    std::string longer = block;
    longer[0] = '\xFF';
    longer[1] = '\xFF';
    EXPECT_FALSE(FindVersionValue(longer, "\\VarFileInfo\\Translation"));
}

/// An install through file calls that fail as planned.
class SandboxVersionsFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Machine->Files().CreateDirectoryA(Machine->Path("app")));
        ASSERT_TRUE(Machine->WriteText("NEW.DLL", VersionFixture("VER2.DLL")));
        ASSERT_TRUE(Machine->WriteText("app\\TARGET.DLL", VersionFixture("VER1.DLL")));
    }
    std::uint32_t Install() {
        std::array<char, 260> temporary{};
        std::uint32_t length = 0;
        return Versions.VerInstallFileA(0, "NEW.DLL", "TARGET.DLL", Machine->Root(),
                                        Machine->Path("app"), Machine->Path("app"), temporary,
                                        length);
    }
    std::size_t FilesInApp() {
        FindData data;
        std::size_t count = 0;
        UniqueFind search(Machine->Files().FindFirstFileA(Machine->Path("app\\*.*"), data),
                          FindCloser{&Machine->Files()});
        for (bool more = bool(search); more; more = Machine->Files().FindNextFileA(search.Get(), data)) {
            count += (data.FileAttributes & file::AttributeDirectory) == 0;
        }
        return count;
    }

    std::unique_ptr<MachineUnderTest> Machine = MakeMachineUnderTest();
    FaultInjectingFiles Faulty{Machine->Files()};
    SandboxVersions Versions{Faulty, MachineDescription{}.WindowsDirectory,
                             MachineDescription{}.SystemDirectory};
};

TEST_F(SandboxVersionsFaults, AFailedInstallKeepsTheOldFileAndLeavesOnlyWhatItSays) {
    const struct {
        FileCall Call;
        int Use;
        std::uint32_t Error;
        std::uint32_t Result;
    } cases[] = {
        {FileCall::CopyFileA, 1, winerror::DiskFull, ver::InstallOutOfSpace},
        {FileCall::GetTempFileNameA, 1, winerror::AccessDenied,
         ver::InstallCannotCreate | ver::InstallAccessViolation},
        // The second move puts the new file in place after the old one stepped aside.
        {FileCall::MoveFileA, 2, winerror::DiskFull,
         ver::InstallCannotRename | ver::InstallOutOfSpace | ver::InstallTempFile},
        {FileCall::MoveFileA, 1, winerror::SharingViolation,
         ver::InstallCannotDelete | ver::InstallSharingViolation | ver::InstallFileInUse |
             ver::InstallTempFile},
    };
    for (const auto& c : cases) {
        Faulty.Plan = {};
        Faulty.Plan.FailAt(c.Call, c.Use, c.Error);
        EXPECT_EQ(Install(), c.Result) << c.Error;
        EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), VersionFixture("VER1.DLL")) << c.Error;
        EXPECT_EQ(FilesInApp(), (c.Result & ver::InstallTempFile) ? 2u : 1u) << c.Error;
        // Clear away a copy left behind, for the next case.
        FindData data;
        UniqueFind search(Machine->Files().FindFirstFileA(Machine->Path("app\\VER*.TMP"), data),
                          FindCloser{&Machine->Files()});
        for (bool more = bool(search); more; more = Machine->Files().FindNextFileA(search.Get(), data)) {
            Machine->Files().DeleteFileA(Machine->Path("app\\" + data.FileName));
        }
    }
    Faulty.Plan = {};
    EXPECT_EQ(Install(), 0u);
    EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), VersionFixture("VER2.DLL"));
    EXPECT_EQ(FilesInApp(), 1u);
}

// Windows reports these where Wine, which the contract runs against, does not.
TEST_F(SandboxVersionsFaults, AnotherLanguageAndAFileInUseAreRefusedAsWindowsDoes) {
    ASSERT_TRUE(Machine->WriteText("NEW.DLL", VersionFixture("VER2DE.DLL")));
    ASSERT_TRUE(Machine->WriteText("app\\TARGET.DLL", VersionFixture("VER2.DLL")));
    EXPECT_EQ(Install(), ver::InstallDiffLang | ver::InstallMismatch | ver::InstallTempFile);
    UniqueFile held(Machine->Files().CreateFileA(Machine->Path("app\\TARGET.DLL"),
                                                 file::GenericRead, 0, file::OpenExisting, 0),
                    FileCloser{&Machine->Files()});
    std::array<char, 260> cur{}, dest{};
    std::uint32_t curLength = 0, destLength = 0;
    EXPECT_EQ(Versions.VerFindFileA(0, "TARGET.DLL", nullptr, Machine->Path("app"), cur,
                                    curLength, dest, destLength),
              ver::FindFileInUse);
    std::array<char, 260> temporary{};
    std::uint32_t length = 0;
    EXPECT_EQ(Versions.VerInstallFileA(ver::InstallForce, "NEW.DLL", "TARGET.DLL",
                                       Machine->Root(), Machine->Path("app"), "", temporary,
                                       length),
              ver::InstallCannotDelete | ver::InstallSharingViolation | ver::InstallFileInUse |
                  ver::InstallTempFile);
    held.Reset();
    EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), VersionFixture("VER2.DLL"));
}

TEST_F(SandboxVersionsFaults, AReadErrorReachesTheCaller) {
    Faulty.Plan.FailAt(FileCall::ReadFile, 2, winerror::AccessDenied);
    EXPECT_EQ(Versions.GetFileVersionInfoSizeA(Machine->Path("NEW.DLL"), nullptr), 0u);
    EXPECT_EQ(Versions.GetLastError(), winerror::AccessDenied);
}

} // namespace
} // namespace machine_test
