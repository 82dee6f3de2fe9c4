// The version calls read version resources and install files as Windows' own: run
// against the sandbox and against Win32, on small DLLs kept for the purpose.
#include "platform/ansi_text.h"
#include "platform/headless/fault_injection_versions.h"
#include "versions_under_test.h"

#include <array>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace machine_test {
namespace {

using namespace platform;

class VersionsContract : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"VER1.DLL", "VER2.DLL", "VER2DE.DLL", "NOVER.DLL"}) {
            ASSERT_TRUE(Machine->WriteText(std::string("src\\") + name, VersionFixture(name)))
                << name;
        }
    }
    /// The file's version block in a buffer of the size Windows asks for.
    std::vector<char> Block(std::string_view name) {
        std::vector<char> block(Versions->GetFileVersionInfoSizeA(Machine->Path(name), nullptr));
        EXPECT_FALSE(block.empty()) << name;
        EXPECT_TRUE(Versions->GetFileVersionInfoA(Machine->Path(name), 0, block)) << name;
        return block;
    }
    std::string Text(std::vector<char>& block, std::string_view path) {
        const char* value = nullptr;
        std::uint32_t length = 0;
        return Versions->VerQueryValueA(block, path, value, length) ? std::string(value) : "-";
    }

    std::unique_ptr<MachineUnderTest> Machine = MakeMachineUnderTest();
    std::unique_ptr<VersionService> Versions = MakeVersionsUnderTest(*Machine);
    bool Folders = Machine->Files().CreateDirectoryA(Machine->Path("src")) &&
                   Machine->Files().CreateDirectoryA(Machine->Path("app"));
};

TEST_F(VersionsContract, VersionBlocksGiveFixedInfoTranslationAndTexts) {
    const struct {
        const char* Name;
        std::uint32_t VersionMS, VersionLS, Translation;
        const char* Texts;
    } cases[] = {
        {"VER1.DLL", 0x10000, 0, 0x04E40409, "\\StringFileInfo\\040904E4\\"},
        {"VER2.DLL", 0x20000, 0, 0x04E40409, "\\StringFileInfo\\040904E4\\"},
        {"VER2DE.DLL", 0x20000, 1, 0x04E40407, "\\stringfileinfo\\040704e4\\"},
    };
    for (const auto& c : cases) {
        std::vector<char> block = Block(std::string("src\\") + c.Name);
        const char* value = nullptr;
        std::uint32_t length = 0;
        ASSERT_TRUE(Versions->VerQueryValueA(block, "\\", value, length)) << c.Name;
        ASSERT_EQ(length, sizeof(FixedFileInfo));
        FixedFileInfo info;
        std::memcpy(&info, value, sizeof info);
        EXPECT_EQ(info.Signature, ver::FixedFileInfoSignature);
        EXPECT_EQ(info.FileVersionMS, c.VersionMS) << c.Name;
        EXPECT_EQ(info.FileVersionLS, c.VersionLS) << c.Name;
        EXPECT_EQ(info.FileType, ver::FileTypeDll);
        ASSERT_TRUE(Versions->VerQueryValueA(block, "\\VarFileInfo\\Translation", value, length));
        std::uint32_t translation = 0;
        ASSERT_EQ(length, 4u);
        std::memcpy(&translation, value, 4);
        EXPECT_EQ(translation, c.Translation) << c.Name;
        const std::string prefix = c.Texts;
        const std::string version =
            std::to_string(c.VersionMS >> 16) + ".0.0." + std::to_string(c.VersionLS);
        EXPECT_EQ(Text(block, prefix + "FileVersion"), version) << c.Name;
        EXPECT_EQ(Text(block, prefix + "CompanyName"), "Plandra") << c.Name;
        EXPECT_EQ(Text(block, prefix + "ProductName"), "Version test file \xe9") << c.Name;
        EXPECT_EQ(Text(block, prefix + "Missing"), "-") << c.Name;
        EXPECT_EQ(Text(block, "\\StringFileInfo\\041104E4\\FileVersion"), "-") << c.Name;
    }
}

TEST_F(VersionsContract, FilesWithoutVersionGiveNoSize) {
    ASSERT_TRUE(Machine->WriteText("plain.txt", "MZ but nothing more"));
    const struct {
        const char* Name;
        std::uint32_t Error;
    } cases[] = {
        {"missing.dll", winerror::FileNotFound},
        {"plain.txt", winerror::ResourceDataNotFound},
        {"src\\NOVER.DLL", winerror::ResourceDataNotFound},
    };
    for (const auto& c : cases) {
        std::uint32_t handle = 7;
        EXPECT_EQ(Versions->GetFileVersionInfoSizeA(Machine->Path(c.Name), &handle), 0u) << c.Name;
        EXPECT_EQ(Versions->GetLastError(), c.Error) << c.Name;
        EXPECT_EQ(handle, 0u) << c.Name;
    }
}

TEST_F(VersionsContract, FindFileSaysWhereTheFileIsAndWhereItGoes) {
    ASSERT_TRUE(Machine->WriteText("app\\HERE.DLL", "x"));
    const std::string app = Machine->Path("app");
    const std::uint32_t elsewhere = ver::FindCurrentNotDestination;
    const struct {
        std::uint32_t Flags;
        const char* Name;
        std::string AppDir;
        std::string Current; ///< "system": the system folder.
        std::string Destination;
        std::uint32_t Result;
    } cases[] = {
        {0, "HERE.DLL", app, app, app, 0},
        {0, "here.dll", app + "\\", app + "\\", app + "\\", 0},
        {0, "NEW.DLL", app, "", app, elsewhere},
        {ver::FindIsSharedFile, "NEW.DLL", app, "", "system", elsewhere},
        {ver::FindIsSharedFile, "HERE.DLL", app, app, "system", elsewhere},
        {ver::FindIsSharedFile, "HERE.DLL", Machine->Root(), "", "system", elsewhere},
    };
    for (const auto& c : cases) {
        std::array<char, 260> cur{}, dest{};
        std::uint32_t curLength = 0, destLength = 0;
        EXPECT_EQ(Versions->VerFindFileA(c.Flags, c.Name, nullptr, c.AppDir, cur, curLength, dest,
                                         destLength),
                  c.Result)
            << c.Name;
        EXPECT_EQ(std::string(cur.data()), c.Current) << c.Name;
        EXPECT_EQ(curLength, std::strlen(cur.data()) + 1) << c.Name;
        EXPECT_EQ(destLength, std::strlen(dest.data()) + 1) << c.Name;
        if (c.Destination == "system") {
            EXPECT_TRUE(EndsWithIgnoringCase(dest.data(), "\\system32")) << dest.data();
        } else {
            EXPECT_EQ(std::string(dest.data()), c.Destination) << c.Name;
        }
    }
    std::array<char, 4> small{};
    std::uint32_t curLength = 0, destLength = 0;
    EXPECT_EQ(
        Versions->VerFindFileA(0, "HERE.DLL", nullptr, app, small, curLength, small, destLength),
        ver::FindBufferTooSmall);
    EXPECT_EQ(curLength, app.size() + 1);
    EXPECT_EQ(destLength, app.size() + 1);
}

TEST_F(VersionsContract, InstallReplacesOnlyOlderFilesOfTheSameKindUnlessForced) {
    const struct {
        const char* Existing; ///< Empty: no file at the destination.
        const char* Source;
        std::uint32_t Flags;
        std::uint32_t Result;
    } cases[] = {
        {"", "VER1.DLL", 0, 0},
        {"VER1.DLL", "VER2.DLL", 0, 0},
        {"VER2.DLL", "VER2.DLL", 0, 0},
        {"VER2.DLL", "VER1.DLL", 0,
         ver::InstallSourceOld | ver::InstallMismatch | ver::InstallTempFile},
        {"NOVER.DLL", "VER1.DLL", 0, 0},
        {"VER2.DLL", "VER1.DLL", ver::InstallForce, 0},
        {"VER2.DLL", "VER2DE.DLL", ver::InstallForce, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Existing) + " <- " + c.Source);
        Machine->Files().DeleteFileA(Machine->Path("app\\TARGET.DLL"));
        if (*c.Existing != '\0') {
            ASSERT_TRUE(Machine->WriteText("app\\TARGET.DLL", VersionFixture(c.Existing)));
        }
        std::array<char, 260> temporary{};
        std::uint32_t length = 0;
        const std::uint32_t result = Versions->VerInstallFileA(
            c.Flags, c.Source, "TARGET.DLL", Machine->Path("src"), Machine->Path("app"),
            *c.Existing != '\0' ? Machine->Path("app") : "", temporary, length);
        EXPECT_EQ(result, c.Result);
        const bool installed = result == 0;
        EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"),
                  VersionFixture(installed ? c.Source : c.Existing));
        if (result & ver::InstallTempFile) {
            // The copy is left in the destination folder under the name given.
            ASSERT_EQ(length, std::strlen(temporary.data()) + 1);
            const std::string left = std::string("app\\") + temporary.data();
            EXPECT_EQ(Machine->ReadText(left), VersionFixture(c.Source));
            EXPECT_TRUE(Machine->Files().DeleteFileA(Machine->Path(left)));
        }
        EXPECT_EQ(Machine->Files().DeleteFileA(Machine->Path("app\\TARGET.DLL")),
                  installed || *c.Existing != '\0');
    }
}

TEST_F(VersionsContract, InstallOverAFileInUseKeepsItAndSaysSo) {
    ASSERT_TRUE(Machine->WriteText("app\\TARGET.DLL", VersionFixture("VER1.DLL")));
    FileService& files = Machine->Files();
    UniqueFile held(files.CreateFileA(Machine->Path("app\\TARGET.DLL"), file::GenericRead, 0,
                                      file::OpenExisting, 0),
                    FileCloser{&files});
    ASSERT_TRUE(held);
    std::array<char, 260> temporary{};
    std::uint32_t length = 0;
    const std::uint32_t result =
        Versions->VerInstallFileA(0, "VER2.DLL", "TARGET.DLL", Machine->Path("src"),
                                  Machine->Path("app"), Machine->Path("app"), temporary, length);
    // Windows says VIF_FILEINUSE; Wine VIF_SHARINGVIOLATION.
    EXPECT_NE(result & (ver::InstallFileInUse | ver::InstallSharingViolation), 0u) << result;
    held.Reset();
    EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), VersionFixture("VER1.DLL"));
}

TEST_F(VersionsContract, InjectedFaultsFailTheChosenUse) {
    FaultInjectingVersions faulty(*Versions);
    faulty.Plan.FailAt(VersionCall::GetFileVersionInfoSizeA, 2, winerror::SharingViolation);
    faulty.Plan.FailAt(VersionCall::VerInstallFileA, 1, ver::InstallOutOfSpace);
    const std::string file = Machine->Path("src\\VER1.DLL");
    EXPECT_NE(faulty.GetFileVersionInfoSizeA(file, nullptr), 0u);
    EXPECT_EQ(faulty.GetFileVersionInfoSizeA(file, nullptr), 0u);
    EXPECT_EQ(faulty.GetLastError(), winerror::SharingViolation);
    EXPECT_NE(faulty.GetFileVersionInfoSizeA(file, nullptr), 0u);
    std::array<char, 260> temporary{};
    std::uint32_t length = 0;
    EXPECT_EQ(faulty.VerInstallFileA(0, "VER1.DLL", "TARGET.DLL", Machine->Path("src"),
                                     Machine->Path("app"), "", temporary, length),
              ver::InstallOutOfSpace);
    EXPECT_EQ(Machine->Files().GetFileAttributesA(Machine->Path("app\\TARGET.DLL")),
              file::InvalidAttributes);
}

} // namespace
} // namespace machine_test
