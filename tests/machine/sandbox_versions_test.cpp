// What only the sandbox's version calls have: our own PE reader meeting damaged files,
// installs that fail half-way through the machine's file calls, and the refusals Windows
// makes where Wine, which the contract runs against, does not.
#include "platform/ansi_text.h"
#include "platform/headless/fault_injection.h"
#include "platform/posix/sandbox_machine.h"
#include "platform/posix/sandbox_versions.h"
#include "platform/version_resource.h"
#include "versions_under_test.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace machine_test {
namespace {

using namespace platform;

std::uint32_t U32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

TEST(SandboxVersions, DamagedProgramFilesGiveAClearError) {
    // In VER1.DLL (PE32) one section holds only the resources, and each directory's
    // first entry leads to the version's data entry.
    const std::string good = VersionFixture("VER1.DLL");
    const std::size_t pe = U32(good, 60), resourceEntry = pe + 24 + 96 + 16;
    const std::uint32_t rva = U32(good, resourceEntry);
    std::size_t root = 0;
    for (std::size_t at = pe + 24 + 224; at < pe + 24 + 224 + 40 * good[pe + 6]; at += 40) {
        if (U32(good, at + 12) == rva) {
            root = U32(good, at + 20);
        }
    }
    std::size_t data = root;
    for (int level = 0; level < 3; ++level) {
        data = root + (U32(good, data + 20) & 0x7FFFFFFF);
    }
    ASSERT_EQ(ReadVersionResource(good).Error, VersionResourceError::None);
    using enum VersionResourceError;
    const struct {
        std::size_t Size; ///< The file cut to this size; 0: not cut.
        std::size_t At;   ///< Where `Value` replaces four bytes; 0: nowhere.
        std::uint32_t Value;
        VersionResourceError Error;
    } cases[] = {
        {1, 0, 0, NotPortableExecutable},
        {40, 0, 0, NotPortableExecutable},
        {0, 60, 0xFFFFFFF0u, NotPortableExecutable}, // PE header far away
        {pe + 200, 0, 0, Malformed},                 // cut in the section table
        {root + 20, 0, 0, Malformed},                // cut in the resources
        {0, resourceEntry, 0x7FFFFFF0u, Malformed},  // resources outside every section
        {0, root + 20, 0x80000000u, Malformed},      // type directory is the root again
        {0, data + 4, 0xFFFFFFFFu, Malformed},       // block larger than any
        {0, data, 0x7FFFFF00u, Malformed},           // block outside the file
        {0, root + 16, 3, NoVersionResource},        // no version type
    };
    for (const auto& c : cases) {
        std::string file = good.substr(0, c.Size == 0 ? good.size() : c.Size);
        if (c.At != 0) {
            std::memcpy(file.data() + c.At, &c.Value, 4);
        }
        const VersionResource resource = ReadVersionResource(file);
        EXPECT_EQ(resource.Error, c.Error) << c.Size << " " << c.At << ": " << resource.Reason;
        EXPECT_FALSE(resource.Reason.empty()) << c.At;
    }
}

/// Installs NEW.DLL over app\TARGET.DLL through file calls that fail as planned.
class SandboxVersionsInstall : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Machine->Files().CreateDirectoryA(Machine->Path("app")));
        ASSERT_TRUE(Machine->WriteText("NEW.DLL", VersionFixture("VER2.DLL")));
        ASSERT_TRUE(Machine->WriteText("app\\TARGET.DLL", VersionFixture("VER1.DLL")));
    }
    std::uint32_t Install(std::uint32_t flags = 0) {
        std::array<char, 260> temporary{};
        std::uint32_t length = 0;
        return Versions.VerInstallFileA(flags, "NEW.DLL", "TARGET.DLL", Machine->Root(),
                                        Machine->Path("app"), Machine->Path("app"), temporary,
                                        length);
    }
    /// The files in app, after deleting the temporary copies left there.
    std::size_t FilesInApp() {
        std::size_t count = 0;
        FindData data;
        FileService& files = Machine->Files();
        UniqueFind search(files.FindFirstFileA(Machine->Path("app\\*"), data), FindCloser{&files});
        for (bool more = bool(search); more; more = files.FindNextFileA(search.Get(), data)) {
            count += (data.FileAttributes & file::AttributeDirectory) == 0;
            if (EndsWithIgnoringCase(data.FileName, ".tmp")) {
                files.DeleteFileA(Machine->Path("app\\" + data.FileName));
            }
        }
        return count;
    }

    std::unique_ptr<MachineUnderTest> Machine = MakeMachineUnderTest();
    FaultInjectingFiles Faulty{Machine->Files()};
    SandboxVersions Versions{Faulty, MachineDescription{}.WindowsDirectory,
                             MachineDescription{}.SystemDirectory};
};

TEST_F(SandboxVersionsInstall, AFailedInstallKeepsTheOldFileAndLeavesOnlyWhatItSays) {
    const std::uint32_t inUse = ver::InstallCannotDelete | ver::InstallSharingViolation |
                                ver::InstallFileInUse | ver::InstallTempFile;
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
        {FileCall::MoveFileA, 1, winerror::SharingViolation, inUse},
    };
    for (const auto& c : cases) {
        Faulty.Plan = {};
        Faulty.Plan.FailAt(c.Call, c.Use, c.Error);
        EXPECT_EQ(Install(), c.Result) << c.Error;
        EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), VersionFixture("VER1.DLL")) << c.Error;
        EXPECT_EQ(FilesInApp(), (c.Result & ver::InstallTempFile) ? 2u : 1u) << c.Error;
    }
    Faulty.Plan = {};
    EXPECT_EQ(Install(), 0u);
    EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), VersionFixture("VER2.DLL"));
    EXPECT_EQ(FilesInApp(), 1u);
    Faulty.Plan = {};
    Faulty.Plan.FailAt(FileCall::ReadFile, 2, winerror::AccessDenied);
    EXPECT_EQ(Versions.GetFileVersionInfoSizeA(Machine->Path("NEW.DLL"), nullptr), 0u);
    EXPECT_EQ(Versions.GetLastError(), winerror::AccessDenied);
}

TEST_F(SandboxVersionsInstall, AnotherLanguageAndAFileInUseAreRefusedAsWindowsDoes) {
    ASSERT_TRUE(Machine->WriteText("NEW.DLL", VersionFixture("VER2DE.DLL")));
    ASSERT_TRUE(Machine->WriteText("app\\TARGET.DLL", VersionFixture("VER2.DLL")));
    EXPECT_EQ(Install(), ver::InstallDiffLang | ver::InstallMismatch | ver::InstallTempFile);
    UniqueFile held(Machine->Files().CreateFileA(Machine->Path("app\\TARGET.DLL"),
                                                 file::GenericRead, 0, file::OpenExisting, 0),
                    FileCloser{&Machine->Files()});
    std::array<char, 260> cur{}, dest{};
    std::uint32_t curLength = 0, destLength = 0;
    EXPECT_EQ(Versions.VerFindFileA(0, "TARGET.DLL", nullptr, Machine->Path("app"), cur, curLength,
                                    dest, destLength),
              ver::FindFileInUse);
    EXPECT_EQ(Install(ver::InstallForce), ver::InstallCannotDelete | ver::InstallSharingViolation |
                                              ver::InstallFileInUse | ver::InstallTempFile);
    held.Reset();
    EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), VersionFixture("VER2.DLL"));
}

} // namespace
} // namespace machine_test
