// Registry and INI edits run on a sandbox machine, their log read back through the
// uninstaller's log model: each value type and the old value must come back exactly.
#include "engine_fakes.h"
#include "installer/engine/ini_actions.h"
#include "installer/engine/registry_actions.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/value_builtins.h"
#include "installer/log/registry_value_bytes.h"
#include "installer/uninstaller/log_model.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vorn {
namespace {

class AllThere final : public rescind::MachineFacts {
public:
    bool FileExists(std::string_view) override { return true; }
    bool OnRemovableFloppy(std::string_view) override { return false; }
    bool IsCountedSharedFile(std::string_view) override { return false; }
    bool IniHasValue(std::string_view, std::string_view, std::string_view) override { return true; }
    std::string WindowsDirectory() override { return "C:\\WINNT"; }
    std::string SystemDirectory() override { return "C:\\WINNT\\SYSTEM32"; }
};

class RegistryIniTest : public ::testing::Test {
protected:
    // An NT machine whose user is no administrator: HKEY_LOCAL_MACHINE is read-only.
    void SetUp() override {
        ASSERT_TRUE(
            platform::SandboxMachine::Create(Folder.Folder(), platform::WindowsFamily::WindowsNT)
                .Machine);
        std::string ini = plandra::test::ReadFileText(Folder.Folder() / "machine.ini");
        ini.replace(ini.find("Admin=1"), 7, "Admin=0");
        plandra::test::WriteFileText(Folder.Folder() / "machine.ini", ini);
        Sandbox = platform::SandboxMachine::Open(Folder.Folder()).Machine;
        Services = std::make_unique<testing::SandboxTestMachine>(*Sandbox);
    }

    // Runs the records, the engine on the sandbox machine; the run's last answer.
    int Run(ScriptBuilder& script, RunMode mode = RunMode::Normal) {
        Harness = std::make_unique<testing::EngineHarness>(script.Build());
        Harness->Machine->Services.Machine = Services.get();
        Harness->Machine->Mode = mode;
        Harness->Machine->Variables.SetVariable("WIN", "C:\\WINNT");
        return Harness->Run();
    }

    rescind::ItemLists Model() {
        const vorn::LogReadResult read = ParseInstallLog(
            "***  Installation Started 01/02/03 4:05  ***\r\nTitle: T\r\n" + Harness->Log.Text);
        AllThere facts;
        return rescind::BuildItemLists(read.Log, "C:\\APP\\INSTALL.LOG", facts).Lists;
    }

    void SetValue(std::string_view key, std::string_view name, std::uint32_t type,
                  std::string_view bytes) {
        platform::HKEY handle = nullptr;
        ASSERT_EQ(Services->Registry().RegCreateKeyExA(platform::HKEY_CURRENT_USER, key, 0,
                                                       platform::reg::KeyWrite, handle, nullptr),
                  0);
        Services->Registry().RegSetValueExA(handle, name, type, bytes);
        Services->Registry().RegCloseKey(handle);
    }

    std::string Value(std::string_view key, std::string_view name, int root = 1) {
        std::string bytes;
        platform::HKEY handle = nullptr;
        if (Services->Registry().RegOpenKeyExA(platform::RegistryRoot(root), key, 0,
                                               platform::reg::KeyRead, handle) == 0) {
            unsigned long type = 0;
            unsigned long size = 70000;
            Services->Registry().RegQueryValueExA(handle, name, type, bytes, size);
            Services->Registry().RegCloseKey(handle);
        }
        return bytes;
    }

    plandra::test::TempFolder Folder;
    std::unique_ptr<platform::SandboxMachine> Sandbox;
    std::unique_ptr<testing::SandboxTestMachine> Services;
    std::unique_ptr<testing::EngineHarness> Harness;
};

using namespace std::string_literals;

TEST_F(RegistryIniTest, EachValueTypeWrittenAndItsOldValueComesBackToTheUninstaller) {
    const std::string longText(1500, 'L');
    // Type index (old and new value), old bytes, new text, new bytes, old strings logged.
    struct Case {
        int Type;
        std::string OldBytes, NewText, NewBytes;
        std::vector<std::string> Olds;
    } cases[] = {
        {0, "C:\\A \"q\"=1;2\0"s, "new=\"x\";y", "new=\"x\";y\0"s, {"C:\\A \"q\"=1;2"}},
        {1, "%SystemRoot%\\x\0"s, "C:\\x", "C:\\x\0"s, {"%SystemRoot%\\x"}},
        {2, "one\0two\0three\0\0"s, "a\x7Fz\x7Fq", "a\0z\0q\0\0"s, {"one", "two", "three"}},
        {2, "\0"s, "x", "x\0\0"s, {""}},
        {3, "\xFF\xFF\xFF\xFF"s, "305419896", "\x78\x56\x34\x12"s, {"4294967295"}},
        {4, "\x00\xFF\x10"s, "de ad-B", "\xDE\xAD"s, {"00FF10"}},
        {0, longText + '\0', longText + "!", longText + "!\0"s, {longText}},
    };
    int number = 0;
    for (const Case& c : cases) {
        const std::string key = "Software\\Vorn" + std::to_string(++number);
        SetValue(key, "V", RegistryValueType(c.Type), c.OldBytes);
        ScriptBuilder script;
        script.Record(10, {1, static_cast<std::uint8_t>(c.Type)}, {key, c.NewText, "V"});
        ASSERT_EQ(Run(script), run::Finished);
        EXPECT_EQ(Value(key, "V"), c.NewBytes) << c.NewText;
        rescind::ItemLists lists = Model();
        ASSERT_EQ(lists.RegValuesToRestore.size(), 1u) << Harness->Log.Text;
        const rescind::RegValueItem& item = lists.RegValuesToRestore[0];
        EXPECT_EQ(std::tuple(item.Key, item.Name, item.Root, item.Type, item.UninstallValue),
                  std::tuple(key, "V", 1, c.Type, c.Olds))
            << Harness->Log.Text;
    }
}

TEST_F(RegistryIniTest, DefaultValuesDeletionsTestModeAndAccessDenied) {
    SetValue("Software\\Vorn\\A\\B", "X", platform::reg::Sz, "1\0"s);
    SetValue("Software\\Vorn", "Keep", platform::reg::Sz, "1\0"s);
    SetValue("Software\\Vorn", "Gone", platform::reg::Sz, "1\0"s);
    ScriptBuilder script;
    script.Record(10, {1 | 0x40, 3}, {"Software\\Vorn\\New", "7", "ignored"});
    script.Record(10, {1 | 0xC0, 0}, {"Software\\Vorn", "", "Gone"});
    script.Record(10, {1 | 0x80, 0}, {"Software\\Vorn\\A", "", ""});
    script.Record(10, {1 | 0x80, 0}, {"%NOTHING%", "", ""});
    ASSERT_EQ(Run(script), run::Finished);
    EXPECT_EQ(std::tuple(Value("Software\\Vorn\\New", ""), Value("Software\\Vorn", "Keep"),
                         Value("Software\\Vorn", "Gone"), Value("Software\\Vorn\\A\\B", "X"),
                         Harness->Log.Text),
              std::tuple("\x07\0\0\0"s, "1\0"s, "", "",
                         "RegDB Key: Software\\Vorn\\New\r\nRegDB Val: 7\r\nRegDB Root: 1\r\n"));
    EXPECT_EQ(Model().RegValuesToRemove.size(), 1u);

    ScriptBuilder test;
    test.Record(10, {1, 0}, {"Software\\Vorn", "x", "T"});
    test.Record(5, {}, {"APP.INI", "S", "k=v"});
    ASSERT_EQ(Run(test, RunMode::Test), run::Finished);
    EXPECT_EQ(std::tuple(Value("Software\\Vorn", "T"), Harness->Log.Text), std::tuple("", ""));

    // HKEY_LOCAL_MACHINE is read-only to this user: message 44, the run ends, nothing logged.
    ScriptBuilder denied;
    denied.Record(10, {2, 0}, {"Software\\Vorn", "x", "V"});
    denied.AddToLog("not reached\r\n");
    EXPECT_EQ(Run(denied), run::Aborted);
    EXPECT_EQ(std::tuple(Harness->BoxTexts().size(), Harness->Log.Text), std::tuple(1u, ""));
}

TEST_F(RegistryIniTest, IniValuesWithQuotesEqualsAndSemicolonsComeBackExactly) {
    auto& profile = Services->Profile();
    profile.WritePrivateProfileStringA("S", "padded", "\"  two  \"", "C:\\WINNT\\APP.INI");
    profile.WritePrivateProfileStringA("S", "eq", "a=b;c", "C:\\WINNT\\APP.INI");
    profile.WritePrivateProfileStringA("S", "blank", "", "C:\\WINNT\\APP.INI");
    ScriptBuilder script;
    script.Record(5, {}, {"APP.INI", "S", "padded=\"new\"\r\neq=x=\"y\";z\r\nblank=1\rnone"});
    script.Record(5, {}, {"%WIN%\\NEW.INI", "T", "k=v"});
    script.Record(5, {}, {"APP.INI", "Gone", ""});
    ASSERT_EQ(Run(script), run::Finished);
    const LogReadResult read = ParseInstallLog("*** \r\nTitle: T\r\n" + Harness->Log.Text);
    ASSERT_EQ(read.Log.Records.size(), 4u) << Harness->Log.Text;
    EXPECT_EQ(std::get<IniEntryRecord>(read.Log.Records[1].Record).Value, "x=\"y\";z");
    EXPECT_EQ(std::get<IniNewRecord>(read.Log.Records[3].Record).File, "C:\\WINNT\\NEW.INI");
    rescind::ItemLists lists = Model();
    ASSERT_EQ(lists.IniEntries.size(), 3u);
    // Writing the old values back gives what a reader saw before the edit.
    const char* before[] = {"  two  ", "a=b;c", ""};
    for (std::size_t i = 0; i < 3; ++i) {
        const rescind::IniEntryItem& item = lists.IniEntries[i];
        ASSERT_TRUE(item.UninstallValue) << item.Key;
        profile.WritePrivateProfileStringA("S", item.Key.c_str(), item.UninstallValue->c_str(),
                                           "C:\\WINNT\\APP.INI");
        std::array<char, 64> read{};
        const auto length = profile.GetPrivateProfileStringA("S", item.Key.c_str(), "?", read,
                                                             "C:\\WINNT\\APP.INI");
        EXPECT_EQ(std::string(read.data(), length), before[i]);
    }
}

TEST_F(RegistryIniTest, ReadOnlyIniSetsResultEGoesOnAndLogsOnlyWhatChanged) {
    Services->Profile().WritePrivateProfileStringA("S", "k", "old", "C:\\WINNT\\RO.INI");
    Services->Files().SetFileAttributesA("C:\\WINNT\\RO.INI", platform::file::AttributeReadOnly);
    ScriptBuilder script;
    script.Record(5, {}, {"RO.INI", "S", "k=new"});
    script.If("INSTALL_RESULT", 0, "E");
    script.Record(5, {}, {"OK.INI", "S", "k=new"});
    script.End();
    ASSERT_EQ(Run(script), run::Finished);
    EXPECT_EQ(Harness->Log.Text, "INI New: Created INI\r\nINI File: C:\\WINNT\\OK.INI\r\n"
                                 "INI Sect: S\r\nINI Item: k\r\nINI Val: new\r\n");
}

TEST_F(RegistryIniTest, ValueBuiltinsReadTheMachineOrGiveTheDefault) {
    SetValue("Software\\Vorn", "M", platform::reg::MultiSz, "a\0b\0\0"s);
    SetValue("Software\\Vorn", "P", platform::reg::Sz, "C:\\APP\\X.EXE\0"s);
    Services->Profile().WritePrivateProfileStringA("S", "k", "C:\\DIR\\F", "C:\\WINNT\\APP.INI");
    ScriptBuilder nothing;
    Run(nothing);
    struct Case {
        std::int32_t (*Function)(Engine&, const DllCallBlock&);
        std::string Argument;
        std::int32_t Result;
        std::string Value;
    } cases[] = {
        {f8, "1|V|APP.INI|S|k|d", 1, "C:\\DIR"},  {f8, "0|V|APP.INI|S|missing|d", 0, "d"},
        {f9, "2|V|Software\\Vorn|d|M", 1, "a|b"}, {f9, "3|V|Software\\Vorn|d|P", 1, "C:\\APP"},
        {f9, "9|V|Software\\Vorn|d|P", 0, "d"},   {f11, "V", 1, "C:\\WINNT\\SYSTEM32"},
        {f17, "0|V|NoSuchVariable|d", 0, "d"},    {f17, "1|V|ComSpec|d", 1, "C:\\WINNT\\SYSTEM32"},
    };
    // Fields are written with "|" for the 0x7F between them.
    const auto del = [](std::string text) {
        std::replace(text.begin(), text.end(), '|', '\x7F');
        return text;
    };
    for (const Case& c : cases) {
        EXPECT_EQ(testing::CallBuiltin(c.Function, *Harness->Machine, del(c.Argument)), c.Result)
            << c.Argument;
        EXPECT_EQ(Harness->Machine->Variables.GetVariable("V"), del(c.Value)) << c.Argument;
    }
}

} // namespace
} // namespace vorn
