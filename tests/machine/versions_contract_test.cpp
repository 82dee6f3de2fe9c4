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
    /// The binary value at `path` when it has exactly the type's size, else zeros.
    template <typename T> T Binary(std::vector<char>& block, std::string_view path) {
        const char* value = nullptr;
        std::uint32_t length = 0;
        T result{};
        if (Versions->VerQueryValueA(block, path, value, length) && length == sizeof(T)) {
            std::memcpy(&result, value, sizeof(T));
        }
        return result;
    }

    std::unique_ptr<MachineUnderTest> Machine = MakeMachineUnderTest();
    std::unique_ptr<VersionService> Versions = MakeVersionsUnderTest(*Machine);
    bool Folders = Machine->Files().CreateDirectoryA(Machine->Path("src")) &&
                   Machine->Files().CreateDirectoryA(Machine->Path("app"));
};

TEST_F(VersionsContract, VersionBlocksGiveFixedInfoTranslationAndTexts) {
    const struct {
        const char* Name;
        std::uint64_t Version;
        std::uint32_t Translation;
        const char* Texts;
        const char* VersionText;
    } cases[] = {
        {"VER1.DLL", 1ull << 48, 0x04E40409, "\\StringFileInfo\\040904E4\\", "1.0.0.0"},
        {"VER2.DLL", 2ull << 48, 0x04E40409, "\\StringFileInfo\\040904E4\\", "2.0.0.0"},
        {"VER2DE.DLL", 2ull << 48 | 1, 0x04E40407, "\\stringfileinfo\\040704e4\\", "2.0.0.1"},
    };
    for (const auto& c : cases) {
        std::vector<char> block = Block(std::string("src\\") + c.Name);
        const auto info = Binary<FixedFileInfo>(block, "\\");
        EXPECT_EQ(info.Signature, ver::FixedFileInfoSignature) << c.Name;
        EXPECT_EQ(std::uint64_t{info.FileVersionMS} << 32 | info.FileVersionLS, c.Version);
        EXPECT_EQ(info.FileType, ver::FileTypeDll) << c.Name;
        EXPECT_EQ(Binary<std::uint32_t>(block, "\\VarFileInfo\\Translation"), c.Translation);
        const std::string texts = c.Texts;
        EXPECT_EQ(Text(block, texts + "FileVersion"), c.VersionText) << c.Name;
        EXPECT_EQ(Text(block, texts + "CompanyName"), "Plandra") << c.Name;
        EXPECT_EQ(Text(block, texts + "ProductName"), "Version test file \xe9") << c.Name;
        EXPECT_EQ(Text(block, texts + "Missing"), "-") << c.Name;
        // A block without a value of its own is found, with the length 0.
        const char* value = nullptr;
        std::uint32_t length = 1;
        EXPECT_TRUE(Versions->VerQueryValueA(block, "VarFileInfo\\", value, length));
        EXPECT_EQ(length, 0u);
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
    const auto find = [&](std::uint32_t flags, const char* name, const std::string& appDir,
                          std::size_t size = 260) {
        std::array<char, 260> cur{}, dest{};
        std::uint32_t curLength = 0, destLength = 0;
        const std::uint32_t result =
            Versions->VerFindFileA(flags, name, nullptr, appDir, std::span(cur).first(size),
                                   curLength, std::span(dest).first(size), destLength);
        return std::to_string(result) + " " + cur.data() + " " + std::to_string(curLength) + " " +
               dest.data() + " " + std::to_string(destLength);
    };
    const std::string shared = find(ver::FindIsSharedFile, "X.DLL", app);
    ASSERT_TRUE(shared.starts_with("1  1 ")) << shared;
    const std::string system = shared.substr(5);
    ASSERT_TRUE(EndsWithIgnoringCase(system.substr(0, system.find(' ')), "\\system32"));
    const auto where = [](const std::string& folder) {
        return folder + " " + std::to_string(folder.size() + 1);
    };
    const struct {
        std::uint32_t Flags;
        const char* Name;
        std::string AppDir;
        std::string Expected; ///< Result, current folder and length, destination and length.
    } cases[] = {
        {0, "HERE.DLL", app, "0 " + where(app) + " " + where(app)},
        {0, "here.dll", app + "\\", "0 " + where(app + "\\") + " " + where(app + "\\")},
        {0, "NEW.DLL", app, "1  1 " + where(app)},
        {ver::FindIsSharedFile, "HERE.DLL", app, "1 " + where(app) + " " + system},
        {ver::FindIsSharedFile, "HERE.DLL", Machine->Root(), "1  1 " + system},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(find(c.Flags, c.Name, c.AppDir), c.Expected) << c.Name;
    }
    const std::string needed = std::to_string(app.size() + 1);
    EXPECT_EQ(find(0, "HERE.DLL", app, 4), "4 C:\\ " + needed + " C:\\ " + needed);
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

TEST_F(VersionsContract, InstallOverAFileInUseKeepsIt) {
    ASSERT_TRUE(Machine->WriteText("app\\TARGET.DLL", VersionFixture("VER1.DLL")));
    FileService& files = Machine->Files();
    UniqueFile held(files.CreateFileA(Machine->Path("app\\TARGET.DLL"), file::GenericRead, 0,
                                      file::OpenExisting, 0),
                    FileCloser{&files});
    std::array<char, 260> temporary{};
    std::uint32_t length = 0;
    const std::uint32_t failed = ver::InstallCannotDelete | ver::InstallSharingViolation;
    EXPECT_EQ(Versions->VerInstallFileA(0, "VER2.DLL", "TARGET.DLL", Machine->Path("src"),
                                        Machine->Path("app"), Machine->Path("app"), temporary,
                                        length) &
                  failed,
              failed);
    held.Reset();
    EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), VersionFixture("VER1.DLL"));
}

TEST_F(VersionsContract, InjectedFaultsFailTheChosenUse) {
    FaultInjectingVersions faulty(*Versions);
    faulty.Plan.FailAt(VersionCall::GetFileVersionInfoSizeA, 2, winerror::SharingViolation);
    faulty.Plan.FailAt(VersionCall::VerInstallFileA, 1, ver::InstallOutOfSpace);
    const std::string file = Machine->Path("src\\VER1.DLL");
    std::vector<std::uint32_t> sizes;
    for (int use = 1; use <= 3; ++use) {
        sizes.push_back(faulty.GetFileVersionInfoSizeA(file, nullptr) != 0);
    }
    EXPECT_EQ(sizes, (std::vector<std::uint32_t>{1, 0, 1}));
    std::array<char, 260> temporary{};
    std::uint32_t length = 0;
    EXPECT_EQ(faulty.VerInstallFileA(0, "VER1.DLL", "TARGET.DLL", Machine->Path("src"),
                                     Machine->Path("app"), "", temporary, length),
              ver::InstallOutOfSpace);
    EXPECT_EQ(Machine->ReadText("app\\TARGET.DLL"), "");
}

} // namespace
} // namespace machine_test
