// The per-user settings stores: the registry one on a headless registry, the INI one in
// a temporary folder.
#include "platform/headless/headless_registry.h"
#include "platform/headless/ini_user_settings.h"
#include "platform/headless/registry_user_settings.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

using plandra::test::ReadFileText;
using plandra::test::WriteFileText;

// The same rules in both stores: missing gives the default, names that cannot be kept
// are refused, names are compared ignoring case.
void ExpectSettingRules(UserSettingsService& settings) {
    EXPECT_EQ(settings.GetSetting("Plandra", "Defaults", "InitDir", "C:\\"), "C:\\");
    ASSERT_TRUE(settings.SaveSetting("Plandra", "Defaults", "InitDir", "D:\\Plans\\"));
    EXPECT_EQ(settings.GetSetting("PLANDRA", "defaults", "initdir", "C:\\"), "D:\\Plans\\");
    ASSERT_TRUE(settings.SaveSetting("Plandra", "Defaults", "InitDir", "E:\\"));
    EXPECT_EQ(settings.GetSetting("Plandra", "Defaults", "InitDir", ""), "E:\\");
    EXPECT_EQ(settings.GetSetting("Other", "Defaults", "InitDir", "none"), "none");

    const struct {
        std::string_view App, Section, Key, Value;
    } refused[] = {{"", "Defaults", "InitDir", "x"},
                   {"Plandra", "Defaults", "", "x"},
                   {"Pl\\andra", "Defaults", "InitDir", "x"},
                   {"Plandra", "Defaults", "InitDir", std::string_view("a\0b", 3)}};
    for (const auto& r : refused) {
        EXPECT_FALSE(settings.SaveSetting(r.App, r.Section, r.Key, r.Value)) << r.App << r.Section;
        EXPECT_EQ(settings.GetSetting(r.App, r.Section, r.Key, "default"),
                  r.Value == "x" ? "default" : "E:\\");
    }
}

TEST(RegistryUserSettings, KeepsSettingsUnderTheCurrentUsersProgramSettings) {
    HeadlessRegistry registry;
    RegistryUserSettings settings(registry);
    ExpectSettingRules(settings);

    HKEY key = nullptr;
    ASSERT_EQ(registry.RegOpenKeyExA(HKEY_CURRENT_USER,
                                     "Software\\VB and VBA Program Settings\\Plandra\\Defaults", 0,
                                     reg::KeyRead, key),
              reg::Success);
    unsigned long type = 0, size = 64;
    std::string data;
    EXPECT_EQ(registry.RegQueryValueExA(key, "InitDir", type, data, size), reg::Success);
    EXPECT_EQ(type, reg::Sz);
    EXPECT_EQ(data, std::string("E:\\\0", 4));
    registry.RegCloseKey(key);
}

TEST(IniUserSettings, KeepsAReadableFilePerApplication) {
    plandra::test::TempFolder home;
    IniUserSettings settings(home.Folder());
    ExpectSettingRules(settings);
    const auto file = home.Folder() / "plandra" / "settings.ini";
    EXPECT_EQ(ReadFileText(file), "[Defaults]\nInitDir=E:\\\n");
    EXPECT_FALSE(settings.SaveSetting("Plandra", "Defaults", "InitDir", "two\nlines"));
    EXPECT_FALSE(settings.SaveSetting("..", "Defaults", "InitDir", "x"));

    // A file too large to be settings is neither read nor overwritten.
    WriteFileText(file, std::string(IniUserSettings::MaxSettingsFileSize + 1, ';'));
    EXPECT_EQ(settings.GetSetting("Plandra", "Defaults", "InitDir", "C:\\"), "C:\\");
    EXPECT_FALSE(settings.SaveSetting("Plandra", "Defaults", "InitDir", "F:\\"));
    EXPECT_FALSE(IniUserSettings({}).SaveSetting("Plandra", "Defaults", "InitDir", "F:\\"));
}

TEST(IniUserSettings, ConfigurationFolderComesFromTheEnvironment) {
    if (!std::filesystem::path("/xdg").is_absolute()) {
        GTEST_SKIP() << "Linux folders";
    }
    EXPECT_EQ(UserConfigFolder("/xdg", "/home/ann"), "/xdg");
    EXPECT_EQ(UserConfigFolder("relative", "/home/ann"), "/home/ann/.config");
    EXPECT_EQ(UserConfigFolder(nullptr, "/home/ann"), "/home/ann/.config");
    EXPECT_EQ(UserConfigFolder(nullptr, ""), "");
}

} // namespace
} // namespace platform
