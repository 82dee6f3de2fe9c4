// The Win32 registry, shell and INI property bag against the real API: values and
// files the tests make themselves come back through the pass-throughs as Windows
// gives them.
#include "platform/win32/win32_profile_property_bag.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "support/registry_test_key.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace {

// The Windows header makes the root keys' names macros; ours are taken before it.
const platform::HKEY CurrentUser = platform::HKEY_CURRENT_USER;
const platform::HKEY LocalMachine = platform::HKEY_LOCAL_MACHINE;

} // namespace

#include "win32_api.h"

namespace platform {
namespace {

class Win32RegistryTest : public ::testing::Test {
public:
    Win32RegistryTest() {
        Key.SetString("PATH", "C:\\Tools\\MSINFO32.EXE");
        Key.SetDword("Number", 0x1234ABCD);
    }

    plandra::test::RegistryTestKey Key{"Registry"};
    Win32Registry Registry;
};

TEST_F(Win32RegistryTest, ValuesComeBackAsTheApiStoresThem) {
    HKEY key = nullptr;
    ASSERT_EQ(Registry.RegOpenKeyExA(CurrentUser, Key.Path(), 0, reg::KeyQueryValue, key),
              reg::Success);
    const struct {
        const char* Name;
        unsigned long BufferSize;
        long Result;
        unsigned long Type;
        std::string Data;
        unsigned long Size;
    } cases[] = {
        // A string comes with its terminating zero.
        {"PATH", 1024, reg::Success, reg::Sz, std::string("C:\\Tools\\MSINFO32.EXE", 22), 22},
        {"path", 22, reg::Success, reg::Sz, std::string("C:\\Tools\\MSINFO32.EXE", 22), 22},
        {"PATH", 21, reg::MoreData, reg::Sz, "", 22},
        {"Number", 1024, reg::Success, reg::Dword, std::string("\xCD\xAB\x34\x12", 4), 4},
        {"Missing", 1024, reg::FileNotFound, 0, "", 1024},
    };
    for (const auto& c : cases) {
        unsigned long type = 0;
        std::string data = "stale";
        unsigned long size = c.BufferSize;
        EXPECT_EQ(Registry.RegQueryValueExA(key, c.Name, type, data, size), c.Result) << c.Name;
        EXPECT_EQ(data, c.Data) << c.Name;
        if (c.Result != reg::FileNotFound) {
            EXPECT_EQ(type, c.Type) << c.Name;
            EXPECT_EQ(size, c.Size) << c.Name;
        }
    }
    EXPECT_EQ(Registry.RegCloseKey(key), reg::Success);
}

TEST_F(Win32RegistryTest, RootKeysAreTheWindowsOnesAndMissingKeysAreNotFound) {
    // The roots are sign-extended in a 64-bit build; a zero-extended one is refused.
    HKEY key = nullptr;
    ASSERT_EQ(Registry.RegOpenKeyExA(LocalMachine, "Software", 0, reg::KeyQueryValue, key),
              reg::Success);
    EXPECT_EQ(Registry.RegCloseKey(key), reg::Success);
    key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(
        Registry.RegOpenKeyExA(CurrentUser, Key.Path() + "\\Missing", 0, reg::KeyQueryValue, key),
        reg::FileNotFound);
    EXPECT_EQ(key, nullptr);
}

TEST(Win32Shell, FileAttributesAndFailedStartsGiveTheWin32Answers) {
    Win32Shell shell;
    plandra::test::TempFile file("text", ".txt");
    constexpr std::uint32_t DirectoryAttribute = FILE_ATTRIBUTE_DIRECTORY;
    EXPECT_NE(shell.GetFileAttributesA(file.Name()), InvalidFileAttributes);
    EXPECT_EQ(shell.GetFileAttributesA(file.Name()) & DirectoryAttribute, 0u);
    const std::string folder = std::filesystem::path(file.Name()).parent_path().string();
    EXPECT_NE(shell.GetFileAttributesA(folder) & DirectoryAttribute, 0u);
    EXPECT_EQ(shell.GetFileAttributesA(file.Name() + ".missing"), InvalidFileAttributes);

    const std::string missing = file.Name() + ".missing.exe";
    EXPECT_EQ(shell.WinExec(missing, sw::ShowNormal), unsigned{ERROR_FILE_NOT_FOUND});
    EXPECT_EQ(shell.ShellExecuteA(nullptr, "open", missing, "", "", sw::ShowNormal),
              std::intptr_t{SE_ERR_FNF});
}

TEST(Win32Shell, WinExecStartsAProgram) {
    Win32Shell shell;
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    // This test program again, asked only to list its tests.
    EXPECT_GT(shell.WinExec("\"" + std::string(self) + "\" --gtest_list_tests", sw::ShowNormal),
              31u);
}

class Win32ProfilePropertyBagTest : public ::testing::Test {
public:
    std::string Text() const { return File.Read(); }

    plandra::test::TempFile File{"", ".ini"};
};

TEST_F(Win32ProfilePropertyBagTest, EveryKindComesBackAsItWasWritten) {
    Win32ProfilePropertyBag bag(File.Name(), "DXF1");
    const std::pair<const char*, Variant> values[] = {
        {"Nothing", Variant()},
        {"Small", std::int16_t{-1}},
        {"Colour", std::int32_t{-2147483643}},
        {"Pct", 150.25f},
        {"Exact", 0.1},
        {"On", VariantBool{true}},
        {"Off", VariantBool{false}},
        {"Path", std::string("C:\\TEMP\\")},
        {"Awkward", std::string("\"quoted\" ; 100% \r\n ")},
        {"Blank", std::string()},
    };
    for (const auto& [name, value] : values) {
        bag.WriteProperty(name, value, std::string("default"));
    }
    for (const auto& [name, value] : values) {
        EXPECT_EQ(bag.ReadProperty(name, Variant()), value) << name;
    }
    // Another bag on the same file sees the same values; another section none of them.
    EXPECT_EQ(Win32ProfilePropertyBag(File.Name(), "DXF1").ReadProperty("Pct", Variant()),
              Variant(150.25f));
    EXPECT_EQ(Win32ProfilePropertyBag(File.Name(), "DXF2").ReadProperty("Pct", Variant()),
              Variant());
    EXPECT_NE(Text().find("[DXF1]"), std::string::npos);
    EXPECT_NE(Text().find("Path=String:C:\\TEMP\\"), std::string::npos);
    EXPECT_NE(Text().find("On=Boolean:True"), std::string::npos);
}

TEST_F(Win32ProfilePropertyBagTest, DefaultsObjectsAndForeignLinesLeaveNothingStored) {
    Win32ProfilePropertyBag bag(File.Name(), "DXF1");
    bag.WriteProperty("Zoom", std::int32_t{2}, std::int32_t{1});
    EXPECT_EQ(bag.ReadProperty("Zoom", std::int32_t{1}), Variant(std::int32_t{2}));
    bag.WriteProperty("Zoom", std::int32_t{1}, std::int32_t{1});
    EXPECT_EQ(Text().find("Zoom"), std::string::npos);
    bag.WriteProperty("Zoom", std::int32_t{2}, std::int32_t{1});
    bag.WriteProperty("Zoom", ObjectRef(), std::int32_t{1});
    EXPECT_EQ(Text().find("Zoom"), std::string::npos);

    ::WritePrivateProfileStringA("DXF1", "Edited", "red", File.Name().c_str());
    ::WritePrivateProfileStringA("DXF1", "Large", "Integer:40000", File.Name().c_str());
    EXPECT_EQ(bag.ReadProperty("Edited", std::string("none")), Variant(std::string("none")));
    EXPECT_EQ(bag.ReadProperty("Large", std::int16_t{3}), Variant(std::int16_t{3}));

    const std::string longText(5000, 'x');
    bag.WriteProperty("Long", longText, std::string());
    EXPECT_EQ(bag.ReadProperty("Long", Variant()), Variant(longText));
}

} // namespace
} // namespace platform
