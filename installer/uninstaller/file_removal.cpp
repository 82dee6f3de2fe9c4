// The removal engine's file steps: shared counts, unregistering, deleting and restoring
// files, device lines, and folders.
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

#include <algorithm>
#include <array>
#include <cstdio>

namespace rescind::detail {

using platform::EqualsIgnoringCase;
using platform::HKEY;
using platform::UniqueRegistryKey;

namespace {

constexpr std::string_view SharedDllsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

} // namespace

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
            // Said once, in the first pass; the pass after the log passes over it quietly.
            if (!afterLog) {
                Leave(folder.Path, "a system folder or a drive's root is never removed");
            }
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
            S.Files.GetFileAttributesA(path) == platform::file::InvalidAttributes ||
            GoesWithOwnExecutable(path)) {
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
            Leave(folder.Path, "the folder still holds files the log does not record as created");
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

bool Remover::EachEntry(const std::string& folder,
                        const std::function<bool(const std::string&, bool)>& visit) {
    platform::FindData found;
    platform::UniqueFind search(S.Files.FindFirstFileA(folder + "\\*.*", found), {&S.Files});
    if (!search) {
        return true;
    }
    do {
        if (found.FileName != "." && found.FileName != ".." &&
            !visit(folder + "\\" + found.FileName,
                   (found.FileAttributes & platform::file::AttributeDirectory) != 0)) {
            return false;
        }
    } while (S.Files.FindNextFileA(search.Get(), found));
    return true;
}

void Remover::RemoveTree(const std::string& folder, bool withFiles, int depth) {
    if (depth > MaxKeyDepth) {
        return;
    }
    EachEntry(folder, [&](const std::string& path, bool isFolder) {
        if (isFolder) {
            RemoveTree(path, withFiles, depth + 1);
        } else if (withFiles) {
            RemoveFile(path);
        }
        return true;
    });
    S.Files.RemoveDirectoryA(folder);
}

// Whether the copy of the uninstaller that deletes its own file, after this run, removes
// `folder` too: the file's own folder, or the application's folder or one inside it, when
// the file is all the folder still holds.
bool Remover::GoesWithOwnExecutable(const std::string& folder) {
    if (!Report.OwnExecutableToDelete) {
        return false;
    }
    const std::string application = WithoutTrailingSlash(Lists.ApplicationDirectory);
    const bool removedByCopy = EqualsIgnoringCase(folder, ParentFolder(Options.OwnExecutable)) ||
                               (!application.empty() && platform::StartsWithIgnoringCase(
                                                            folder + "\\", application + "\\"));
    return removedByCopy && HoldsOnlyOwnExecutable(folder, 0);
}

bool Remover::HoldsOnlyOwnExecutable(const std::string& folder, int depth) {
    return depth <= MaxKeyDepth && EachEntry(folder, [&](const std::string& path, bool isFolder) {
               return isFolder ? HoldsOnlyOwnExecutable(path, depth + 1)
                               : EqualsIgnoringCase(path, Options.OwnExecutable);
           });
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
    const std::uint32_t attributes = S.Files.GetFileAttributesA(path);
    if (attributes == platform::file::InvalidAttributes) {
        return true;
    }
    if ((attributes & platform::file::AttributeDirectory) != 0) {
        Leave(path, "a folder stands where the log names a file");
        return false;
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

} // namespace rescind::detail
