// The Win32 shell and INI property bag against the real API: files the tests make
// themselves come back through the pass-throughs as Windows gives them. The registry's
// pass-through runs the registry contract in tests/machine.
#include "platform/win32/win32_profile_property_bag.h"
#include "platform/win32/win32_shell.h"
#include "support/temp_file.h"
#include "win32_api.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Win32Shell, FileAttributesAndStartsGiveTheWin32Answers) {
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
