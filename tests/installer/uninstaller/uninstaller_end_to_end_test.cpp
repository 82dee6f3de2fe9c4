// The uninstaller against a sandbox machine prepared to match a written log: the machine
// folder ends as it was before the installation.
#include "installer/uninstaller/uninstall_wizard.h"
#include "installer/uninstaller/uninstaller_run.h"
#include "platform/files.h"
#include "platform/headless/fault_injection_dde.h"
#include "platform/headless/headless_message_box.h"
#include "platform/headless/headless_uninstall_dialogs.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "sandbox_services.h"
#include "support/temp_file.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace {

namespace fs = std::filesystem;
using plandra::test::ReadFileText;
using plandra::test::WriteFileText;

constexpr std::string_view Header = "***  Installation Started 01/02/03 4:05  ***\r\n"
                                    "Title: Demo Installation\r\nSource: C:\\SETUP.EXE\r\n";

// Every entry of the machine folder with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        entries[name] = entry.is_directory() ? "<folder>" : ReadFileText(entry.path());
    }
    return entries;
}

// Cancels after a number of status texts and answers the shared-file questions in turn
// (keep once they run out).
class ScriptedUi final : public rescind::RemovalUi {
public:
    explicit ScriptedUi(int statuses) : Left(statuses) {}
    void Status(std::string_view) override { --Left; }
    void Progress(int, int) override {}
    bool Cancelled() override { return Left <= 0; }
    rescind::SharedFileAnswer AskSharedFile(std::string_view) override {
        ++Questions;
        if (Answers.empty()) {
            return rescind::SharedFileAnswer::Keep;
        }
        const rescind::SharedFileAnswer answer = Answers.front();
        Answers.erase(Answers.begin());
        return answer;
    }
    bool WindowClassExists(std::string_view) override { return false; }
    rescind::RunningServerAnswer AskServerRunning(std::string_view) override {
        return rescind::RunningServerAnswer::Abort;
    }
    void Pause(std::uint32_t) override {}

    std::vector<rescind::SharedFileAnswer> Answers;
    int Questions = 0;

private:
    int Left;
};

class Uninstaller : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(platform::SandboxMachine::Create(Machine(), platform::WindowsFamily::WindowsNT)
                        .Machine);
    }
    fs::path Machine() const { return Folder.Folder() / "machine"; }
    fs::path C(std::string_view path) const { return Machine() / "drive_c" / path; }

    // C:\APP with `programs` in it and a log of `records` after the header.
    void App(std::string_view records, std::initializer_list<const char*> programs = {}) {
        fs::create_directories(C("APP"));
        for (const char* program : programs) {
            WriteFileText(C("APP") / program, "program");
        }
        WriteFileText(C("APP/INSTALL.LOG"), std::string(Header) + std::string(records));
    }

    // Runs `act` on the machine's services, closed again afterwards.
    void OnMachine(const std::function<void(rescind::SandboxServices&)>& act) {
        auto opened = rescind::SandboxServices::Open(Machine(), Boxes);
        ASSERT_TRUE(opened.Services) << opened.Error;
        act(*opened.Services);
    }

    rescind::RunOutcome Run(std::vector<std::string_view> words, int cancelAfter = 1 << 30,
                            std::function<void(rescind::SandboxServices&)> during = {}) {
        ScriptedUi ui(cancelAfter);
        return Run(words, ui, during);
    }
    rescind::RunOutcome Run(std::vector<std::string_view> words, rescind::RemovalUi& ui,
                            std::function<void(rescind::SandboxServices&)> during = {},
                            const rescind::ProgramContext& program = {}) {
        rescind::RunOutcome outcome;
        OnMachine([&](rescind::SandboxServices& machine) {
            if (during) {
                during(machine);
            }
            outcome = rescind::RunUninstaller(rescind::ParseCommandLine(words), program,
                                              machine.Services(), ui);
        });
        return outcome;
    }

    plandra::test::TempFolder Folder;
    platform::HeadlessMessageBox Boxes;
};

std::string ReadValue(platform::RegistryService& registry, std::string_view key,
                      std::string_view name) {
    platform::HKEY handle = nullptr;
    if (registry.RegOpenKeyExA(platform::HKEY_LOCAL_MACHINE, key, 0, platform::reg::KeyRead,
                               handle) != platform::reg::Success) {
        return "no key";
    }
    std::array<char, 16> data{};
    std::uint32_t size = data.size();
    const long status = registry.RegQueryValueExA(handle, name, nullptr, data.data(), &size);
    registry.RegCloseKey(handle);
    return status == platform::reg::Success ? std::to_string(static_cast<unsigned char>(data[0]))
                                            : "none";
}

void SetValue(platform::RegistryService& registry, platform::HKEY root, std::string_view key,
              std::string_view name, std::string_view value) {
    platform::HKEY handle = nullptr;
    ASSERT_EQ(registry.RegCreateKeyExA(root, key, 0, platform::reg::KeyAllAccess, handle, nullptr),
              platform::reg::Success);
    const std::string data = std::string(value) + '\0';
    registry.RegSetValueExA(handle, name, platform::reg::Sz, data);
    registry.RegCloseKey(handle);
}

TEST_F(Uninstaller, AutomaticRunLeavesTheMachineAsBeforeTheInstallation) {
    OnMachine([](rescind::SandboxServices& machine) {
        SetValue(machine.Services().Registry, platform::HKEY_CURRENT_USER, "Software\\Old", "Mode",
                 "before");
        machine.Services().Profile.WritePrivateProfileStringA("Demo", "Colour", "red", "WIN.INI");
        std::string error;
        platform::SandboxProgramManager progman(machine.Services().Files, "C:\\WINNT");
        ASSERT_TRUE(
            progman.Execute("[CreateGroup(Main)][AddItem(C:\\APP\\A.EXE,Demo App)]", error));
    });
    const auto before = Snapshot(Machine());

    fs::create_directories(C("APP/DATA/EMPTY"));
    WriteFileText(C("APP/A.EXE"), "program");
    WriteFileText(C("APP/HELP.HLP"), "help");
    WriteFileText(C("APP/HELP.GID"), "index made by the help system");
    OnMachine([](rescind::SandboxServices& machine) {
        const rescind::UninstallServices& s = machine.Services();
        SetValue(s.Registry, platform::HKEY_LOCAL_MACHINE, "Software\\Demo\\App", "Path",
                 "C:\\APP");
        SetValue(s.Registry, platform::HKEY_CURRENT_USER, "Software\\Old", "Mode", "after");
        s.Profile.WritePrivateProfileStringA("Demo", "Colour", "blue", "WIN.INI");
        s.Profile.WritePrivateProfileStringA("Demo", "Added", "yes", "WIN.INI");
        s.Profile.WritePrivateProfileStringA("App", "Key", "1", "C:\\APP\\APP.INI");
        std::string error;
        platform::SandboxProgramManager progman(s.Files, "C:\\WINNT");
        ASSERT_TRUE(progman.Execute("[CreateGroup(Demo)][AddItem(C:\\APP\\A.EXE,Demo App)]", error))
            << error;
    });
    WriteFileText(
        C("APP/INSTALL.LOG"),
        std::string(Header) +
            "Made Dir: C:\\APP\r\nMade Dir: C:\\APP\\DATA\r\nMade Dir: C:\\APP\\DATA\\EMPTY\r\n"
            "File Copy: C:\\APP\\A.EXE\r\nFile Copy: C:\\APP\\HELP.HLP\r\n"
            "INI New: Created INI\r\nINI File: C:\\APP\\APP.INI\r\nINI Sect: App\r\n"
            "INI Item: Key\r\nINI Val: 1\r\n"
            "INI File: WIN.INI\r\nINI Sect: Demo\r\nINI Item: Colour\r\nINI Val: blue\r\n"
            "INI Old: red\r\n"
            "INI File: WIN.INI\r\nINI Sect: Demo\r\nINI Item: Added\r\nINI Val: yes\r\n"
            "RegDB Key: Software\\Demo\\App\r\nRegDB Val: C:\\APP\r\nRegDB Name: Path\r\n"
            "RegDB Root: 2\r\n"
            "RegDB Key: Software\\Old\r\nRegDB Val: after\r\nRegDB Name: Mode\r\n"
            "RegDB Root: 1\r\nRegDB Old: before\r\n"
            "Icon Group: Demo\r\nIcon Name: Demo App\r\nIcon Cmd: C:\\APP\\A.EXE\r\n");

    const rescind::RunOutcome outcome = Run({"/A", "C:\\APP\\INSTALL.LOG"});

    EXPECT_EQ(outcome.ExitCode, 0);
    ASSERT_TRUE(outcome.Report);
    EXPECT_TRUE(outcome.Report->LogRemoved);
    EXPECT_EQ(Snapshot(Machine()), before);
}

TEST_F(Uninstaller, RollbackPutsBackTheFilesTheLastInstallationReplaced) {
    fs::create_directories(C("APP/BACKUP"));
    WriteFileText(C("APP/A.EXE"), "version 2");
    WriteFileText(C("APP/BACKUP/A.EXE"), "version 1");
    WriteFileText(C("APP/B.DLL"), "new in 2");
    const std::string first =
        std::string(Header) + "Made Dir: C:\\APP\r\nFile Copy: C:\\APP\\A.EXE\r\n";
    WriteFileText(C("APP/INSTALL.LOG"),
                  first + std::string(Header) +
                      "Made Dir: C:\\APP\\BACKUP\r\nFile Overwrite: C:\\APP\\A.EXE\r\n"
                      "Backup Copy: C:\\APP\\BACKUP\\A.EXE\r\nFile Copy: C:\\APP\\B.DLL\r\n");

    const rescind::RunOutcome outcome = Run({"/A", "/R", "C:\\APP\\INSTALL.LOG"});

    EXPECT_EQ(outcome.ExitCode, 0);
    EXPECT_EQ(ReadFileText(C("APP/A.EXE")), "version 1");
    EXPECT_FALSE(fs::exists(C("APP/B.DLL")));
    EXPECT_FALSE(fs::exists(C("APP/BACKUP")));
    EXPECT_EQ(ReadFileText(C("APP/INSTALL.LOG")), first);
}

TEST_F(Uninstaller, EndsSoundlyWhenTheMachineOrTheLogIsNotAsRecorded) {
    using Prepare = std::function<void(Uninstaller&)>;
    struct Case {
        const char* Name;
        std::string LogTail = {};
        Prepare Before = {};
        std::function<void(rescind::SandboxServices&)> During = {};
        int CancelAfter = 1 << 30;
        int FirstExit = 0;
        bool SecondRun = false;
        std::vector<const char*> Gone = {"APP"};
        std::vector<const char*> Kept = {};
    };
    const std::vector<Case> cases = {
        {.Name = "file already gone", .LogTail = "File Copy: C:\\APP\\GONE.EXE\r\n"},
        {.Name = "read-only file",
         .During =
             [](rescind::SandboxServices& m) {
                 m.Services().Files.SetFileAttributesA("C:\\APP\\A.EXE",
                                                       platform::file::AttributeReadOnly);
             }},
        {.Name = "log cut in the middle of a record",
         .LogTail = "RegDB Key: Software\\Demo\r\nFile Co"},
        {.Name = "a file of the user's in a created folder",
         .Before = [](Uninstaller& t) { WriteFileText(t.C("APP/NOTES.TXT"), "mine"); },
         .FirstExit = 3,
         .Gone = {"APP/A.EXE", "APP/INSTALL.LOG"},
         .Kept = {"APP/NOTES.TXT"}},
        {.Name = "cancelled half way, then run again",
         .CancelAfter = 1,
         .FirstExit = 2,
         .SecondRun = true},
        {.Name = "file in use, deleted at the restart the run asks for",
         .During =
             [](rescind::SandboxServices& m) {
                 m.Services().Files.CreateFileA("C:\\APP\\B.EXE", platform::file::GenericRead, 0,
                                                platform::file::OpenExisting, 0);
             }},
        {.Name = "started in the folder it removes",
         .During =
             [](rescind::SandboxServices& m) {
                 ASSERT_TRUE(m.Services().Files.SetCurrentDirectoryA("C:\\APP"));
             }},
        {.Name = "log from another machine",
         .LogTail = "Made Dir: E:\\OTHER\r\nFile Copy: E:\\OTHER\\X.EXE\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(C("APP"));
        App("Made Dir: C:\\APP\r\nFile Copy: C:\\APP\\A.EXE\r\nFile Copy: C:\\APP\\B.EXE\r\n" +
                c.LogTail,
            {"A.EXE", "B.EXE"});
        if (c.Before) {
            c.Before(*this);
        }
        EXPECT_EQ(Run({"/A", "C:\\APP\\INSTALL.LOG"}, c.CancelAfter, c.During).ExitCode,
                  c.FirstExit);
        if (c.SecondRun) {
            EXPECT_TRUE(fs::exists(C("APP/INSTALL.LOG")));
            EXPECT_EQ(Run({"/A", "C:\\APP\\INSTALL.LOG"}).ExitCode, 0);
        }
        for (const char* gone : c.Gone) {
            EXPECT_FALSE(fs::exists(C(gone))) << gone;
        }
        for (const char* kept : c.Kept) {
            EXPECT_TRUE(fs::exists(C(kept))) << kept;
        }
    }
}

TEST_F(Uninstaller, SharedFilesStayWhileCountedAndGoOnlyWhenTheUserSaysYes) {
    constexpr std::string_view Shared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    std::string log;
    OnMachine([&](rescind::SandboxServices& machine) {
        for (const char* name : {"A", "B", "C", "D"}) {
            const std::string path = "C:\\WINNT\\SYSTEM32\\" + std::string(name) + ".DLL";
            WriteFileText(C("WINNT/SYSTEM32/" + std::string(name) + ".DLL"), "library");
            platform::HKEY key = nullptr;
            machine.Services().Registry.RegOpenKeyExA(platform::HKEY_LOCAL_MACHINE, Shared, 0,
                                                      platform::reg::KeyAllAccess, key);
            const char count[4] = {static_cast<char>(name[0] == 'A' ? 3 : 1), 0, 0, 0};
            machine.Services().Registry.RegSetValueExA(key, path, platform::reg::Dword, count);
            machine.Services().Registry.RegCloseKey(key);
            log += "File Copy: " + path + "\r\n";
        }
    });
    App(log);
    ScriptedUi ui(1 << 30);
    ui.Answers = {rescind::SharedFileAnswer::Remove, rescind::SharedFileAnswer::KeepAll};

    Run({"/A", "C:\\APP\\INSTALL.LOG"}, ui);

    // System files are asked about from the last one logged back to the first.
    EXPECT_EQ(ui.Questions, 2);
    EXPECT_TRUE(fs::exists(C("WINNT/SYSTEM32/A.DLL")));
    EXPECT_TRUE(fs::exists(C("WINNT/SYSTEM32/B.DLL")));
    EXPECT_TRUE(fs::exists(C("WINNT/SYSTEM32/C.DLL")));
    EXPECT_FALSE(fs::exists(C("WINNT/SYSTEM32/D.DLL")));
    OnMachine([&](rescind::SandboxServices& machine) {
        platform::RegistryService& registry = machine.Services().Registry;
        EXPECT_EQ(ReadValue(registry, Shared, "C:\\WINNT\\SYSTEM32\\A.DLL"), "2");
        EXPECT_EQ(ReadValue(registry, Shared, "C:\\WINNT\\SYSTEM32\\B.DLL"), "none");
    });
}

TEST_F(Uninstaller, AnInstalledTreeGoesWholeWhileAMadeFolderKeepsTheUsersFiles) {
    fs::create_directories(C("TREE/SUB"));
    fs::create_directories(C("APP/EMPTY"));
    WriteFileText(C("TREE/SUB/DATA.BIN"), "tree file");
    WriteFileText(C("APP/NOTES.TXT"), "the user's");
    OnMachine([](rescind::SandboxServices& machine) {
        std::string error;
        platform::SandboxProgramManager progman(machine.Services().Files, "C:\\WINNT");
        ASSERT_TRUE(
            progman.Execute("[CreateGroup(StartUp)][AddItem(C:\\TREE\\T.EXE,Tool)]", error));
    });
    WriteFileText(
        C("APP/INSTALL.LOG"),
        std::string(Header) +
            "Made Dir: C:\\APP\r\nMade Dir: C:\\APP\\EMPTY\r\nFile Tree: C:\\TREE\\*.*\r\n"
            "Icon Group: StartUp\r\nIcon Name: Tool\r\nIcon Cmd: C:\\TREE\\T.EXE\r\n");

    const rescind::RunOutcome outcome = Run({"/A", "C:\\APP\\INSTALL.LOG"});

    EXPECT_FALSE(fs::exists(C("TREE")));
    EXPECT_FALSE(fs::exists(C("APP/EMPTY")));
    EXPECT_TRUE(fs::exists(C("APP/NOTES.TXT")));
    ASSERT_TRUE(outcome.Report);
    ASSERT_EQ(outcome.Report->Left.size(), 1u);
    EXPECT_EQ(outcome.Report->Left[0].Item, "C:\\APP\\");
    OnMachine([](rescind::SandboxServices& machine) {
        platform::SandboxProgramManager progman(machine.Services().Files, "C:\\WINNT");
        ASSERT_EQ(progman.Groups().size(), 1u);
        EXPECT_TRUE(progman.Groups()[0].Items.empty());
    });
}

TEST_F(Uninstaller, AValueItMayNotDeleteKeepsTheLogSoThatALaterRunFinishes) {
    OnMachine([](rescind::SandboxServices& machine) {
        SetValue(machine.Services().Registry, platform::HKEY_LOCAL_MACHINE, "Software\\Demo",
                 "Path", "C:\\APP");
    });
    App("File Copy: C:\\APP\\A.EXE\r\nRegDB Key: Software\\Demo\r\nRegDB Val: C:\\APP\r\n"
        "RegDB Name: Path\r\nRegDB Root: 2\r\n",
        {"A.EXE"});
    const auto admin = [&](bool on) {
        std::string ini = ReadFileText(Machine() / "machine.ini");
        ini.replace(ini.find(on ? "Admin=0" : "Admin=1"), 7, on ? "Admin=1" : "Admin=0");
        WriteFileText(Machine() / "machine.ini", ini);
    };

    admin(false);
    EXPECT_EQ(Run({"/A", "C:\\APP\\INSTALL.LOG"}).ExitCode, 3);
    EXPECT_FALSE(fs::exists(C("APP/A.EXE")));
    EXPECT_TRUE(fs::exists(C("APP/INSTALL.LOG")));
    admin(true);
    EXPECT_EQ(Run({"/A", "C:\\APP\\INSTALL.LOG"}).ExitCode, 0);
    EXPECT_FALSE(fs::exists(C("APP")));
}

int Unregistered = 0;

TEST_F(Uninstaller, SelfRegisteredFilesAndDeviceLinesAreReleasedBeforeTheFilesGo) {
    fs::create_directories(C("APP"));
    std::string image(68, '\0');
    image.replace(0, 2, "MZ");
    image[60] = 64;
    image.replace(64, 4, std::string("PE\0\0", 4));
    WriteFileText(C("APP/SERVER.DLL"), image);
    WriteFileText(C("APP/V.386"), "driver");
    std::string systemIni = ReadFileText(C("WINNT/SYSTEM.INI"));
    systemIni.insert(systemIni.find("device=*vmm"), "device=C:\\APP\\V.386\r\n");
    WriteFileText(C("WINNT/SYSTEM.INI"), systemIni);
    WriteFileText(C("APP/INSTALL.LOG"),
                  std::string(Header) +
                      "File Copy: C:\\APP\\SERVER.DLL\r\n"
                      "Self-Register: C:\\APP\\SERVER.DLL\r\n"
                      "File Copy: C:\\APP\\V.386\r\nAdd Device: C:\\APP\\V.386\r\n");
    Unregistered = 0;

    Run({"/A", "C:\\APP\\INSTALL.LOG"}, 1 << 30, [](rescind::SandboxServices& machine) {
        machine.Libraries().AddLibrary("C:\\APP\\SERVER.DLL",
                                       {{"DllUnregisterServer", [](void*) -> std::int32_t {
                                             ++Unregistered;
                                             return 0;
                                         }}});
    });

    EXPECT_EQ(Unregistered, 1);
    EXPECT_FALSE(fs::exists(C("APP")));
    EXPECT_NE(ReadFileText(C("WINNT/SYSTEM.INI")).find(";device=C:\\APP\\V.386\r\n"),
              std::string::npos);
}

TEST_F(Uninstaller, CustomModeTakesTheAnswerFilesChoicesAndKeepsTheLog) {
    App("File Copy: C:\\APP\\A.EXE\r\nFile Copy: C:\\APP\\B.EXE\r\n", {"A.EXE", "B.EXE"});
    WriteFileText(C("APP/RESCIND32.ANS"), "[Method]\r\nMode=Custom\r\n"
                                          "[Selections]\r\nPrivate Files=2\r\n");
    ScriptedUi ui(1 << 30);

    Run({"C:\\APP\\INSTALL.LOG"}, ui, {}, {"", "C:\\APP\\RESCIND32.ANS", ""});

    EXPECT_TRUE(fs::exists(C("APP/A.EXE")));
    EXPECT_FALSE(fs::exists(C("APP/B.EXE")));
    EXPECT_TRUE(fs::exists(C("APP/INSTALL.LOG")));
}

TEST_F(Uninstaller, MessagesComeFromTheSettingsFileBesideTheProgram) {
    fs::create_directories(C("APP"));
    WriteFileText(C("APP/INSTALL.LOG"), "not a log");
    WriteFileText(C("APP/RESCIND32.INI"), "[Language]\r\nMsg4=Kein Protokoll.|Ende\r\n");
    ScriptedUi ui(1 << 30);

    Run({"C:\\APP\\INSTALL.LOG"}, ui, {}, {"C:\\APP\\RESCIND32.EXE", "", ""});

    ASSERT_EQ(Boxes.Boxes.size(), 1u);
    EXPECT_EQ(Boxes.Boxes[0].Text, "Kein Protokoll.\r\nEnde");
    EXPECT_EQ(Boxes.Boxes[0].Caption, "Vorn Installer Uninstall");
}

TEST_F(Uninstaller, RefusesALogWhosePathsClimbOutOfTheirFolders) {
    App("File Copy: C:\\APP\\..\\WINNT\\WIN.INI\r\n");

    EXPECT_EQ(Run({"/A", "C:\\APP\\INSTALL.LOG"}).ExitCode, 1);
    EXPECT_TRUE(fs::exists(C("WINNT/WIN.INI")));
    ASSERT_EQ(Boxes.Boxes.size(), 1u);
    EXPECT_EQ(Boxes.Boxes[0].Text, "The INSTALL.LOG file names a path the uninstall will not "
                                   "touch:\r\nC:\\APP\\..\\WINNT\\WIN.INI");
}

TEST_F(Uninstaller, CustomRunKeepsWhatTheUserLeftUnticked) {
    using Dialog = platform::HeadlessUninstallDialogs::Dialog;
    namespace w = rescind::wizard;
    const auto press = [](int id) { return [id](Dialog& dialog) { dialog.Press(id); }; };
    const auto keepOnlyFirst = [](Dialog& dialog) {
        dialog.Press(w::SelectNone);
        dialog.ListSetSel(w::Items, 0, true);
    };
    struct Case {
        const char* Name;
        std::string Answers;
        std::deque<std::function<void(Dialog&)>> Steps;
    };
    const Case cases[] = {
        {"answer file",
         "[Method]\r\nMode=Custom\r\n[Selections]\r\nPrivate Files=1\r\nINI Entries=1\r\n"
         "Registry Values=1\r\nServices=None\r\n",
         {}},
        {"wizard",
         "",
         {[](Dialog& dialog) {
              dialog.CheckRadioButton(w::FirstRadio, w::SecondRadio, w::SecondRadio);
          },
          press(w::Next), keepOnlyFirst, press(w::Next), press(w::Next), keepOnlyFirst,
          press(w::Next), keepOnlyFirst, press(w::Next), press(w::SelectNone), press(w::Next),
          press(w::Next)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(Machine());
        SetUp();
        // What stays: the kept items and the log that records everything.
        fs::create_directories(C("APP"));
        WriteFileText(C("APP/B.EXE"), "program");
        OnMachine([](rescind::SandboxServices& machine) {
            const rescind::UninstallServices& s = machine.Services();
            SetValue(s.Registry, platform::HKEY_LOCAL_MACHINE, "Software\\Demo\\Kept", "Path", "B");
            s.Profile.WritePrivateProfileStringA("Demo", "Kept", "yes", "WIN.INI");
            platform::UniqueService manager(
                s.ServiceControl.OpenSCManagerA(nullptr, nullptr, platform::svc::ManagerAllAccess),
                {&s.ServiceControl});
            platform::UniqueService service(
                s.ServiceControl.CreateServiceA(
                    manager.Get(), "DemoService", "Demo", platform::svc::AllAccess,
                    platform::svc::Win32OwnProcess, platform::svc::DemandStart,
                    platform::svc::ErrorNormal, "C:\\APP\\B.EXE"),
                {&s.ServiceControl});
            ASSERT_TRUE(service);
        });
        WriteFileText(
            C("APP/INSTALL.LOG"),
            std::string(Header) +
                "Made Dir: C:\\APP\r\nFile Copy: C:\\APP\\A.EXE\r\nFile Copy: C:\\APP\\B.EXE\r\n"
                "INI File: WIN.INI\r\nINI Sect: Demo\r\nINI Item: Added\r\nINI Val: yes\r\n"
                "INI File: WIN.INI\r\nINI Sect: Demo\r\nINI Item: Kept\r\nINI Val: yes\r\n"
                "RegDB Key: Software\\Demo\\Gone\r\nRegDB Val: A\r\nRegDB Name: Path\r\n"
                "RegDB Root: 2\r\n"
                "RegDB Key: Software\\Demo\\Kept\r\nRegDB Val: B\r\nRegDB Name: Path\r\n"
                "RegDB Root: 2\r\nCreate Service: DemoService\r\n");
        WriteFileText(C("APP/CHOICES.ANS"), c.Answers);
        const auto kept = Snapshot(Machine());
        // What goes.
        WriteFileText(C("APP/A.EXE"), "program");
        OnMachine([](rescind::SandboxServices& machine) {
            const rescind::UninstallServices& s = machine.Services();
            SetValue(s.Registry, platform::HKEY_LOCAL_MACHINE, "Software\\Demo\\Gone", "Path", "A");
            s.Profile.WritePrivateProfileStringA("Demo", "Added", "yes", "WIN.INI");
        });

        platform::HeadlessUninstallDialogs dialogs;
        dialogs.Steps = c.Steps;
        ScriptedUi questions(1 << 30);
        rescind::UninstallWizard wizard(dialogs, {}, questions);
        rescind::ProgramContext program;
        program.AnswerFile = c.Answers.empty() ? "" : "C:\\APP\\CHOICES.ANS";
        program.Wizard = c.Answers.empty() ? &wizard : nullptr;
        const rescind::RunOutcome outcome = Run(
            {"C:\\APP\\INSTALL.LOG"},
            c.Answers.empty() ? static_cast<rescind::RemovalUi&>(wizard) : questions, {}, program);

        EXPECT_EQ(outcome.ExitCode, 0);
        EXPECT_EQ(Snapshot(Machine()), kept);
        EXPECT_EQ(dialogs.Wizard, nullptr);
    }
}

TEST_F(Uninstaller, WithoutALogNamedTheUserPicksOneOrEndsTheRun) {
    App("File Copy: C:\\APP\\A.EXE\r\n", {"A.EXE"});
    for (const char* picked : {"", "C:\\APP\\INSTALL.LOG"}) {
        platform::HeadlessUninstallDialogs dialogs;
        dialogs.OpenFileAnswer = picked;
        ScriptedUi questions(1 << 30);
        rescind::UninstallWizard wizard(dialogs, {}, questions);
        rescind::ProgramContext program;
        program.Wizard = &wizard;

        const rescind::RunOutcome outcome = Run({"/A"}, wizard, {}, program);

        EXPECT_EQ(outcome.ExitCode, *picked == '\0' ? 1 : 0) << picked;
        EXPECT_EQ(fs::exists(C("APP/A.EXE")), *picked == '\0') << picked;
    }
    EXPECT_TRUE(Boxes.Boxes.empty());

    // Started with nothing on its command line (a Program Manager item that is the
    // program's path alone), it takes the log beside itself.
    App("File Copy: C:\\APP\\A.EXE\r\n", {"A.EXE"});
    ScriptedUi ui(1 << 30);
    EXPECT_EQ(Run({}, ui, {}, {"C:\\APP\\RESCIND32.EXE", "", ""}).ExitCode, 0);
    EXPECT_FALSE(fs::exists(C("APP/A.EXE")));
}

// Program items under a shell that takes Program Manager's commands but cannot say what
// its groups hold (Wine's): the GROUPS request gets no answer.
TEST_F(Uninstaller, ItemsGoByNameWhereTheShellCannotListItsGroups) {
    struct Case {
        const char* Name;
        std::string Made;
        std::string Logged;
        std::string Left;
        int ExitCode;
    };
    const auto item = [](std::string group, std::string name) {
        return "Icon Group: " + group + "\r\nIcon Name: " + name + "\r\nIcon Cmd: C:\\APP\\" +
               name + ".EXE\r\n";
    };
    const std::vector<Case> cases = {
        {"the items go and their group stays: it may hold the user's",
         "[CreateGroup(Demo)][AddItem(C:\\APP\\A.EXE,A)][AddItem(C:\\APP\\B.EXE,B)]",
         item("Demo", "A") + item("Demo", "B"), "Demo()", 3},
        {"a group that is gone touches no other", "[CreateGroup(Main)][AddItem(C:\\APP\\A.EXE,A)]",
         item("Demo", "A"), "Main(A)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(Machine());
        SetUp();
        App(c.Logged);
        OnMachine([&](rescind::SandboxServices& machine) {
            std::string error;
            platform::SandboxProgramManager progman(machine.Services().Files, "C:\\WINNT");
            ASSERT_TRUE(progman.Execute(c.Made, error)) << error;
            platform::FaultInjectingDde dde(machine.Services().Dde);
            dde.Plan.FailAt(platform::DdeCall::DdeClientTransaction, 1,
                            platform::dde::NotProcessedError);
            const rescind::UninstallServices& m = machine.Services();
            const rescind::UninstallServices services{m.Files,  m.Registry,  m.Profile,
                                                      m.System, m.Processes, m.ServiceControl,
                                                      dde,      m.Libraries, m.Boxes};
            ScriptedUi ui(1 << 30);
            EXPECT_EQ(
                rescind::RunUninstaller(rescind::ParseCommandLine({"/A", "C:\\APP\\INSTALL.LOG"}),
                                        {}, services, ui)
                    .ExitCode,
                c.ExitCode);
            std::string left;
            for (const platform::ProgramGroup& group : progman.Groups()) {
                left += group.Name + "(";
                for (const platform::ProgramItem& each : group.Items) {
                    left += each.Name;
                }
                left += ")";
            }
            EXPECT_EQ(left, c.Left);
        });
    }
}

// The 3D-look library, when the machine has one, is registered for the run and
// unregistered at its end.
std::string Ctl3dCalls;

template <char Letter> std::int32_t Ctl3dEntry(void*) {
    Ctl3dCalls += Letter;
    return 1;
}

TEST_F(Uninstaller, RegistersWithTheThreeDLookLibraryForTheRun) {
    for (const bool present : {true, false}) {
        App("File Copy: C:\\APP\\A.EXE\r\n", {"A.EXE"});
        Ctl3dCalls.clear();

        const rescind::RunOutcome outcome =
            Run({"/A", "C:\\APP\\INSTALL.LOG"}, 1 << 30, [&](rescind::SandboxServices& machine) {
                if (present) {
                    machine.Libraries().AddLibrary("CTL3D32.DLL",
                                                   {{"Ctl3dRegister", &Ctl3dEntry<'R'>},
                                                    {"Ctl3dAutoSubclass", &Ctl3dEntry<'A'>},
                                                    {"Ctl3dUnregister", &Ctl3dEntry<'U'>}});
                }
            });

        EXPECT_EQ(outcome.ExitCode, 0);
        EXPECT_EQ(Ctl3dCalls, present ? "RAU" : "");
        EXPECT_FALSE(fs::exists(C("APP")));
    }
}

} // namespace
