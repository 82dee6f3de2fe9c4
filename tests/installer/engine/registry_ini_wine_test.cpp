// Registry and INI edits on Windows' own registry and profile calls: a multi-string and a
// binary value over old ones, a quoted INI value, and the key tree removed again; the log
// read back by the uninstaller's log reader.
#include "engine_fakes.h"
#include "installer/engine/script_builder.h"
#include "installer/log/install_log_reader.h"
#include "platform/machine_services.h"

#include <array>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using namespace std::string_literals;

TEST(RegistryIniOnWindows, ValuesAndOldValuesComeBackToTheUninstaller) {
    platform::OpenedMachine opened = platform::OpenMachineServices({});
    ASSERT_TRUE(opened.Services);
    platform::RegistryService& registry = opened.Services->Registry();
    platform::ProfileService& profile = opened.Services->Profile();
    std::array<char, 260> temp{};
    const std::string ini =
        std::string(temp.data(), opened.Services->System().GetTempPathA(temp)) + "VORNTEST.INI";
    profile.WritePrivateProfileStringA("S", "k", "\" old \"", ini);
    platform::HKEY key = nullptr;
    ASSERT_EQ(registry.RegCreateKeyExA(platform::HKEY_CURRENT_USER, "Software\\VornTest\\Sub", 0,
                                       platform::reg::KeyWrite, key, nullptr),
              0);
    registry.RegSetValueExA(key, "M", platform::reg::MultiSz, "a\0b\0\0"s);
    registry.RegSetValueExA(key, "B", platform::reg::Binary, "\x01\xFE"s);
    registry.RegCloseKey(key);

    ScriptBuilder script;
    script.Record(10, {1, 2}, {"Software\\VornTest\\Sub", "x\x7Fy\x7Fz", "M"});
    script.Record(10, {1, 4}, {"Software\\VornTest\\Sub", "0A0B", "B"});
    script.Record(5, {}, {"%TEMP%VORNTEST.INI", "S", "k=\"a=b;c\""});
    testing::EngineHarness harness(script.Build());
    harness.Machine->Services.Machine = opened.Services.get();
    harness.Machine->Variables.SetVariable("TEMP", ini.substr(0, ini.size() - 12));
    ASSERT_EQ(harness.Run(), run::Finished) << harness.Log.Text;

    std::array<char, 64> value{};
    EXPECT_EQ(std::string(value.data(), profile.GetPrivateProfileStringA("S", "k", "", value, ini)),
              "a=b;c");
    const LogReadResult read =
        ParseInstallLog("***  Installation Started\r\nTitle: T\r\n" + harness.Log.Text);
    ASSERT_EQ(read.Log.Records.size(), 3u) << harness.Log.Text;
    EXPECT_EQ(std::get<RegValueRecord>(read.Log.Records[0].Record).Olds,
              (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(std::get<RegValueRecord>(read.Log.Records[1].Record).Olds,
              std::vector<std::string>{"01FE"});
    EXPECT_EQ(std::get<IniEntryRecord>(read.Log.Records[2].Record).Old, "\" old \"");

    // The whole key goes, its subkey first, as Windows NT deletes no key that has subkeys.
    ScriptBuilder removal;
    removal.Record(10, {1 | 0x80, 0}, {"Software\\VornTest", "", ""});
    testing::EngineHarness remover(removal.Build());
    remover.Machine->Services.Machine = opened.Services.get();
    ASSERT_EQ(remover.Run(), run::Finished);
    EXPECT_NE(registry.RegOpenKeyExA(platform::HKEY_CURRENT_USER, "Software\\VornTest", 0,
                                     platform::reg::KeyRead, key),
              0);
    opened.Services->Files().DeleteFileA(ini);
}

} // namespace
} // namespace vorn
