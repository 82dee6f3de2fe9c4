// The removal engine's worker, shared by the files of its steps: the lists, the options,
// the services and what the run has found so far.
#pragma once

#include "log_model.h"
#include "platform/registry.h"
#include "removal_engine.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rescind::detail {

inline constexpr int MaxKeyDepth = 64;

inline std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

/// A Win32 error as the list of what was left behind says it.
std::string ErrorReason(std::uint32_t error);

/// One removal run: each step is a member, in the order Run calls them.
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
    void ReadFolders();
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
    /// Calls `visit` with the path of each entry in `folder` and whether it is a folder,
    /// until a call returns false; whether none did.
    bool EachEntry(const std::string& folder,
                   const std::function<bool(const std::string&, bool)>& visit);
    void RemoveTree(const std::string& folder, bool withFiles, int depth);
    bool GoesWithOwnExecutable(const std::string& folder);
    bool HoldsOnlyOwnExecutable(const std::string& folder, int depth);
    bool DeleteKeyTree(platform::HKEY root, const std::string& key, int depth);
    bool IsProtectedFolder(const std::string& folder) const {
        return WithoutTrailingSlash(folder).size() < 4 ||
               IsSystemFolder(folder, WindowsFolder, SystemFolder);
    }
    std::string IniPath(const std::string& file) const {
        return file.find('\\') == std::string::npos ? WindowsFolder + "\\" + file : file;
    }
    platform::UniqueRegistryKey OpenKey(platform::HKEY root, std::string_view key,
                                        std::uint32_t access, long& status);

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

} // namespace rescind::detail
