// Opcode 21's facts and the built-ins that find files and add fonts, on sandbox machines.
#include "engine_fakes.h"
#include "installer/engine/builtin_functions.h"
#include "installer/engine/date_rules.h"
#include "installer/engine/engine_display.h"
#include "installer/engine/install_context.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/system_information_action.h"
#include "installer/log/install_log_reader.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>
#include <regex>

namespace vorn {
namespace {

using plandra::test::ReadFileText;
using plandra::test::WriteFileText;

// A machine with drives A (floppy), C, D (CD-ROM), F (a connected share) and G (a share
// remembered but not connected), a labelled C and a network user.
struct Rig {
    explicit Rig(platform::WindowsFamily family = platform::WindowsFamily::WindowsNT,
                 std::uint32_t major = 4, std::uint32_t minor = 0) {
        platform::MachineDescription machine =
            platform::SandboxMachine::Create(Folder.Folder(), family).Machine->Description();
        machine.MajorVersion = major;
        machine.MinorVersion = minor;
        machine.ServicePack = "Service Pack 3";
        machine.MemoryKilobytes = 65536;
        machine.Drives.push_back({'F', platform::file::DriveRemote, 100ull << 20, 50ull << 20});
        machine.Drives.push_back({'G', platform::file::DriveRemote, 100ull << 20, 50ull << 20});
        WriteFileText(Folder.Folder() / "machine.ini",
                      platform::SandboxMachine::DescriptionText(machine) +
                          "[Volumes]\r\nC=1A2B-3C4D DISK0001.ABC\r\n"
                          "[Network]\r\nUser=jdoe\r\nF=\\\\SERVER\\APPS\r\n");
        Machine = platform::SandboxMachine::Open(Folder.Folder()).Machine;
        Services = std::make_unique<testing::SandboxTestMachine>(*Machine);
        H.Machine->Services.Machine = Services.get();
    }

    void File(std::string_view path, std::string_view content = "12345") {
        std::filesystem::path native = Machine->Resolve(path).Native;
        std::filesystem::create_directories(native.parent_path());
        WriteFileText(native, content);
    }

    void SetValue(std::string_view key, std::string_view name, std::string_view text) {
        platform::RegistryService& registry = Services->Registry();
        platform::HKEY opened = nullptr;
        registry.RegCreateKeyExA(platform::HKEY_LOCAL_MACHINE, key, 0, platform::reg::KeyAllAccess,
                                 opened, nullptr);
        std::string data(text);
        registry.RegSetValueExA(opened, name, platform::reg::Sz, {data.c_str(), data.size() + 1});
        registry.RegCloseKey(opened);
    }

    std::int32_t Call(std::size_t function, const std::string& argument) {
        return testing::CallBuiltin(H.Machine->Builtins[function], *H.Machine, argument);
    }

    std::string Variable(std::string_view name) { return H.Machine->Variables.GetVariable(name); }

    plandra::test::TempFolder Folder;
    std::unique_ptr<platform::SandboxMachine> Machine;
    std::unique_ptr<testing::SandboxTestMachine> Services;
    testing::EngineHarness H{{}};
};

struct Item {
    std::uint8_t Number;
    const char* Parameter;
    const char* Expected;
};

// Runs one opcode 21 record per item into V0, V1, ... and checks each variable.
void ExpectItems(Rig& rig, const std::vector<Item>& items) {
    ScriptBuilder script;
    for (std::size_t i = 0; i < items.size(); ++i) {
        script.Record(21, {items[i].Number}, {"V" + std::to_string(i), items[i].Parameter});
    }
    rig.H.Bytes = script.Build();
    rig.H.Machine->Program = Script(rig.H.Bytes, 1, 0);
    rig.H.Run();
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(rig.Variable("V" + std::to_string(i)), items[i].Expected)
            << "item " << int{items[i].Number} << " of " << items[i].Parameter;
    }
}

TEST(SystemInformation, EveryItemOnWindowsNt) {
    Rig rig;
    rig.File("C:\\APP\\DATA.BIN");
    // 14 March 1997, 13:05:30.
    WriteDosStamp(rig.Services->Files(), "C:\\APP\\DATA.BIN",
                  {(17 << 9) | (3 << 5) | 14, (13 << 11) | (5 << 5) | 15});
    rig.SetValue("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "RegisteredOwner",
                 "Jane Doe   ");
    ExpectItems(rig, {{1, "", "4.0.1381"},
                      {2, "", "5.50"},
                      {3, "", "65536"},
                      {4, "C:\\APP\\DATA.BIN", "03/14/97 13:05:30"},
                      {4, "C:\\APP\\NONE.BIN", ""},
                      {5, "C:\\APP\\DATA.BIN", ""},
                      {6, "", "Jane Doe"},
                      {7, "", ""},
                      {8, "a:\\setup", "F"},
                      {8, "C", "H"},
                      {8, "D", "C"},
                      {8, "F", "N"},
                      {8, "Q", ""},
                      {9, "", "F:"},
                      {10, "", "D:"},
                      {11, "C", ""},
                      {12, "F:\\SETUP\\A.EXE", "\\\\SERVER\\APPS\\SETUP\\A.EXE"},
                      {12, "G:\\X", "G:\\X"},
                      {12, "C:\\X", "C:\\X"},
                      {13, "", "C:\\SETUP\\SETUP.EXE"},
                      {14, "C:\\APP\\DATA.BIN", "5"},
                      {14, "C:\\APP", ""},
                      {15, "C", "1a2b-3c4d"},
                      {15, "Q", ""},
                      {16, "C:\\", "DISK0001ABC"},
                      {16, "D", ""},
                      {17, "", "jdoe"},
                      {18, "none", "3"},
                      {19, "C", ""}});
    EXPECT_TRUE(std::regex_match(SystemInformation(*rig.H.Machine, 0, ""),
                                 std::regex(R"(\d\d/\d\d/\d\d \d{1,2}:\d\d:\d\d)")));
}

TEST(SystemInformation, Windows95Family) {
    Rig rig(platform::WindowsFamily::Windows95, 4, 10);
    rig.SetValue("SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "RegisteredOrganization", "Firm");
    ExpectItems(rig, {{1, "", "4.10.950"}, {2, "", "7.10"}, {7, "", "Firm"}, {18, "none", "3"}});
}

TEST(FileSearch, DrivesAndSearchPath) {
    Rig rig;
    rig.File("C:\\APP\\SUB\\DEEP\\FIND.ME");
    rig.File("F:\\SHARED\\NET.DAT");
    rig.File("C:\\WINNT\\TOOL.EXE");
    // f13 looks on the drives, f22 along the search path: flags, variable, file, default.
    struct Case {
        std::size_t Function;
        std::string Argument;
        std::int32_t Result;
        const char* Value;
    } cases[] = {
        {13, testing::Fields({"0", "V", "FIND.ME", "dflt"}), 1, "C:\\APP\\SUB\\DEEP\\FIND.ME"},
        {13, testing::Fields({"1", "V", "find.me", "dflt"}), 1, "C:\\APP\\SUB\\DEEP"},
        {13, testing::Fields({"2", "V", "FIND.ME", "dflt"}), 0, "dflt"},
        {13, testing::Fields({"0", "V", "NET.DAT", "dflt"}), 0, "dflt"},
        {13, testing::Fields({"4", "V", "NET.DAT", "dflt"}), 1, "F:\\SHARED\\NET.DAT"},
        {13, testing::Fields({"0", "V", "*.ME", "dflt"}), 0, "dflt"},
        {22, testing::Fields({"0", "V", "TOOL.EXE", "dflt"}), 1, "C:\\WINNT\\TOOL.EXE"},
        {22, testing::Fields({"1", "V", "TOOL.EXE", "dflt"}), 1, "C:\\WINNT"},
        {22, testing::Fields({"0", "V", "FIND.ME", "dflt"}), 0, "dflt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rig.Call(c.Function, c.Argument), c.Result) << c.Argument;
        EXPECT_EQ(rig.Variable("V"), c.Value) << c.Argument;
    }
}

std::vector<LogEntry> LogRecords(const std::string& text) {
    return ParseInstallLog("***  Installation Started 01/01/97 0:00  ***\r\nTitle: T\r\n" + text)
        .Log.Records;
}

TEST(AddFont, RegistersOnceAndLogsTheValue) {
    Rig rig;
    rig.File("C:\\WINNT\\FONTS\\PLAN.TTF");
    EXPECT_EQ(rig.Call(10, "PLAN.TTF\x7FPlan (TrueType)"), 1);
    EXPECT_EQ(rig.Call(10, "PLAN.TTF\x7FPlan (TrueType)"), 1) << "a second time changes nothing";
    EXPECT_EQ(rig.Call(10, "NONE.TTF\x7FNone (TrueType)"), 0);
    rig.File("C:\\WINNT\\FONTS\\BAD.TTF");
    platform::FaultPlan<platform::FontCall>& plan = rig.Services->FaultyFonts.Plan;
    plan.FailAt(platform::FontCall::AddFontResourceA,
                plan.Uses(platform::FontCall::AddFontResourceA) + 1, 0);
    EXPECT_EQ(rig.Call(10, testing::Fields({"BAD.TTF", "Bad (TrueType)"})), 0)
        << "a font not loaded stays unregistered";
    RegValueRecord expected;
    expected.Key = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    expected.Value = "PLAN.TTF";
    expected.Name = "Plan (TrueType)";
    expected.Root = 2;
    EXPECT_EQ(LogRecords(rig.H.Log.Text), (std::vector<LogEntry>{{1, expected}}));
    EXPECT_EQ(rig.Services->FontCalls.Added().size(), 2u);
    EXPECT_NE(ReadFileText(rig.Folder.Folder() / "messages.log").find("Broadcast 29"),
              std::string::npos);
}

TEST(AddFont, OlderSystemsMakeAResourceFileAndUseWinIni) {
    Rig rig(platform::WindowsFamily::WindowsNT, 3, 51);
    rig.File("C:\\WINNT\\SYSTEM32\\PLAN.TTF");
    EXPECT_EQ(rig.Call(10, "PLAN.TTF\x7FPlan (TrueType)"), 1);
    IniEntryRecord entry{"C:\\WINNT\\WIN.INI", "Fonts", "Plan (TrueType)", "PLAN.FOT", {}};
    FileRecord resource;
    resource.Path = "C:\\WINNT\\SYSTEM32\\PLAN.FOT";
    EXPECT_EQ(LogRecords(rig.H.Log.Text), (std::vector<LogEntry>{{1, resource}, {1, entry}}));
    EXPECT_EQ(rig.Services->FontCalls.Added(),
              std::vector<std::string>{"C:\\WINNT\\SYSTEM32\\PLAN.FOT"});
}

// f23 sums the chosen parts per drive against the free space: C has 1024 MB free, F 50 MB;
// a share's free space cannot be read in the sandbox and so is never short.
TEST(DiskSpaceCheck, ComparesTheChosenPartsWithEachDrive) {
    const char* shortOnF = "Drive F: needs 58594 KB, has 51200 KB";
    const std::string twoDrives =
        testing::Fields({"0", "", "C:\\P", "1000000", "SEL", "F:\\DATA", "60000000"});
    struct Case {
        const char* Chosen;
        std::string Argument;
        std::int32_t Result;
        const char* Box;
    } cases[] = {
        {"", twoDrives, 1, nullptr},
        {"0", twoDrives, 1, nullptr},
        {"1", twoDrives, 0, shortOnF},
        {"1", testing::Fields({"0", "SEL", "F:\\A", "30000000", "", "f:\\B", "30000000"}), 0,
         shortOnF},
        {"",
         testing::Fields({"0", "", "\\\\SERVER\\APPS\\P", "99999999999", "", "P", "9999999999"}), 1,
         nullptr},
    };
    for (const Case& c : cases) {
        Rig rig;
        std::vector<std::string> texts(MessageTable::Count);
        texts[11] = "Drive %s needs %s KB, has %s KB";
        MessageTable messages(texts);
        rig.H.Machine->Messages = &messages;
        rig.H.Machine->Variables.SetVariable("SEL", c.Chosen);
        EXPECT_EQ(rig.Call(23, c.Argument), c.Result) << c.Argument;
        EXPECT_EQ(rig.H.BoxTexts(),
                  c.Box != nullptr ? std::vector<std::string>{c.Box} : std::vector<std::string>{});
    }
    // Flag bit 0: the progress bar counts against the chosen parts alone.
    Rig rig;
    InstallContext context;
    EngineDisplay display(*rig.H.Machine, context, nullptr, nullptr);
    display.Configure({8000000, 0, 0, 0, 0, false});
    rig.H.Machine->Display = &display;
    rig.H.Machine->Variables.SetVariable("SEL", "0");
    EXPECT_EQ(
        rig.Call(23, testing::Fields({"1", "", "C:\\P", "1000000", "SEL", "C:\\Q", "7000000"})), 1);
    context.BytesCopied = 250000;
    EXPECT_EQ(display.Percent(), 25);
}

} // namespace
} // namespace vorn
