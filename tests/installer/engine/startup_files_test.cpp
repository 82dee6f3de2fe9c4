// The start-up and text file built-ins on a sandbox machine, and the uninstaller putting
// the edited files back from the backups they logged.
#include "engine_fakes.h"
#include "installer/engine/script_builder.h"
#include "installer/engine/startup_file_builtins.h"
#include "installer/engine/text_file_edit.h"
#include "installer/uninstaller/log_model.h"
#include "installer/uninstaller/removal_engine.h"
#include "installer/uninstaller/uninstaller_run.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using plandra::test::ReadFileText;
using plandra::test::WriteFileText;

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "|";
    }
    return text;
}

TEST(ApplyLineEdit, PlacesTheNewLine) {
    const std::vector<std::string> file{"@ECHO OFF", "  path C:\\DOS", "SET TEMP=C:\\TEMP"};
    struct Case {
        long Flags;
        const char* Search;
        const char* Comment;
        long Line;
        const char* After;
    } cases[] = {
        {0x02, "PATH", "", 0, "@ECHO OFF|NEW|  path C:\\DOS|SET TEMP=C:\\TEMP|"},
        {0x00, "PATH", "", 0, "@ECHO OFF|  path C:\\DOS|SET TEMP=C:\\TEMP|NEW|"},
        {0x01 | 0x02, "PATH", "", 2, "@ECHO OFF|NEW|  path C:\\DOS|SET TEMP=C:\\TEMP|"},
        {0x03, "path", "", 0, "@ECHO OFF|NEW|  path C:\\DOS|SET TEMP=C:\\TEMP|"},
        {0x20 | 0x08, "TEMP", "", 0, "@ECHO OFF|  path C:\\DOS|NEW|"},
        {0x20 | 0x08, "TEMP", "REM ", 0, "@ECHO OFF|  path C:\\DOS|REM SET TEMP=C:\\TEMP|NEW|"},
        {0x40 | 0x10, "\\DOS", "", 0, "@ECHO OFF|  path C:\\DOS|NEW|SET TEMP=C:\\TEMP|"},
        {0x40, "nothing", "", 9, "@ECHO OFF|  path C:\\DOS|SET TEMP=C:\\TEMP|NEW|"},
        {0x00, "", "", 1, "NEW|@ECHO OFF|  path C:\\DOS|SET TEMP=C:\\TEMP|"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = file;
        EXPECT_TRUE(ApplyLineEdit(lines, {c.Flags, c.Search, "NEW", c.Comment, c.Line}));
        EXPECT_EQ(Joined(lines), c.After) << c.Flags << " " << c.Search;
    }
    std::vector<std::string> lines = file;
    EXPECT_FALSE(ApplyLineEdit(lines, {0, "", " set temp=c:\\temp ", "", 0}));
}

class StartupFilesTest : public ::testing::Test {
protected:
    void Make(platform::WindowsFamily family, std::vector<std::uint8_t> script = {}) {
        Machine = platform::SandboxMachine::Create(Folder.Folder(), family).Machine;
        ASSERT_TRUE(Machine);
        Services = std::make_unique<testing::SandboxTestMachine>(*Machine);
        Harness = std::make_unique<testing::EngineHarness>(std::move(script));
        Harness->Machine->Services.Machine = Services.get();
        std::filesystem::create_directories(Native("C:\\APP"));
    }

    std::filesystem::path Native(std::string_view path) const {
        return Machine->Resolve(path).Native;
    }
    bool Exists(std::string_view path) const { return std::filesystem::exists(Native(path)); }
    std::string Text(std::string_view path) const { return ReadFileText(Native(path)); }

    std::int32_t Call(std::int32_t (*function)(Engine&, const DllCallBlock&),
                      const std::string& argument) {
        return testing::CallBuiltin(function, *Harness->Machine, argument);
    }

    // Reads the run's log back as the uninstaller does and rolls the installation back.
    void RollBack() {
        const std::string log =
            "***  Installation Started 12/07/26 9:00  ***\r\nTitle: T\r\nSource: S\r\n" +
            Harness->Log.Text;
        vorn::LogReadResult read = vorn::ParseInstallLog(log);
        ASSERT_FALSE(read.Error);
        platform::MachineServices& m = *Services;
        rescind::UninstallServices services{m.Files(),  m.Registry(),  m.Profile(),
                                            m.System(), m.Processes(), m.ServiceControl(),
                                            m.Dde(),    m.Libraries(), m.Boxes()};
        rescind::ServiceFacts facts(services);
        rescind::ModelResult model =
            rescind::BuildItemLists(read.Log, "C:\\APP\\INSTALL.LOG", facts);
        ASSERT_FALSE(model.RefusedPath);
        rescind::RemovalOptions options;
        options.Rollback = true;
        rescind::QuietRemovalUi ui;
        rescind::RunRemoval(model.Lists, options, services, rescind::StringTable{}, ui);
    }

    plandra::test::TempFolder Folder;
    std::unique_ptr<platform::SandboxMachine> Machine;
    std::unique_ptr<testing::SandboxTestMachine> Services;
    std::unique_ptr<testing::EngineHarness> Harness;
};

TEST_F(StartupFilesTest, EditsAreUndoneFromTheirBackups) {
    Make(platform::WindowsFamily::Windows95);
    const std::string autoexec = "@ECHO OFF\r\nPATH C:\\DOS\r\n";
    const std::string config = "DEVICE=HIMEM.SYS\r\nfiles = 20 \r\n";
    const std::string notes = "one\r\ntwo\r\n";
    WriteFileText(Native("C:\\AUTOEXEC.BAT"), autoexec);
    WriteFileText(Native("C:\\CONFIG.SYS"), config);
    WriteFileText(Native("C:\\APP\\NOTES"), notes);
    // Two AUTOEXEC.BAT edits asking for a backup make one; CONFIG.SYS through f21; any
    // other text file: a backup per edit.
    using testing::Fields;
    const std::pair<std::int32_t (*)(Engine&, const DllCallBlock&), std::string> edits[] = {
        {f1, Fields({"4", "PATH", "SET APP=1", "", "0"})},
        {f1, Fields({"4", "PATH", "SET APP2=1", "", "0"})},
        {f1, Fields({"4", "PATH", "set app=1", "", "0"})},
        {f21, Fields({"40", "30"})},
        {f25, Fields({"0", "C:\\APP\\NOTES", "", "three", "", "0"})},
        {f25, Fields({"0", "C:\\APP\\NOTES", "", "four", "", "0"})},
    };
    for (const auto& [function, argument] : edits) {
        EXPECT_EQ(Call(function, argument), 1) << argument;
    }
    EXPECT_EQ(Text("C:\\AUTOEXEC.BAT"), "@ECHO OFF\r\nSET APP=1\r\nSET APP2=1\r\nPATH C:\\DOS\r\n");
    EXPECT_EQ(Text("C:\\CONFIG.SYS"), "Buffers=30\r\nDEVICE=HIMEM.SYS\r\nfiles = 40 \r\n");
    EXPECT_EQ(Text("C:\\APP\\NOTES"), "one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_FALSE(Exists("C:\\AUTOEXEC.002"));
    EXPECT_FALSE(Exists("C:\\~KTRS383.TMP"));
    EXPECT_EQ(Harness->Machine->Variables.GetVariable("RESTART"), "S");
    EXPECT_EQ(Harness->Log.Text,
              "File Edit: C:\\AUTOEXEC.BAT\r\nBackup Copy: C:\\AUTOEXEC.001\r\n"
              "File Edit: C:\\CONFIG.SYS\r\nBackup Copy: C:\\CONFIG.001\r\n"
              "File Edit: C:\\APP\\NOTES\r\nBackup Copy: C:\\APP\\NOTES.001\r\n"
              "File Edit: C:\\APP\\NOTES\r\nBackup Copy: C:\\APP\\NOTES.002\r\n");
    RollBack();
    EXPECT_EQ(Text("C:\\AUTOEXEC.BAT"), autoexec);
    EXPECT_EQ(Text("C:\\CONFIG.SYS"), config);
    EXPECT_EQ(Text("C:\\APP\\NOTES"), notes);
    EXPECT_FALSE(Exists("C:\\AUTOEXEC.001") || Exists("C:\\APP\\NOTES.001"));
}

TEST_F(StartupFilesTest, FilesThatCannotBeEditedAreReportedAndNotLogged) {
    Make(platform::WindowsFamily::Windows95);
    WriteFileText(Native("C:\\APP\\A.TXT"), "a\r\n");
    EXPECT_EQ(Call(f25, testing::Fields({"0", "C:\\APP\\MISSING.TXT", "", "x"})), 0);
    int uses = Services->Faulty.Plan.Uses(platform::FileCall::CreateFileA);
    Services->Faulty.Plan.FailAt(platform::FileCall::CreateFileA, uses + 2,
                                 platform::winerror::AccessDenied);
    EXPECT_EQ(Call(f25, testing::Fields({"0", "C:\\APP\\A.TXT", "", "x"})), 0);
    EXPECT_EQ(Text("C:\\APP\\A.TXT"), "a\r\n");
    EXPECT_EQ(Harness->Log.Text, "");
    std::vector<std::string> boxes = Harness->BoxTexts();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find("C:\\APP\\MISSING.TXT"), std::string::npos);
    EXPECT_NE(boxes[1].find("C:\\APP\\A.TXT"), std::string::npos);
}

TEST_F(StartupFilesTest, SearchPathOnBothFamilies) {
    Make(platform::WindowsFamily::Windows95);
    WriteFileText(Native("C:\\AUTOEXEC.BAT"), "@path c:\\dos;C:\\APP\\BIN\r\nSET PATH = C:\\X\r\n");
    EXPECT_EQ(Call(f0, "C:\\APP\\BIN"), 1);
    EXPECT_EQ(Text("C:\\AUTOEXEC.BAT"),
              "@path c:\\dos;C:\\APP\\BIN\r\nSET PATH = C:\\X;C:\\APP\\BIN\r\n");
    WriteFileText(Native("C:\\AUTOEXEC.BAT"), "@ECHO OFF\r\n");
    EXPECT_EQ(Call(f0, "C:\\NEW"), 1);
    EXPECT_EQ(Text("C:\\AUTOEXEC.BAT"), "@ECHO OFF\r\nSET PATH=C:\\NEW;%PATH%\r\n");
    // Only the first edit of the run leaves a backup.
    EXPECT_TRUE(Exists("C:\\AUTOEXEC.001"));
    EXPECT_FALSE(Exists("C:\\AUTOEXEC.002"));
}

TEST_F(StartupFilesTest, SearchPathOfWindowsNt) {
    Make(platform::WindowsFamily::WindowsNT);
    const std::string key = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    platform::RegistryService& registry = Services->Registry();
    platform::HKEY handle = nullptr;
    ASSERT_EQ(registry.RegCreateKeyExA(platform::HKEY_LOCAL_MACHINE, key, 0,
                                       platform::reg::KeyWrite, handle, nullptr),
              platform::reg::Success);
    registry.RegSetValueExA(handle, "Path", platform::reg::ExpandSz,
                            std::string_view("C:\\OS;", 7));
    registry.RegCloseKey(handle);
    EXPECT_EQ(Call(f0, "C:\\APP"), 1);
    EXPECT_EQ(Call(f0, " c:\\app"), 1);
    EXPECT_EQ(Harness->Machine->Variables.GetVariable("RESTART"), "W");
    EXPECT_EQ(Harness->Log.Text, "RegDB Key: " + key +
                                     "\r\nRegDB Val: C:\\OS;C:\\APP\r\nRegDB Name: Path\r\n"
                                     "RegDB Type: 1\r\nRegDB Root: 2\r\nRegDB Old: C:\\OS;\r\n");
}

TEST_F(StartupFilesTest, DeviceLineOfSystemIni) {
    Make(platform::WindowsFamily::Windows95);
    const std::string windows = Machine->Description().WindowsDirectory;
    const std::string ini = windows + "\\SYSTEM.INI";
    WriteFileText(Native(ini),
                  "[boot]\r\nshell=x\r\n[386Enh]\r\n;device=OLD.386\r\ndevice=KEEP.386\r\n");
    EXPECT_EQ(Call(f3, "KEEP.386"), 1);
    EXPECT_EQ(Call(f3, "OLD.386"), 1);
    EXPECT_EQ(Call(f3, "NEW.386"), 1);
    EXPECT_EQ(Text(ini), "[boot]\r\nshell=x\r\n[386Enh]\r\ndevice=NEW.386\r\ndevice=OLD.386\r\n"
                         "device=KEEP.386\r\n");
    const std::string system = Machine->Description().SystemDirectory;
    EXPECT_EQ(Harness->Log.Text,
              "Add Device: " + system + "\\OLD.386\r\nAdd Device: " + system + "\\NEW.386\r\n");
}

TEST_F(StartupFilesTest, BytesConditionsAndAttributesOfSingleFiles) {
    Make(platform::WindowsFamily::Windows95);
    WriteFileText(Native("C:\\APP\\DATA.BIN"), "0123456789ABCDEF");
    Engine& engine = *Harness->Machine;
    engine.Variables.SetVariable("V", "xyz");
    using testing::Fields;
    EXPECT_EQ(Call(f15, Fields({"0", "C:\\APP\\DATA.BIN", "V", "4", "2"})), 1);
    EXPECT_EQ(Call(f15, Fields({"2", "C:\\APP\\DATA.BIN", "V", "10", "0"})), 1);
    EXPECT_EQ(Text("C:\\APP\\DATA.BIN"), std::string("0123xy6789xyz\0EF", 16));
    EXPECT_EQ(Call(f15, Fields({"1", "C:\\APP\\DATA.BIN", "R", "10", "6"})), 1);
    EXPECT_EQ(engine.Variables.GetVariable("R"), "xyz");
    struct Case {
        int Flags;
        const char* Path;
        bool Holds;
    } cases[] = {{0x00, "C:\\APP", true},           {0x01, "C:\\APP", false},
                 {0x40, "C:\\APP", false},          {0x41, "C:\\APP", true},
                 {0x40, "C:\\APP\\DATA.BIN", true}, {0x80, "C:\\APP", false},
                 {0x80, "C:\\NONE", true},          {0x81, "NOT-LOADED.DLL", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(Call(f19, Fields({std::to_string(c.Flags), c.Path, "text", "title"})),
                  c.Holds ? 1 : 0)
            << c.Flags << " " << c.Path;
    }
    EXPECT_EQ(Harness->BoxTexts().size(), 4u);
    EXPECT_EQ(Call(f20, Fields({"1", "C:\\APP\\*.BIN"})), 1);
    EXPECT_EQ(Services->Files().GetFileAttributesA("C:\\APP\\DATA.BIN"),
              platform::file::AttributeArchive | platform::file::AttributeReadOnly);
    EXPECT_EQ(Call(f20, Fields({"0", "C:\\APP\\*.NONE"})), 0);
}

TEST_F(StartupFilesTest, LinesReadOneByOneAndWrittenThrough) {
    ScriptBuilder b;
    using testing::Fields;
    b.CallDll(call::While | call::OwnFunction, "", "f33",
              {Fields({"3", "LINE", "C:\\APP\\LIST.TXT", std::string(40, ' ')})});
    b.CallDll(call::OwnFunction, "", "f16", {Fields({"0", "ALL", "%LINE%;"})});
    b.CallDll(call::OwnFunction, "", "f16", {Fields({"1", "LINE", "[%LINE%]"})});
    b.End();
    Make(platform::WindowsFamily::Windows95, b.Build());
    WriteFileText(Native("C:\\APP\\LIST.TXT"), "a\r\n\r\nc");
    Harness->Run();
    EXPECT_EQ(Harness->Machine->Variables.GetVariable("ALL"), "a;;c;");
    EXPECT_EQ(Text("C:\\APP\\LIST.TXT"), "[a]\r\n[]\r\n[c]\r\n");
    EXPECT_EQ(Text("C:\\APP\\LIST.001"), "a\r\n\r\nc");
    EXPECT_EQ(Harness->Log.Text,
              "File Edit: C:\\APP\\LIST.TXT\r\nBackup Copy: C:\\APP\\LIST.001\r\n");
    EXPECT_TRUE(StartupFiles(*Harness->Machine).LineFiles.empty());
}

} // namespace
} // namespace vorn
