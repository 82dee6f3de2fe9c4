// The removal engine: external programs, services, the sub-system, INI files and entries,
// files, directories, registry values and trees, program items, then the log and the
// status file, each step over the lists in its own order.
#include "removal_engine.h"

#include "log_model.h"
#include "platform/ansi_text.h"
#include "platform/dde.h"
#include "platform/files.h"
#include "platform/library.h"
#include "platform/message_box.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/service_control.h"
#include "platform/system_info.h"
#include "status_file.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace rescind {

namespace {

using platform::EqualsIgnoringCase;
using platform::HKEY;
using platform::UniqueRegistryKey;

constexpr std::string_view SharedDllsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr std::string_view BdeKey = "Software\\Borland\\Database Engine";
constexpr std::uint32_t MaxSubKeysPerLevel = 2048;
constexpr int MaxKeyDepth = 64;

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

std::string ErrorReason(std::uint32_t error) {
    switch (error) {
    case platform::winerror::SharingViolation:
        return "in use by a running program";
    case platform::winerror::AccessDenied:
        return "access denied";
    case platform::winerror::DirNotEmpty:
        return "not empty";
    default:
        return "error " + std::to_string(error);
    }
}

// The registry value types by the numbers the log writes.
std::uint32_t RegistryType(int typeNumber) {
    switch (typeNumber) {
    case 1:
        return platform::reg::ExpandSz;
    case 2:
        return platform::reg::MultiSz;
    case 3:
        return platform::reg::Dword;
    case 4:
        return platform::reg::Binary;
    default:
        return platform::reg::Sz;
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The bytes of a value to write back, from its text form in the log.
std::string ValueBytes(int typeNumber, const std::vector<std::string>& strings) {
    const std::string first = strings.empty() ? std::string() : strings.front();
    switch (RegistryType(typeNumber)) {
    case platform::reg::MultiSz: {
        std::string joined;
        for (const std::string& each : strings) {
            joined += each;
            joined += '\0';
        }
        return joined + '\0';
    }
    case platform::reg::Dword: {
        std::uint32_t number = 0;
        for (char c : platform::TrimBlanks(first)) {
            if (c < '0' || c > '9') {
                break;
            }
            number = number * 10 + static_cast<std::uint32_t>(c - '0');
        }
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) {
            bytes[static_cast<std::size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFF);
        }
        return bytes;
    }
    case platform::reg::Binary: {
        std::string bytes;
        int high = -1;
        for (char c : first) {
            const int digit = HexDigit(c);
            if (digit < 0) {
                continue;
            }
            if (high < 0) {
                high = digit;
            } else {
                bytes += static_cast<char>(high * 16 + digit);
                high = -1;
            }
        }
        return bytes;
    }
    default:
        return first + '\0';
    }
}

// A key path whose whole tree must never go, whatever a log says: a root's own
// top-level keys that hold everyone's settings.
bool IsProtectedTree(int root, std::string_view key) {
    const std::vector<std::string_view> names = platform::SplitBackslashNames(key);
    if (names.empty()) {
        return true;
    }
    if (names.size() > 1) {
        return false;
    }
    if (root != 0) {
        return true;
    }
    static constexpr std::array<std::string_view, 6> Shared{"CLSID", "Interface", "TypeLib",
                                                            "AppID", "*",         "Folder"};
    return std::any_of(Shared.begin(), Shared.end(),
                       [&](std::string_view name) { return EqualsIgnoringCase(name, names[0]); });
}

// Program Manager's answer to a request, one text line at a time.
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\0') {
            break;
        }
        if (c == '\r' || c == '\n') {
            if (!line.empty()) {
                lines.push_back(std::move(line));
            }
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

// The comma-separated fields of a group line, quotes removed.
std::vector<std::string> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// The user interface of a removal nobody watches.
class NoUi final : public RemovalUi {
public:
    void Status(std::string_view) override {}
    void Progress(int, int) override {}
    bool Cancelled() override { return false; }
    SharedFileAnswer AskSharedFile(std::string_view) override { return SharedFileAnswer::Keep; }
    bool WindowClassExists(std::string_view) override { return false; }
    RunningServerAnswer AskServerRunning(std::string_view) override {
        return RunningServerAnswer::Abort;
    }
    void Pause(std::uint32_t) override {}
};

class Remover {
public:
    Remover(ItemLists& lists, const RemovalOptions& options, const UninstallServices& services,
            const StringTable& strings, RemovalUi& ui)
        : Lists(lists), Options(options), S(services), Strings(strings), Ui(ui) {}

    RemovalReport Run();
    /// The directory step alone, empty folders only.
    void RemoveListedFolders() {
        ReadFolders();
        for (const DirectoryItem& folder : Lists.Directories) {
            if (!IsProtectedFolder(folder.Path)) {
                RemoveTree(WithoutTrailingSlash(folder.Path), false, 0);
            }
        }
    }

private:
    void ReadFolders() {
        WindowsFolder = WithoutTrailingSlash(platform::ReadSystemText(
            [&](std::span<char> buffer) { return S.System.GetWindowsDirectoryA(buffer); }));
        SystemFolder = WithoutTrailingSlash(platform::ReadSystemText(
            [&](std::span<char> buffer) { return S.System.GetSystemDirectoryA(buffer); }));
    }
    bool Custom() const { return Options.Mode == RemovalMode::Custom; }
    bool InScope(int installation) const { return installation >= Threshold; }
    bool Stopped() {
        if (!Report.Cancelled && Ui.Cancelled()) {
            Report.Cancelled = true;
        }
        return Report.Cancelled || Report.Aborted;
    }
    void Show(int number, std::string_view item) {
        Ui.Status("\r\n\r\n" + Strings.Text(number) + ShortDisplayPath(item));
    }
    void Step() { Ui.Progress(++Done, Total); }
    void Leave(std::string item, std::string reason, bool retry = false) {
        Report.Left.push_back({std::move(item), std::move(reason), retry});
    }

    void RunExternalPrograms();
    void DeleteServices();
    void ReleaseSubSystem();
    void RemoveIniFiles();
    void RestoreIniEntries();
    void RestoreEditedFiles();
    void PrepareFiles(std::vector<FileItem>& files, bool system);
    void RemoveFiles(std::vector<FileItem>& files, bool system);
    void ReregisterRestoredFiles();
    void RemoveDirectories(bool afterLog);
    void RestoreRegistryValues();
    void RemoveRegistryValues();
    void RemoveRegistryTrees();
    void RemoveProgramItems();
    void FinishLog();

    SharedFileAnswer ReleaseSharedCount(const std::string& path, bool& shared);
    void Unregister(const std::string& path, bool reregister);
    void RemoveDeviceLine(const std::string& path);
    bool RemoveFile(const std::string& path);
    void RestoreFile(const std::string& backup, const std::string& target);
    bool ScheduleReplacement(const std::string& source, const char* target);
    void RemoveTree(const std::string& folder, bool withFiles, int depth);
    bool DeleteKeyTree(HKEY root, const std::string& key, int depth);
    bool IsProtectedFolder(const std::string& folder) const {
        return WithoutTrailingSlash(folder).size() < 4 ||
               IsSystemFolder(folder, WindowsFolder, SystemFolder);
    }
    std::string IniPath(const std::string& file) const {
        return file.find('\\') == std::string::npos ? WindowsFolder + "\\" + file : file;
    }
    UniqueRegistryKey OpenKey(HKEY root, std::string_view key, std::uint32_t access, long& status) {
        HKEY handle = nullptr;
        status = S.Registry.RegOpenKeyExA(root, key, 0, access, handle);
        return UniqueRegistryKey(status == platform::reg::Success ? handle : nullptr,
                                 {&S.Registry});
    }

    ItemLists& Lists;
    const RemovalOptions& Options;
    const UninstallServices& S;
    const StringTable& Strings;
    RemovalUi& Ui;
    RemovalReport Report;
    int Threshold = 1;
    bool Rollback = false;
    bool Nt = true;
    bool Shell4 = true;
    bool NoToAll = false;
    int Done = 0;
    int Total = 1;
    unsigned TempCounter = 0;
    std::string WindowsFolder;
    std::string SystemFolder;
    /// Files in use that go at the next start of the machine.
    std::vector<std::string> ScheduledDeletes;
};

RemovalReport Remover::Run() {
    platform::OsVersionInfo version;
    if (S.System.GetVersionExA(version)) {
        Nt = version.PlatformId == platform::sysinfo::PlatformNT;
        Shell4 = version.MajorVersion >= 4;
    }
    ReadFolders();
    Rollback = Options.Rollback && !Custom() && Lists.HasBackups;
    Threshold = Rollback ? std::max(Lists.Sections, 1) : 1;
    Report.RolledBack = Rollback;
    const std::size_t total = Lists.PrivateFiles.size() + Lists.SystemFiles.size() +
                              Lists.Directories.size() + Lists.IniFiles.size() +
                              Lists.IniEntries.size() + Lists.RegValuesToRemove.size() +
                              Lists.RegValuesToRestore.size() + Lists.RegTrees.size() +
                              Lists.ProgramItems.size() + Lists.Services.size();
    Total = static_cast<int>(std::max<std::size_t>(total, 1));

    RunExternalPrograms();
    DeleteServices();
    ReleaseSubSystem();
    RemoveIniFiles();
    RestoreIniEntries();
    RestoreEditedFiles();
    PrepareFiles(Lists.PrivateFiles, false);
    PrepareFiles(Lists.SystemFiles, true);
    RemoveFiles(Lists.PrivateFiles, false);
    RemoveFiles(Lists.SystemFiles, true);
    ReregisterRestoredFiles();
    RemoveDirectories(false);
    RestoreRegistryValues();
    RemoveRegistryValues();
    RemoveRegistryTrees();
    RemoveProgramItems();
    FinishLog();
    if (Report.LogRemoved) {
        RemoveDirectories(true);
    }
    return Report;
}

void Remover::RunExternalPrograms() {
    for (const ExternalProgramItem& program : Lists.ExternalPrograms) {
        if (Stopped()) {
            return;
        }
        if (!InScope(program.Installation)) {
            continue;
        }
        Show(text::ExecutingProgram, program.Command);
        platform::ProcessInformation started;
        if (!S.Processes.CreateProcessA(nullptr, program.Command.c_str(), 0, nullptr, {},
                                        started)) {
            Leave(program.Command, "the uninstall program could not be started: " +
                                       ErrorReason(S.Processes.GetLastError()));
            continue;
        }
        platform::UniqueProcess process(started.Process, {&S.Processes});
        S.Processes.WaitForSingleObject(process.Get(), platform::process::Infinite);
    }
}

void Remover::DeleteServices() {
    bool any = false;
    for (const ServiceItem& service : Lists.Services) {
        if (Stopped()) {
            return;
        }
        Step();
        if (!InScope(service.Installation)) {
            continue;
        }
        Show(text::DeletingService, service.Name);
        platform::UniqueService manager(
            S.ServiceControl.OpenSCManagerA(nullptr, nullptr, platform::svc::ManagerConnect),
            {&S.ServiceControl});
        platform::UniqueService handle(
            manager ? S.ServiceControl.OpenServiceA(manager.Get(), service.Name,
                                                    platform::svc::Stop | platform::svc::Delete)
                    : platform::NullService,
            {&S.ServiceControl});
        if (!handle) {
            const std::uint32_t error = S.ServiceControl.GetLastError();
            if (error != platform::svc::ServiceDoesNotExist) {
                Leave(service.Name, "the service could not be opened: " + ErrorReason(error), true);
            }
            continue;
        }
        platform::ServiceStatus status;
        S.ServiceControl.ControlService(handle.Get(), platform::svc::ControlStop, status);
        if (!S.ServiceControl.DeleteService(handle.Get())) {
            Leave(service.Name,
                  "the service could not be deleted: " +
                      ErrorReason(S.ServiceControl.GetLastError()),
                  true);
        }
        any = true;
    }
    if (any) {
        Ui.Pause(3500);
    }
}

void Remover::ReleaseSubSystem() {
    if (Lists.SubSystem.empty() || Stopped() || (Custom() && !Lists.SubSystemSelected)) {
        return;
    }
    Show(text::RemovingSubSystem, Lists.SubSystem);
    long status = 0;
    UniqueRegistryKey key = OpenKey(platform::HKEY_LOCAL_MACHINE, BdeKey,
                                    platform::reg::KeyRead | platform::reg::KeySetValue, status);
    if (!key) {
        return;
    }
    std::array<char, 64> data{};
    std::uint32_t size = data.size();
    std::uint32_t type = 0;
    if (S.Registry.RegQueryValueExA(key.Get(), "UseCount", &type, data.data(), &size) !=
        platform::reg::Success) {
        return;
    }
    std::uint32_t count = 0;
    if (type == platform::reg::Sz || type == platform::reg::ExpandSz) {
        count = static_cast<std::uint32_t>(std::atoi(std::string(data.data(), size).c_str()));
    } else if (size >= 4) {
        for (int i = 3; i >= 0; --i) {
            count = count * 256 + static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
        }
    }
    if (count > 1) {
        const std::string lower = std::to_string(count - 1);
        S.Registry.RegSetValueExA(key.Get(), "UseCount", platform::reg::Sz,
                                  std::span<const char>(lower.c_str(), lower.size() + 1));
        return;
    }
    key.Reset();
    while (Ui.WindowClassExists("IB_Server")) {
        const RunningServerAnswer answer =
            Ui.AskServerRunning(Strings.Text(text::InterbaseRunning));
        if (answer == RunningServerAnswer::Abort) {
            Report.Aborted = true;
            return;
        }
        if (answer == RunningServerAnswer::Ignore) {
            break;
        }
    }
    DeleteKeyTree(platform::HKEY_LOCAL_MACHINE, std::string(BdeKey), 0);
    DeleteKeyTree(platform::HKEY_LOCAL_MACHINE, "Software\\Borland\\BLW32", 0);
    UniqueRegistryKey borland =
        OpenKey(platform::HKEY_LOCAL_MACHINE, "Software\\Borland", platform::reg::KeyRead, status);
    if (borland) {
        std::array<char, 260> name{};
        std::uint32_t length = name.size();
        std::uint32_t valueLength = name.size();
        const bool hasKey = S.Registry.RegEnumKeyExA(borland.Get(), 0, name.data(), length) !=
                            platform::reg::NoMoreItems;
        const bool hasValue =
            S.Registry.RegEnumValueA(borland.Get(), 0, name.data(), valueLength, nullptr, nullptr,
                                     nullptr) != platform::reg::NoMoreItems;
        borland.Reset();
        if (!hasKey && !hasValue) {
            S.Registry.RegDeleteKeyA(platform::HKEY_LOCAL_MACHINE, "Software\\Borland");
        }
    }
}

void Remover::RemoveIniFiles() {
    for (const IniFileItem& ini : Lists.IniFiles) {
        if (Stopped()) {
            return;
        }
        Step();
        if (!InScope(ini.Installation) || (Custom() && !ini.Selected)) {
            continue;
        }
        Show(text::RemovingIniFile, ini.Path);
        RemoveFile(IniPath(ini.Path));
    }
}

void Remover::RestoreIniEntries() {
    for (const IniEntryItem& entry : Lists.IniEntries) {
        if (Stopped()) {
            return;
        }
        Step();
        const std::string file = IniPath(entry.File);
        if (!InScope(entry.Installation) || (Custom() && !entry.Selected) ||
            S.Files.GetFileAttributesA(file) == platform::file::InvalidAttributes) {
            continue;
        }
        Show(text::EditingIniFile, entry.File);
        const std::optional<std::string>& value =
            Rollback ? entry.RollbackValue : entry.UninstallValue;
        const bool remove = !value || value->empty();
        if (!S.Profile.WritePrivateProfileStringA(entry.Section.c_str(), entry.Key.c_str(),
                                                  remove ? nullptr : value->c_str(), file)) {
            Leave(entry.File + ": [" + entry.Section + "] " + entry.Key,
                  "the INI file could not be written", true);
        }
    }
}

void Remover::RestoreEditedFiles() {
    if (!Rollback) {
        return;
    }
    for (const EditedFileItem& edit : Lists.EditedFiles) {
        if (Stopped()) {
            return;
        }
        if (edit.Installation == Lists.Sections &&
            S.Files.GetFileAttributesA(edit.Backup) != platform::file::InvalidAttributes) {
            RestoreFile(edit.Backup, edit.Path);
        }
    }
}

void Remover::PrepareFiles(std::vector<FileItem>& files, bool system) {
    for (auto item = files.rbegin(); item != files.rend(); ++item) {
        if (Stopped()) {
            return;
        }
        if (!InScope(item->CopyInstallation) || item->Path.empty()) {
            continue;
        }
        const bool takesPart =
            system ? (item->Selected || Shell4)
                   : (Custom() ? item->Selected : (item->Selected || item->Created || Rollback));
        if (!takesPart) {
            continue;
        }
        const bool backupOfLast = item->BackupInstallation == Lists.Sections && Rollback;
        if (Shell4 && InScope(item->SharedInstallation)) {
            bool shared = false;
            const SharedFileAnswer answer = ReleaseSharedCount(item->Path, shared);
            if (shared && answer == SharedFileAnswer::Remove && system) {
                item->Selected = true;
            } else if (shared && answer != SharedFileAnswer::Remove && !backupOfLast) {
                Leave(item->Path, "a shared file other programs still use");
                item->Path.clear();
                continue;
            }
        }
        if (system && !item->Selected) {
            continue;
        }
        if (!Rollback) {
            if (InScope(item->RegisterInstallation) && item->Created) {
                Unregister(item->Path, false);
            }
            if (InScope(item->DeviceInstallation) && item->Created) {
                RemoveDeviceLine(item->Path);
            }
        }
    }
}

void Remover::RemoveFiles(std::vector<FileItem>& files, bool system) {
    for (FileItem& item : files) {
        if (Stopped()) {
            return;
        }
        Step();
        if (item.Path.empty() || !InScope(item.CopyInstallation)) {
            continue;
        }
        const bool restore =
            Rollback && item.BackupInstallation == Lists.Sections && !item.Backup.empty();
        bool takesPart = item.Selected || restore;
        if (!system && !Custom()) {
            takesPart = takesPart || item.Created;
        }
        if (!takesPart) {
            if (system && !Custom() && item.Created) {
                Leave(item.Path, "a file in a system folder, which other programs may use, "
                                 "goes only when chosen");
            }
            continue;
        }
        if (restore) {
            RestoreFile(item.Backup, item.Path);
        } else if (item.Created) {
            RemoveFile(item.Path);
        } else {
            Leave(item.Path, "the file was there before the installation");
        }
        Show(system ? text::RemovingSystemFile : text::RemovingFile, item.Path);
    }
}

void Remover::ReregisterRestoredFiles() {
    if (!Rollback) {
        return;
    }
    for (const std::vector<FileItem>* files : {&Lists.PrivateFiles, &Lists.SystemFiles}) {
        for (const FileItem& item : *files) {
            if (!item.Path.empty() && !item.Backup.empty() &&
                item.BackupInstallation == Lists.Sections && InScope(item.RegisterInstallation)) {
                Unregister(item.Path, true);
            }
        }
    }
}

void Remover::RemoveDirectories(bool afterLog) {
    for (const DirectoryItem& folder : Lists.Directories) {
        if (Stopped()) {
            return;
        }
        if (!afterLog) {
            Step();
        }
        if (!InScope(folder.LastInstallation) || (Custom() && !folder.Selected)) {
            continue;
        }
        if (IsProtectedFolder(folder.Path)) {
            Leave(folder.Path, "a system folder or a drive's root is never removed");
            continue;
        }
        // Only a whole installed tree loses the files in it; elsewhere files the log
        // does not name stay, and with them their folders.
        const bool withFiles = InScope(folder.TreeInstallation);
        if (!afterLog) {
            Show(withFiles ? text::RemovingDirectory : text::RemovingEmptyDirectories, folder.Path);
        }
        RemoveTree(WithoutTrailingSlash(folder.Path), withFiles, 0);
    }
    if (!afterLog) {
        return;
    }
    for (const DirectoryItem& folder : Lists.Directories) {
        const std::string path = WithoutTrailingSlash(folder.Path);
        if (!InScope(folder.LastInstallation) || IsProtectedFolder(folder.Path) ||
            S.Files.GetFileAttributesA(path) == platform::file::InvalidAttributes) {
            continue;
        }
        // Files that go at the restart take their folders with them, the deepest first.
        std::vector<std::string> emptied;
        for (const std::string& file : ScheduledDeletes) {
            for (std::string above(ParentFolder(file));
                 platform::StartsWithIgnoringCase(above + "\\", folder.Path);
                 above = std::string(ParentFolder(above))) {
                emptied.push_back(above);
            }
        }
        if (emptied.empty() || !Nt) {
            Leave(folder.Path, "the folder holds files the installation did not put there");
            continue;
        }
        std::sort(emptied.begin(), emptied.end(),
                  [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
        emptied.erase(std::unique(emptied.begin(), emptied.end()), emptied.end());
        for (const std::string& each : emptied) {
            S.Files.MoveFileExA(each, nullptr, platform::file::MoveDelayUntilReboot);
        }
    }
}

void Remover::RemoveTree(const std::string& folder, bool withFiles, int depth) {
    if (depth > MaxKeyDepth) {
        return;
    }
    platform::FindData found;
    platform::UniqueFind search(S.Files.FindFirstFileA(folder + "\\*.*", found), {&S.Files});
    if (search) {
        do {
            if (found.FileName == "." || found.FileName == "..") {
                continue;
            }
            const std::string path = folder + "\\" + found.FileName;
            if ((found.FileAttributes & platform::file::AttributeDirectory) != 0) {
                RemoveTree(path, withFiles, depth + 1);
            } else if (withFiles) {
                RemoveFile(path);
            }
        } while (S.Files.FindNextFileA(search.Get(), found));
    }
    search.Reset();
    S.Files.RemoveDirectoryA(folder);
}

void Remover::RestoreRegistryValues() {
    for (const RegValueItem& value : Lists.RegValuesToRestore) {
        if (Stopped()) {
            return;
        }
        Step();
        const HKEY root = platform::RegistryRoot(value.Root);
        if (!InScope(value.Installation) || (Custom() && !value.Selected) || root == nullptr) {
            continue;
        }
        Show(text::EditingKey, value.Key);
        HKEY handle = nullptr;
        long status = S.Registry.RegCreateKeyExA(root, value.Key, 0, platform::reg::KeyWrite,
                                                 handle, nullptr);
        UniqueRegistryKey key(status == platform::reg::Success ? handle : nullptr, {&S.Registry});
        if (key) {
            const std::string bytes =
                ValueBytes(value.Type, Rollback ? value.RollbackValue : value.UninstallValue);
            status =
                S.Registry.RegSetValueExA(key.Get(), value.Name, RegistryType(value.Type), bytes);
        }
        if (status != platform::reg::Success) {
            Leave(value.Key + (value.Name.empty() ? "" : " Value Name: " + value.Name),
                  "the old value could not be written back: " +
                      ErrorReason(static_cast<std::uint32_t>(status)),
                  true);
        }
    }
}

void Remover::RemoveRegistryValues() {
    for (auto value = Lists.RegValuesToRemove.rbegin(); value != Lists.RegValuesToRemove.rend();
         ++value) {
        if (Stopped()) {
            return;
        }
        Step();
        const HKEY root = platform::RegistryRoot(value->Root);
        if (!InScope(value->Installation) || (Custom() && !value->Selected) || root == nullptr) {
            continue;
        }
        Show(text::RemovingKey, value->Key);
        long status = 0;
        std::string path = value->Key;
        {
            UniqueRegistryKey key =
                OpenKey(root, path, platform::reg::KeyRead | platform::reg::KeySetValue, status);
            if (!key) {
                if (status != platform::reg::FileNotFound) {
                    Leave(value->Key,
                          "the key could not be opened: " +
                              ErrorReason(static_cast<std::uint32_t>(status)),
                          true);
                }
                continue;
            }
            status = S.Registry.RegDeleteValueA(key.Get(), value->Name);
            if (status != platform::reg::Success && status != platform::reg::FileNotFound) {
                Leave(value->Key + " Value Name: " + value->Name,
                      "the value could not be deleted: " +
                          ErrorReason(static_cast<std::uint32_t>(status)),
                      true);
                continue;
            }
        }
        // Keys left empty go too, up to the first that holds something.
        while (!platform::SplitBackslashNames(path).empty()) {
            UniqueRegistryKey key = OpenKey(root, path, platform::reg::KeyRead, status);
            if (!key) {
                break;
            }
            std::array<char, 260> name{};
            std::uint32_t length = name.size();
            std::uint32_t valueLength = name.size();
            const bool empty =
                S.Registry.RegEnumKeyExA(key.Get(), 0, name.data(), length) ==
                    platform::reg::NoMoreItems &&
                S.Registry.RegEnumValueA(key.Get(), 0, name.data(), valueLength, nullptr, nullptr,
                                         nullptr) == platform::reg::NoMoreItems;
            key.Reset();
            if (!empty || S.Registry.RegDeleteKeyA(root, path) != platform::reg::Success) {
                break;
            }
            const std::size_t slash = path.rfind('\\');
            path = slash == std::string::npos ? std::string() : path.substr(0, slash);
        }
    }
}

bool Remover::DeleteKeyTree(HKEY root, const std::string& key, int depth) {
    if (depth > MaxKeyDepth) {
        return false;
    }
    long status = 0;
    UniqueRegistryKey open = OpenKey(root, key, platform::reg::KeyRead, status);
    if (!open) {
        return status == platform::reg::FileNotFound;
    }
    std::vector<std::string> children;
    for (std::uint32_t index = 0; index < MaxSubKeysPerLevel; ++index) {
        std::array<char, 260> name{};
        std::uint32_t length = name.size();
        if (S.Registry.RegEnumKeyExA(open.Get(), index, name.data(), length) !=
            platform::reg::Success) {
            break;
        }
        children.emplace_back(name.data(), length);
    }
    open.Reset();
    bool all = true;
    for (const std::string& child : children) {
        all = DeleteKeyTree(root, key + "\\" + child, depth + 1) && all;
    }
    return S.Registry.RegDeleteKeyA(root, key) == platform::reg::Success && all;
}

void Remover::RemoveRegistryTrees() {
    for (auto tree = Lists.RegTrees.rbegin(); tree != Lists.RegTrees.rend(); ++tree) {
        if (Stopped()) {
            return;
        }
        Step();
        const HKEY root = platform::RegistryRoot(tree->Root);
        if (!InScope(tree->Installation) || (Custom() && !tree->Selected) || root == nullptr) {
            continue;
        }
        if (IsProtectedTree(tree->Root, tree->Key)) {
            Leave(tree->Key, "a top-level key that other software shares is never deleted");
            continue;
        }
        Show(text::RemovingKeyTree, tree->Key);
        if (!DeleteKeyTree(root, tree->Key, 0)) {
            Leave(tree->Key, "the key tree could not be deleted", true);
        }
    }
}

void Remover::RemoveProgramItems() {
    const auto inScope = [&](const ProgramItemEntry& item) {
        return InScope(item.Installation) && !(Custom() && !item.Selected);
    };
    if (Stopped() || std::none_of(Lists.ProgramItems.begin(), Lists.ProgramItems.end(), inScope)) {
        Done += static_cast<int>(Lists.ProgramItems.size());
        return;
    }
    std::uint32_t id = 0;
    if (S.Dde.DdeInitializeA(id, {}, platform::dde::ApplicationCommandClientOnly) !=
        platform::dde::NoError) {
        Leave("Program Manager", "no DDE conversation could be started", true);
        return;
    }
    platform::UniqueDdeInstance instance(id, {&S.Dde});
    const auto handle = [&](std::string_view text) {
        return platform::UniqueDdeString(
            S.Dde.DdeCreateStringHandleA(id, text, platform::dde::CodePageWinAnsi), {&S.Dde, id});
    };
    const platform::UniqueDdeString progman = handle("PROGMAN");
    platform::UniqueDdeConversation conversation(S.Dde.DdeConnect(id, progman.Get(), progman.Get()),
                                                 {&S.Dde});
    if (!conversation) {
        Leave("Program Manager", "Program Manager does not answer", true);
        return;
    }
    const auto request = [&](std::string_view item) {
        const platform::UniqueDdeString name = handle(item);
        platform::UniqueDdeData data(S.Dde.DdeClientTransaction({}, conversation.Get(), name.Get(),
                                                                platform::dde::ClipboardText,
                                                                platform::dde::Request, 5000,
                                                                nullptr),
                                     {&S.Dde});
        std::string text;
        if (data) {
            text.resize(S.Dde.DdeGetData(data.Get(), {}, 0));
            text.resize(S.Dde.DdeGetData(data.Get(), text, 0));
        }
        return text;
    };
    const auto execute = [&](const std::string& command) {
        return S.Dde.DdeClientTransaction(
                   std::span<const char>(command.c_str(), command.size() + 1), conversation.Get(),
                   platform::DdeNoString, platform::dde::ClipboardText, platform::dde::Execute,
                   1000, nullptr) != platform::DdeNoData;
    };
    struct Group {
        std::string Name;
        std::vector<std::vector<std::string>> Items;
    };
    std::vector<Group> groups;
    for (const std::string& name : Lines(request("GROUPS"))) {
        Group group{name, {}};
        const std::vector<std::string> lines = Lines(request(name));
        for (std::size_t i = 1; i < lines.size(); ++i) {
            group.Items.push_back(Fields(lines[i]));
        }
        groups.push_back(std::move(group));
    }
    for (ProgramItemEntry& item : Lists.ProgramItems) {
        if (Stopped()) {
            return;
        }
        Step();
        if (!inScope(item) || item.Gone) {
            continue;
        }
        Show(text::RemovingIcon, item.Name);
        // An item goes only under its own name, from its own group when that still has
        // it, else from a group where its command stands, so an icon of the user's with
        // the same command stays.
        const auto matches = [&](const Group& group, const std::vector<std::string>& f,
                                 bool byGroup) {
            return !f.empty() && EqualsIgnoringCase(f[0], item.Name) &&
                   (byGroup ? EqualsIgnoringCase(group.Name, item.Group)
                            : f.size() > 1 && EqualsIgnoringCase(f[1], item.Command));
        };
        bool refused = false;
        for (const bool byGroup : {true, false}) {
            for (Group& group : groups) {
                const auto found =
                    std::find_if(group.Items.begin(), group.Items.end(),
                                 [&](const auto& f) { return matches(group, f, byGroup); });
                if (found == group.Items.end() || item.Gone || refused) {
                    continue;
                }
                execute("[ShowGroup(" + group.Name + ",2)]");
                execute("[ShowGroup(" + group.Name + ",1)]");
                if (!execute("[DeleteItem(" + item.Name + ")]")) {
                    Leave(item.Name, "Program Manager refused to delete the item", true);
                    refused = true;
                    continue;
                }
                item.Gone = true;
                group.Items.erase(found);
                if (group.Items.empty() && !EqualsIgnoringCase(group.Name, "STARTUP")) {
                    execute("[DeleteGroup(" + group.Name + ")]");
                }
            }
        }
    }
}

void Remover::FinishLog() {
    if (Report.Cancelled || Report.Aborted || Custom() || Options.LogPath.empty()) {
        return;
    }
    // A log whose changes could not all be undone stays, so that a later run can
    // finish the job.
    if (std::any_of(Report.Left.begin(), Report.Left.end(),
                    [](const LeftBehind& left) { return left.Retry; })) {
        return;
    }
    if (!Rollback || Lists.Sections <= 1) {
        S.Files.SetFileAttributesA(Options.LogPath, platform::file::AttributeNormal);
        Report.LogRemoved = S.Files.DeleteFileA(Options.LogPath);
        return;
    }
    platform::UniqueFile file(S.Files.CreateFileA(Options.LogPath, platform::file::GenericRead,
                                                  platform::file::ShareRead,
                                                  platform::file::OpenExisting, 0),
                              {&S.Files});
    if (!file) {
        return;
    }
    std::string kept(static_cast<std::size_t>(Lists.LastSectionOffset), '\0');
    std::uint32_t read = 0;
    if (!S.Files.ReadFile(file.Get(), kept, read) || read != kept.size()) {
        return;
    }
    file.Reset();
    const std::string temporary = Options.LogPath + ".$$$";
    platform::UniqueFile out(S.Files.CreateFileA(temporary, platform::file::GenericWrite, 0,
                                                 platform::file::CreateAlways, 0),
                             {&S.Files});
    std::uint32_t written = 0;
    const bool wrote = out && S.Files.WriteFile(out.Get(), kept, written) && written == kept.size();
    out.Reset();
    if (!wrote || !S.Files.MoveFileExA(temporary, Options.LogPath.c_str(),
                                       platform::file::MoveReplaceExisting)) {
        S.Files.DeleteFileA(temporary);
    }
}

SharedFileAnswer Remover::ReleaseSharedCount(const std::string& path, bool& shared) {
    shared = false;
    long status = 0;
    UniqueRegistryKey key = OpenKey(platform::HKEY_LOCAL_MACHINE, SharedDllsKey,
                                    platform::reg::KeyRead | platform::reg::KeySetValue, status);
    if (!key) {
        return SharedFileAnswer::Remove;
    }
    std::array<char, 64> data{};
    std::uint32_t size = data.size();
    std::uint32_t type = 0;
    if (S.Registry.RegQueryValueExA(key.Get(), path, &type, data.data(), &size) !=
        platform::reg::Success) {
        return SharedFileAnswer::Remove;
    }
    shared = true;
    std::uint32_t count = 0;
    for (int i = static_cast<int>(std::min<std::uint32_t>(size, 4)) - 1; i >= 0; --i) {
        count = count * 256 + static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
    }
    if (count > 1) {
        const std::uint32_t lower = count - 1;
        const std::array<char, 4> bytes{
            static_cast<char>(lower & 0xFF), static_cast<char>((lower >> 8) & 0xFF),
            static_cast<char>((lower >> 16) & 0xFF), static_cast<char>((lower >> 24) & 0xFF)};
        S.Registry.RegSetValueExA(key.Get(), path, platform::reg::Dword, bytes);
        return SharedFileAnswer::Keep;
    }
    SharedFileAnswer answer = SharedFileAnswer::Keep;
    if (!Options.Silent && !NoToAll) {
        answer = Ui.AskSharedFile(FormatWithText(Strings.Text(text::SharedFileQuestion), path) +
                                  Strings.Text(text::SharedFileAdvice));
        NoToAll = answer == SharedFileAnswer::KeepAll;
    }
    S.Registry.RegDeleteValueA(key.Get(), path);
    return answer == SharedFileAnswer::Remove ? SharedFileAnswer::Remove : SharedFileAnswer::Keep;
}

void Remover::Unregister(const std::string& path, bool reregister) {
    if (!reregister) {
        Show(text::Unregistering, path);
    }
    const std::string folder(ParentFolder(path));
    if (platform::EndsWithIgnoringCase(path, ".EXE")) {
        const std::string command =
            "\"" + path + "\" " + (reregister ? "/REGSERVER" : "/UNREGSERVER");
        platform::ProcessInformation started;
        if (S.Processes.CreateProcessA(nullptr, command.c_str(), 0, folder.c_str(), {}, started)) {
            platform::UniqueProcess process(started.Process, {&S.Processes});
            S.Processes.WaitForSingleObject(process.Get(), platform::process::Infinite);
        }
        return;
    }
    // Only a 32-bit Windows image is loaded: "MZ", and at offset 60 the place of "PE".
    platform::UniqueFile file(S.Files.CreateFileA(path, platform::file::GenericRead,
                                                  platform::file::ShareRead,
                                                  platform::file::OpenExisting, 0),
                              {&S.Files});
    std::array<char, 64> header{};
    std::uint32_t read = 0;
    if (!file || !S.Files.ReadFile(file.Get(), header, read) || read < 64 || header[0] != 'M' ||
        header[1] != 'Z') {
        return;
    }
    std::uint32_t offset = 0;
    for (int i = 63; i >= 60; --i) {
        offset = offset * 256 + static_cast<unsigned char>(header[static_cast<std::size_t>(i)]);
    }
    std::array<char, 4> signature{};
    if (offset > 0x7FFFFFFFu ||
        S.Files.SetFilePointer(file.Get(), static_cast<std::int32_t>(offset), nullptr,
                               platform::file::Begin) == platform::file::InvalidSetFilePointer ||
        !S.Files.ReadFile(file.Get(), signature, read) || read != 4 || signature[0] != 'P' ||
        signature[1] != 'E' || signature[2] != 0 || signature[3] != 0) {
        return;
    }
    file.Reset();
    platform::UniqueLibrary ole(S.Libraries.LoadLibraryA("OLE32.DLL"), {&S.Libraries});
    const platform::ProcAddress initialize =
        ole ? S.Libraries.GetProcAddress(ole.Get(), "OleInitialize") : nullptr;
    const platform::ProcAddress uninitialize =
        ole ? S.Libraries.GetProcAddress(ole.Get(), "OleUninitialize") : nullptr;
    if (initialize != nullptr) {
        S.Libraries.CallEntry(initialize, nullptr);
    }
    {
        platform::UniqueLibrary server(S.Libraries.LoadLibraryA(path), {&S.Libraries});
        const platform::ProcAddress entry =
            server ? S.Libraries.GetProcAddress(server.Get(), reregister ? "DllRegisterServer"
                                                                         : "DllUnregisterServer")
                   : nullptr;
        if (entry != nullptr) {
            S.Libraries.CallEntryWithoutArguments(entry);
        }
    }
    if (initialize != nullptr && uninitialize != nullptr) {
        S.Libraries.CallEntryWithoutArguments(uninitialize);
    }
}

void Remover::RemoveDeviceLine(const std::string& path) {
    const std::string systemIni = WindowsFolder + "\\SYSTEM.INI";
    const std::string temporary = WindowsFolder + "\\~KTRS383.TMP";
    platform::UniqueFile in(S.Files.CreateFileA(systemIni, platform::file::GenericRead,
                                                platform::file::ShareRead,
                                                platform::file::OpenExisting, 0),
                            {&S.Files});
    if (!in) {
        return;
    }
    std::string text;
    std::array<char, 4096> buffer{};
    std::uint32_t read = 0;
    while (S.Files.ReadFile(in.Get(), buffer, read) && read > 0 && text.size() < (8u << 20)) {
        text.append(buffer.data(), read);
    }
    in.Reset();
    std::string relative;
    if (platform::StartsWithIgnoringCase(path, SystemFolder + "\\")) {
        relative = path.substr(SystemFolder.size() + 1);
    }
    std::string out;
    bool inEnh = false;
    bool changed = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string_view line(text.data() + start, end - start);
        std::string_view body = line;
        while (!body.empty() && (body.front() == ' ' || body.front() == '\t')) {
            body.remove_prefix(1);
        }
        if (body.starts_with("[")) {
            inEnh = platform::StartsWithIgnoringCase(body, "[386Enh]");
        } else if (inEnh && platform::StartsWithIgnoringCase(body, "device=")) {
            std::string_view value = body.substr(7);
            while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) {
                value.remove_suffix(1);
            }
            value = platform::TrimBlanks(value);
            if (EqualsIgnoringCase(value, path) ||
                (!relative.empty() && EqualsIgnoringCase(value, relative))) {
                out += ';';
                changed = true;
            }
        }
        out.append(line);
        start = end;
    }
    if (!changed) {
        return;
    }
    platform::UniqueFile file(S.Files.CreateFileA(temporary, platform::file::GenericWrite, 0,
                                                  platform::file::CreateAlways, 0),
                              {&S.Files});
    std::uint32_t written = 0;
    const bool wrote = file && S.Files.WriteFile(file.Get(), out, written) && written == out.size();
    file.Reset();
    if (!wrote ||
        !S.Files.MoveFileExA(temporary, systemIni.c_str(), platform::file::MoveReplaceExisting)) {
        S.Files.DeleteFileA(temporary);
        Leave(systemIni + ": device=" + path, "SYSTEM.INI could not be rewritten", true);
    }
}

bool Remover::RemoveFile(const std::string& path) {
    if (path.find_first_of("*?") != std::string::npos) {
        Leave(path, "a name pattern: only files the log names one by one are deleted");
        return false;
    }
    if (EqualsIgnoringCase(path, Options.OwnExecutable)) {
        Report.OwnExecutableToDelete = true;
        return true;
    }
    if (S.Files.GetFileAttributesA(path) == platform::file::InvalidAttributes) {
        return true;
    }
    S.Files.SetFileAttributesA(path, platform::file::AttributeNormal);
    if (!S.Files.DeleteFileA(path)) {
        const std::uint32_t error = S.Files.GetLastError();
        // A file in use goes at the next start of the machine.
        if (error == platform::winerror::SharingViolation ||
            error == platform::winerror::AccessDenied) {
            if (ScheduleReplacement(path, nullptr)) {
                ScheduledDeletes.push_back(path);
                return true;
            }
        }
        Leave(path, "the file could not be deleted: " + ErrorReason(error), true);
        return false;
    }
    if (platform::EndsWithIgnoringCase(path, ".HLP")) {
        // The help system's index files, made beside the help file when it was read.
        const std::string stem = path.substr(0, path.size() - 4);
        for (const char* extension : {".GID", ".FTS"}) {
            S.Files.SetFileAttributesA(stem + extension, platform::file::AttributeNormal);
            S.Files.DeleteFileA(stem + extension);
        }
    }
    return true;
}

bool Remover::ScheduleReplacement(const std::string& source, const char* target) {
    bool scheduled = false;
    if (Nt) {
        std::uint32_t flags = platform::file::MoveDelayUntilReboot;
        if (target != nullptr) {
            flags |= platform::file::MoveReplaceExisting;
        }
        scheduled = S.Files.MoveFileExA(source, target, flags);
    } else {
        scheduled = target == nullptr
                        ? AppendWininitDelete(S.Files, WindowsFolder, source)
                        : S.Profile.WritePrivateProfileStringA("rename", target, source.c_str(),
                                                               WindowsFolder + "\\WININIT.INI");
    }
    Report.RebootNeeded = Report.RebootNeeded || scheduled;
    return scheduled;
}

void Remover::RestoreFile(const std::string& backup, const std::string& target) {
    if (S.Files.GetFileAttributesA(backup) == platform::file::InvalidAttributes) {
        Leave(target, "its backup " + backup + " is missing");
        return;
    }
    S.Files.SetFileAttributesA(target, platform::file::AttributeNormal);
    if (S.Files.CopyFileA(backup, target, false)) {
        S.Files.SetFileAttributesA(backup, platform::file::AttributeNormal);
        S.Files.DeleteFileA(backup);
        return;
    }
    const std::string folder(ParentFolder(target));
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        std::array<char, 16> name{};
        std::snprintf(name.data(), name.size(), "~KTU%04x.TMP", TempCounter++ & 0xFFFFu);
        const std::string temporary = folder + "\\" + name.data();
        if (S.Files.GetFileAttributesA(temporary) != platform::file::InvalidAttributes) {
            continue;
        }
        if (S.Files.CopyFileA(backup, temporary, true)) {
            if (ScheduleReplacement(temporary, target.c_str())) {
                S.Files.SetFileAttributesA(backup, platform::file::AttributeNormal);
                S.Files.DeleteFileA(backup);
                return;
            }
            S.Files.DeleteFileA(temporary);
        }
        break;
    }
    // The backup stays where it is, so nothing of the earlier file is lost.
    Leave(target, "its backup could not be put back; the backup stays at " + backup, true);
}

} // namespace

bool AppendWininitDelete(platform::FileService& files, std::string_view windowsFolder,
                         std::string_view path) {
    const std::string wininit = std::string(windowsFolder) + "\\WININIT.INI";
    platform::UniqueFile file(
        files.CreateFileA(wininit, platform::file::GenericRead | platform::file::GenericWrite, 0,
                          platform::file::OpenAlways, 0),
        {&files});
    if (!file) {
        return false;
    }
    const bool empty = files.GetFileSize(file.Get(), nullptr) == 0;
    // Several "NUL=" lines may stand in the section, so the line is appended rather
    // than set as a key.
    const std::string line =
        (empty ? std::string("[rename]\r\n") : std::string()) + "NUL=" + std::string(path) + "\r\n";
    std::uint32_t written = 0;
    return files.SetFilePointer(file.Get(), 0, nullptr, platform::file::End) !=
               platform::file::InvalidSetFilePointer &&
           files.WriteFile(file.Get(), line, written) && written == line.size();
}

void RemoveEmptyFolders(const UninstallServices& services, std::string_view folder) {
    ItemLists lists;
    lists.Directories.push_back({std::string(folder), 0, 1});
    RemovalOptions options;
    StringTable strings;
    NoUi ui;
    Remover remover(lists, options, services, strings, ui);
    remover.RemoveListedFolders();
}

std::string ShortDisplayPath(std::string_view path) {
    constexpr std::size_t Longest = 48;
    if (path.size() <= Longest) {
        return std::string(path);
    }
    const std::size_t first = path.find('\\', path.size() > 3 && path[2] == '\\' ? 3 : 0);
    const std::string head(path.substr(0, first == std::string_view::npos ? 3 : first + 1));
    const std::size_t room = Longest > head.size() + 3 ? Longest - head.size() - 3 : 0;
    return head + "..." + std::string(path.substr(path.size() - room));
}

RemovalReport RunRemoval(ItemLists& lists, const RemovalOptions& options,
                         const UninstallServices& services, const StringTable& strings,
                         RemovalUi& ui) {
    Remover remover(lists, options, services, strings, ui);
    RemovalReport report = remover.Run();
    WriteStatusFile(lists, report, services, strings, options.DateTime);
    return report;
}

} // namespace rescind
