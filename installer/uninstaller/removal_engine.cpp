// The removal engine: the steps in their order, external programs, services and INI
// files, then the log and the status file.
#include "removal_engine.h"

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
#include "remover.h"
#include "status_file.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace rescind {

namespace detail {

using platform::EqualsIgnoringCase;

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

void Remover::ReadFolders() {
    WindowsFolder = WithoutTrailingSlash(platform::ReadSystemText(
        [&](std::span<char> buffer) { return S.System.GetWindowsDirectoryA(buffer); }));
    SystemFolder = WithoutTrailingSlash(platform::ReadSystemText(
        [&](std::span<char> buffer) { return S.System.GetSystemDirectoryA(buffer); }));
}

platform::UniqueRegistryKey Remover::OpenKey(platform::HKEY root, std::string_view key,
                                             std::uint32_t access, long& status) {
    platform::HKEY handle = nullptr;
    status = S.Registry.RegOpenKeyExA(root, key, 0, access, handle);
    return platform::UniqueRegistryKey(status == platform::reg::Success ? handle : nullptr,
                                       {&S.Registry});
}

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

    // A folder that is current cannot be removed, and the program is often started in
    // the very folder it is to remove (from its own icon, or beside its log).
    S.Files.SetCurrentDirectoryA("\\");
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
        // An uninstall program the user did not tick in custom mode is not run.
        if (!InScope(program.Installation) || (Custom() && !program.Selected)) {
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
        // A service the user did not tick in custom mode stays.
        if (!InScope(service.Installation) || (Custom() && !service.Selected)) {
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
    // Latest first: a file edited twice ends with the backup of its first edit.
    for (auto edit = Lists.EditedFiles.rbegin(); edit != Lists.EditedFiles.rend(); ++edit) {
        if (Stopped()) {
            return;
        }
        if (edit->Installation == Lists.Sections &&
            S.Files.GetFileAttributesA(edit->Backup) != platform::file::InvalidAttributes) {
            RestoreFile(edit->Backup, edit->Path);
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

} // namespace detail

namespace {

using detail::Remover;

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
    QuietRemovalUi ui;
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