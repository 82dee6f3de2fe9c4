// One run of the uninstaller from its command line to the end.
#include "uninstaller_run.h"

#include "ctl3d_look.h"
#include "platform/ansi_text.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "platform/system_info.h"
#include "uninstall_wizard.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace rescind {

namespace {

// A log larger than this is no log the engine wrote.
constexpr std::uint32_t LargestLog = 64u << 20;
// The value read back when a key is missing: no override.
constexpr char NoOverride[] = "\x7f";

std::string WindowsFolderOf(const UninstallServices& services) {
    std::string folder = platform::ReadSystemText(
        [&](std::span<char> buffer) { return services.System.GetWindowsDirectoryA(buffer); });
    while (folder.size() > 3 && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder;
}

std::string ProfileText(platform::ProfileService& profile, const char* section, const char* key,
                        const std::string& file) {
    std::array<char, 1024> buffer{};
    const std::uint32_t length =
        profile.GetPrivateProfileStringA(section, key, NoOverride, buffer, file);
    return std::string(buffer.data(), length);
}

// The list numbers of a selection: "All", "None" or "1,3,4".
void Select(const std::string& answer, std::size_t count, auto&& set) {
    if (answer == NoOverride) {
        return;
    }
    const bool all = platform::EqualsIgnoringCase(platform::TrimBlanks(answer), "All");
    for (std::size_t i = 0; i < count; ++i) {
        set(i, all);
    }
    if (all) {
        return;
    }
    std::size_t start = 0;
    while (start <= answer.size()) {
        std::size_t end = answer.find(',', start);
        end = end == std::string::npos ? answer.size() : end;
        const std::string_view word =
            platform::TrimBlanks(std::string_view(answer).substr(start, end - start));
        std::size_t number = 0;
        const auto read = std::from_chars(word.data(), word.data() + word.size(), number);
        if (read.ec == std::errc{} && number >= 1 && number <= count) {
            set(number - 1, true);
        }
        start = end + 1;
    }
}

// Makes the copy of the running program that finishes the run by deleting the program
// itself; empty when none could be made.
std::string MakeSelfCopy(const UninstallServices& services, const std::string& program, bool nt) {
    const std::string temp = platform::ReadSystemText(
        [&](std::span<char> buffer) { return services.System.GetTempPathA(buffer); });
    std::string copy;
    if (temp.empty() || services.Files.GetTempFileNameA(temp, "KTB", 6699, copy) == 0) {
        return {};
    }
    const std::size_t dot = copy.rfind('.');
    copy = (dot == std::string::npos ? copy : copy.substr(0, dot)) + ".EXE";
    if (!services.Files.CopyFileA(program, copy, false)) {
        return {};
    }
    if (nt) {
        services.Files.MoveFileExA(copy, nullptr, platform::file::MoveDelayUntilReboot);
    } else {
        AppendWininitDelete(services.Files, WindowsFolderOf(services), copy);
    }
    return copy;
}

// The second stage, running from the copy: the first process has ended, so its program
// file can go, with the folders it leaves empty.
void RunSecondStage(const CommandLine& line, const UninstallServices& services, RemovalUi& ui) {
    ui.Pause(1000);
    // Only a program file is ever deleted here, whatever the command line says.
    if (IsSafeMachinePath(line.LogPath) && platform::EndsWithIgnoringCase(line.LogPath, ".EXE")) {
        services.Files.SetFileAttributesA(line.LogPath, platform::file::AttributeNormal);
        services.Files.DeleteFileA(line.LogPath);
        RemoveEmptyFolders(services, ParentFolder(line.LogPath));
    }
    if (IsSafeMachinePath(line.SecondArgument)) {
        RemoveEmptyFolders(services, line.SecondArgument);
    }
}

std::string LeftBehindText(const RemovalReport& report, const StringTable& strings) {
    std::string text = strings.Text(text::LeftBehindHeading);
    for (const LeftBehind& left : report.Left) {
        text += left.Item + ": " + left.Reason + "\r\n";
    }
    return text;
}

} // namespace

std::string SettingsPath(std::string_view programPath) {
    const std::size_t slash = programPath.rfind('\\');
    const std::size_t dot = programPath.rfind('.');
    const bool extension =
        dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    return std::string(extension ? programPath.substr(0, dot) : programPath) + ".INI";
}

StringTable SettingsStrings(platform::ProfileService& profile, std::string settingsPath) {
    StringTable table;
    table.Overrides = [&profile,
                       path = std::move(settingsPath)](int number) -> std::optional<std::string> {
        const std::string key = "Msg" + std::to_string(number);
        std::string value = ProfileText(profile, "Language", key.c_str(), path);
        if (value == NoOverride) {
            return std::nullopt;
        }
        return number == text::StatusTemplate ? value : ReplaceAll(std::move(value), "|", "\r\n");
    };
    return table;
}

ServiceFacts::ServiceFacts(const UninstallServices& services) : S(services) {
    Windows = WindowsFolderOf(services);
    System = platform::ReadSystemText(
        [&](std::span<char> buffer) { return services.System.GetSystemDirectoryA(buffer); });
    platform::OsVersionInfo version;
    if (services.System.GetVersionExA(version)) {
        Shell4 = version.MajorVersion >= 4;
    }
}

bool ServiceFacts::FileExists(std::string_view path) {
    return S.Files.GetFileAttributesA(path) != platform::file::InvalidAttributes;
}

bool ServiceFacts::OnRemovableFloppy(std::string_view path) {
    if (path.size() < 2 || path[1] != ':') {
        return false;
    }
    const char drive = platform::UpperAnsi(path[0]);
    if (drive != 'A' && drive != 'B') {
        return false;
    }
    const char root[] = {drive, ':', '\\', '\0'};
    return S.Files.GetDriveTypeA(root) == platform::file::DriveRemovable;
}

bool ServiceFacts::IsCountedSharedFile(std::string_view path) {
    if (!Shell4) {
        return false;
    }
    platform::HKEY handle = nullptr;
    if (S.Registry.RegOpenKeyExA(platform::HKEY_LOCAL_MACHINE,
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0,
                                 platform::reg::KeyQueryValue, handle) != platform::reg::Success) {
        return false;
    }
    platform::UniqueRegistryKey key(handle, {&S.Registry});
    return S.Registry.RegQueryValueExA(key.Get(), path, nullptr, nullptr, nullptr) ==
           platform::reg::Success;
}

bool ServiceFacts::IniHasValue(std::string_view file, std::string_view section,
                               std::string_view key) {
    const std::string path = std::string(file);
    return ProfileText(S.Profile, std::string(section).c_str(), std::string(key).c_str(), path) !=
           NoOverride;
}

vorn::LogReadResult ReadLogFile(platform::FileService& files, const std::string& path) {
    vorn::LogReadResult failed;
    failed.Error = vorn::LogReadError::CannotOpen;
    platform::UniqueFile file(files.CreateFileA(path, platform::file::GenericRead,
                                                platform::file::ShareRead,
                                                platform::file::OpenExisting, 0),
                              {&files});
    if (!file) {
        return failed;
    }
    std::uint32_t high = 0;
    const std::uint32_t size = files.GetFileSize(file.Get(), &high);
    if (size == platform::file::InvalidFileSize || high != 0 || size > LargestLog) {
        return failed;
    }
    std::string text(size, '\0');
    std::uint32_t read = 0;
    if (size > 0 && (!files.ReadFile(file.Get(), text, read) || read != size)) {
        return failed;
    }
    return vorn::ParseInstallLog(text);
}

bool ApplyAnswers(platform::ProfileService& profile, const std::string& answerFile,
                  ItemLists& lists, bool& rollback) {
    const std::string mode = ProfileText(profile, "Method", "Mode", answerFile);
    rollback = ProfileText(profile, "Method", "Rollback", answerFile) == "1";
    if (!platform::EqualsIgnoringCase(mode, "Custom")) {
        return true;
    }
    const auto answer = [&](const char* list) {
        return ProfileText(profile, "Selections", list, answerFile);
    };
    const auto each = [&](const char* list, auto& items) {
        Select(answer(list), items.size(),
               [&](std::size_t i, bool selected) { items[i].Selected = selected; });
    };
    each("Private Files", lists.PrivateFiles);
    each("System Files", lists.SystemFiles);
    each("Directories", lists.Directories);
    each("INI Files", lists.IniFiles);
    each("INI Entries", lists.IniEntries);
    each("Registry Values", lists.RegValuesToRemove);
    each("Registry Restores", lists.RegValuesToRestore);
    each("Registry Trees", lists.RegTrees);
    each("Program Items", lists.ProgramItems);
    each("External Programs", lists.ExternalPrograms);
    each("Services", lists.Services);
    Select(answer("Sub-System"), lists.SubSystem.empty() ? 0 : 1,
           [&](std::size_t, bool selected) { lists.SubSystemSelected = selected; });
    return false;
}

RunOutcome RunUninstaller(const CommandLine& line, const ProgramContext& program,
                          const UninstallServices& services, RemovalUi& ui) {
    RunOutcome outcome;
    if (line.SecondStageDeletes) {
        RunSecondStage(line, services, ui);
        return outcome;
    }
    // Registered until the run ends, unregistered on every way out.
    const Ctl3dLook look(services.Libraries, program.Instance);
    const StringTable strings =
        program.ProgramPath.empty()
            ? StringTable{}
            : SettingsStrings(services.Profile, SettingsPath(program.ProgramPath));
    const auto message = [&](std::string_view text, std::string_view caption, unsigned type) {
        return services.Boxes.MessageBoxA(text, caption, type);
    };
    std::string logPath = line.LogPath;
    if (logPath.empty() && !program.ProgramPath.empty()) {
        const std::string beside = std::string(ParentFolder(program.ProgramPath)) + "\\INSTALL.LOG";
        if (services.Files.GetFileAttributesA(beside) != platform::file::InvalidAttributes) {
            logPath = beside;
        }
    }
    if (logPath.empty() && program.Wizard != nullptr && !line.Silent) {
        logPath = program.Wizard->PickLog(strings);
        if (logPath.empty()) {
            outcome.ExitCode = 1;
            return outcome;
        }
    }
    if (logPath.empty()) {
        message(strings.Text(text::CannotOpenLog), strings.Text(text::MessageCaption),
                platform::mb::Ok);
        outcome.ExitCode = 1;
        return outcome;
    }
    platform::OsVersionInfo version;
    const bool nt = !services.System.GetVersionExA(version) ||
                    version.PlatformId == platform::sysinfo::PlatformNT;
    const vorn::LogReadResult read = ReadLogFile(services.Files, logPath);
    if (read.Error) {
        message(strings.Text(*read.Error == vorn::LogReadError::CannotOpen ? text::CannotOpenLog
                                                                           : text::InvalidLog),
                strings.Text(text::MessageCaption), platform::mb::Ok);
        outcome.ExitCode = 1;
        return outcome;
    }
    ServiceFacts facts(services);
    ModelResult model = BuildItemLists(read.Log, logPath, facts);
    if (model.RefusedPath) {
        message(FormatWithText(strings.Text(text::UnsafeLog), *model.RefusedPath),
                strings.Text(text::MessageCaption), platform::mb::Ok);
        outcome.ExitCode = 1;
        return outcome;
    }
    ItemLists& lists = model.Lists;
    outcome.Title = line.SecondArgument.empty() ? strings.Text(text::Uninstall) + " " + lists.Title
                                                : line.SecondArgument;
    if (lists.AdminInstall && nt) {
        platform::UniqueService manager(services.ServiceControl.OpenSCManagerA(
                                            nullptr, nullptr, platform::svc::ManagerAllAccess),
                                        {&services.ServiceControl});
        if (!manager) {
            message(strings.Text(text::AdminNeeded), strings.Text(text::Uninstall),
                    platform::mb::Ok);
            outcome.ExitCode = 1;
            return outcome;
        }
    }

    RemovalOptions options;
    options.Silent = line.Silent;
    options.Rollback = line.Rollback;
    options.LogPath = logPath;
    options.OwnExecutable = program.ProgramPath;
    options.DateTime = program.DateTime;
    const bool wizard = program.Wizard != nullptr && !line.Silent;
    if (wizard) {
        const WizardChoice choice = program.Wizard->Choose(
            lists, strings, {outcome.Title, lists.Title, line.Automatic, line.Rollback});
        if (choice.Cancelled) {
            program.Wizard->RemovalOver();
            outcome.ExitCode = 2;
            return outcome;
        }
        options.Mode = choice.Mode;
        options.Rollback = choice.Rollback;
    } else if ((!line.Automatic || line.Silent) && !program.AnswerFile.empty()) {
        bool rollback = false;
        const bool automatic = ApplyAnswers(services.Profile, program.AnswerFile, lists, rollback);
        options.Mode = automatic ? RemovalMode::Automatic : RemovalMode::Custom;
        options.Rollback = options.Rollback || rollback;
    }

    // A run started with "/Z" is a copy already and makes none of its own.
    const std::string copy = program.ProgramPath.empty() || line.SecondStage
                                 ? std::string()
                                 : MakeSelfCopy(services, program.ProgramPath, nt);
    RemovalReport report = RunRemoval(lists, options, services, strings, ui);
    if (wizard) {
        program.Wizard->RemovalOver();
    }
    if (model.DroppedRecords > 0) {
        report.Left.push_back({std::to_string(model.DroppedRecords) + " records of the log",
                               "more items of one kind than the uninstaller lists (4096)", false});
    }

    if (report.RebootNeeded && !line.Silent) {
        const int answer = message(strings.Text(text::RebootNeeded), outcome.Title,
                                   nt ? platform::mb::OkCancel : platform::mb::Ok);
        report.RebootNeeded = answer != platform::id::Cancel;
    }
    if (!report.Left.empty() && !line.Silent) {
        message(LeftBehindText(report, strings), outcome.Title, platform::mb::IconInformation);
    }
    if (!copy.empty()) {
        platform::ProcessInformation started;
        const std::string command = "\"" + copy + "\" /z \"" + program.ProgramPath + "\" \"" +
                                    lists.ApplicationDirectory + "\"";
        if (report.OwnExecutableToDelete &&
            services.Processes.CreateProcessA(copy.c_str(), command.c_str(), 0, nullptr, {},
                                              started)) {
            services.Processes.CloseHandle(started.Process);
        } else {
            services.Files.DeleteFileA(copy);
        }
    }
    if (report.RebootNeeded) {
        services.Processes.ExitWindowsEx(platform::process::ExitReboot, 0xFFFFFFFFu);
    }
    outcome.ExitCode = report.Cancelled || report.Aborted ? 2 : report.Left.empty() ? 0 : 3;
    outcome.Report = std::move(report);
    return outcome;
}

} // namespace rescind
