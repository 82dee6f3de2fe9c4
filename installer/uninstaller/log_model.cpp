// The item lists built from the log's records, each change listed once.
#include "log_model.h"

#include "platform/ansi_text.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <variant>

namespace rescind {

namespace {

using platform::EqualsIgnoringCase;
using platform::StartsWithIgnoringCase;
using platform::UpperAnsi;

std::string WithoutTrailingSlash(std::string_view path) {
    while (path.size() > 3 && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return std::string(path);
}

std::string WithTrailingSlash(std::string_view path) {
    std::string text(path);
    if (text.empty() || text.back() != '\\') {
        text += '\\';
    }
    return text;
}

bool IsDeviceName(std::string_view name) {
    const std::string_view base = name.substr(0, name.find('.'));
    const std::string upper = UpperAnsi(platform::TrimBlanks(base));
    static constexpr std::array<std::string_view, 7> Plain{"CON",    "PRN",    "AUX",    "NUL",
                                                           "CLOCK$", "CONIN$", "CONOUT$"};
    if (std::find(Plain.begin(), Plain.end(), upper) != Plain.end()) {
        return true;
    }
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
           upper[3] >= '1' && upper[3] <= '9';
}

// A list whose items are found again by a key (compared without case).
template <typename Item> class MergedList {
public:
    MergedList(std::vector<Item>& items, int& dropped) : Items(items), Dropped(dropped) {}

    /// The item of that key, or a new one; null when the list is full.
    Item* Find(const std::string& key, bool& added) {
        const std::string upper = UpperAnsi(key);
        added = false;
        if (auto found = Index.find(upper); found != Index.end()) {
            return &Items[found->second];
        }
        if (Items.size() >= MaxListItems) {
            ++Dropped;
            return nullptr;
        }
        Index.emplace(upper, Items.size());
        Items.emplace_back();
        added = true;
        return &Items.back();
    }

private:
    std::vector<Item>& Items;
    int& Dropped;
    std::unordered_map<std::string, std::size_t> Index;
};

class ModelBuilder {
public:
    ModelBuilder(MachineFacts& facts, ModelResult& result)
        : Facts(facts), Result(result), Lists(result.Lists),
          Private(Lists.PrivateFiles, result.DroppedRecords),
          System(Lists.SystemFiles, result.DroppedRecords),
          IniFiles(Lists.IniFiles, result.DroppedRecords),
          IniEntries(Lists.IniEntries, result.DroppedRecords),
          ToRemove(Lists.RegValuesToRemove, result.DroppedRecords),
          ToRestore(Lists.RegValuesToRestore, result.DroppedRecords),
          Trees(Lists.RegTrees, result.DroppedRecords),
          Items(Lists.ProgramItems, result.DroppedRecords),
          Programs(Lists.ExternalPrograms, result.DroppedRecords),
          Services(Lists.Services, result.DroppedRecords) {}

    bool Build(const vorn::InstallLog& log, std::string_view logPath);

private:
    bool Refuse(std::string_view path) {
        Result.RefusedPath = std::string(path);
        return false;
    }
    bool Check(std::string_view path) { return IsSafeMachinePath(path) || Refuse(path); }

    bool Add(int installation, const vorn::FileRecord& file);
    bool Add(int installation, const vorn::FileEditRecord& edit);
    void Mark(std::string_view path, int installation, int FileItem::*mark);
    bool AddMadeDir(int installation, std::string_view path);
    bool AddFileTree(int installation, std::string_view path);
    bool Add(int installation, const vorn::IniNewRecord& ini);
    bool Add(int installation, const vorn::IniEntryRecord& entry);
    void Add(int installation, const vorn::RegValueRecord& value);
    void Add(int installation, const vorn::RegTreeRecord& tree);
    void Add(int installation, const vorn::IconItemRecord& item);
    void Add(int installation, const vorn::UninstallProgramRecord& program);
    void Add(int installation, const vorn::ServiceRecord& service);

    MachineFacts& Facts;
    ModelResult& Result;
    ItemLists& Lists;
    MergedList<FileItem> Private;
    MergedList<FileItem> System;
    MergedList<IniFileItem> IniFiles;
    MergedList<IniEntryItem> IniEntries;
    MergedList<RegValueItem> ToRemove;
    MergedList<RegValueItem> ToRestore;
    MergedList<RegTreeItem> Trees;
    MergedList<ProgramItemEntry> Items;
    MergedList<ExternalProgramItem> Programs;
    MergedList<ServiceItem> Services;
    std::string Windows;
    std::string SystemFolderPath;
};

bool ModelBuilder::Build(const vorn::InstallLog& log, std::string_view logPath) {
    if (!Check(logPath)) {
        return false;
    }
    Windows = Facts.WindowsDirectory();
    SystemFolderPath = Facts.SystemDirectory();
    Lists.Title = log.Title;
    Lists.Info = log.Info;
    Lists.Sections = log.Sections;
    Lists.LastSectionOffset = log.LastSectionOffset;
    Lists.ApplicationDirectory = WithTrailingSlash(ParentFolder(logPath));
    if (Lists.ApplicationDirectory.size() >= 4 &&
        !IsSystemFolder(Lists.ApplicationDirectory, Windows, SystemFolderPath)) {
        Lists.Directories.push_back({Lists.ApplicationDirectory, 0, LogDirectoryInstallation});
    }
    for (const vorn::LogEntry& entry : log.Records) {
        const int n = entry.Installation;
        bool sound = true;
        std::visit(
            [&](const auto& record) {
                using Record = std::decay_t<decltype(record)>;
                if constexpr (std::is_same_v<Record, vorn::AdminRightsRecord>) {
                    Lists.AdminInstall = true;
                } else if constexpr (std::is_same_v<Record, vorn::FileRecord> ||
                                     std::is_same_v<Record, vorn::FileEditRecord> ||
                                     std::is_same_v<Record, vorn::IniNewRecord> ||
                                     std::is_same_v<Record, vorn::IniEntryRecord>) {
                    sound = Add(n, record);
                } else if constexpr (std::is_same_v<Record, vorn::SelfRegisterRecord>) {
                    Mark(record.Path, n, &FileItem::RegisterInstallation);
                } else if constexpr (std::is_same_v<Record, vorn::AddDeviceRecord>) {
                    Mark(record.Device, n, &FileItem::DeviceInstallation);
                } else if constexpr (std::is_same_v<Record, vorn::MadeDirRecord>) {
                    sound = AddMadeDir(n, record.Path);
                } else if constexpr (std::is_same_v<Record, vorn::FileTreeRecord>) {
                    sound = AddFileTree(n, record.Path);
                } else if constexpr (std::is_same_v<Record, vorn::RegValueRecord> ||
                                     std::is_same_v<Record, vorn::RegTreeRecord> ||
                                     std::is_same_v<Record, vorn::IconItemRecord> ||
                                     std::is_same_v<Record, vorn::UninstallProgramRecord> ||
                                     std::is_same_v<Record, vorn::ServiceRecord>) {
                    Add(n, record);
                } else if constexpr (std::is_same_v<Record, vorn::SubSystemRecord>) {
                    if (Lists.SubSystem.empty()) {
                        Lists.SubSystem = record.Name;
                    }
                }
            },
            entry.Record);
        if (!sound) {
            return false;
        }
    }
    return true;
}

bool ModelBuilder::Add(int installation, const vorn::FileRecord& file) {
    if (!Check(file.Path) || (!file.Backup.empty() && !Check(file.Backup))) {
        return false;
    }
    if (Facts.OnRemovableFloppy(file.Path) || !Facts.FileExists(file.Path)) {
        return true;
    }
    const bool counted =
        file.Kind == vorn::FileRecordKind::Overwrite && Facts.IsCountedSharedFile(file.Path);
    const bool overwrite = file.Kind == vorn::FileRecordKind::Overwrite && !counted;
    const bool system = IsSystemFolder(ParentFolder(file.Path), Windows, SystemFolderPath);
    MergedList<FileItem>& list = system ? System : Private;
    bool added = false;
    // A file that stood there before and was not saved stays; nothing to list unless
    // an earlier installation listed it already.
    if (overwrite && file.Backup.empty()) {
        return true;
    }
    FileItem* item = list.Find(file.Path, added);
    if (item == nullptr) {
        return true;
    }
    if (added) {
        item->Path = file.Path;
        item->Created = file.Kind != vorn::FileRecordKind::Overwrite;
        item->Selected = system ? file.NonSystem : item->Created;
    }
    item->CopyInstallation = installation;
    item->SharedInstallation = file.SharedCountIgnored ? 0 : installation;
    if (!file.Backup.empty()) {
        item->Backup = file.Backup;
        item->BackupInstallation = installation;
        Lists.HasBackups = true;
    }
    return true;
}

bool ModelBuilder::Add(int installation, const vorn::FileEditRecord& edit) {
    if (!Check(edit.Path) || (!edit.Backup.empty() && !Check(edit.Backup))) {
        return false;
    }
    if (!edit.Backup.empty() && Lists.EditedFiles.size() < MaxListItems) {
        Lists.EditedFiles.push_back({edit.Path, edit.Backup, installation});
        Lists.HasBackups = true;
    }
    return true;
}

void ModelBuilder::Mark(std::string_view path, int installation, int FileItem::*mark) {
    for (std::vector<FileItem>* list : {&Lists.PrivateFiles, &Lists.SystemFiles}) {
        for (FileItem& item : *list) {
            if (EqualsIgnoringCase(item.Path, path)) {
                item.*mark = installation;
            }
        }
    }
}

bool ModelBuilder::AddMadeDir(int installation, std::string_view path) {
    if (!Check(path)) {
        return false;
    }
    const std::string folder = WithTrailingSlash(path);
    if (StartsWithIgnoringCase(Lists.ApplicationDirectory, folder)) {
        Lists.ApplicationDirectory = folder;
    }
    for (DirectoryItem& item : Lists.Directories) {
        const bool around = StartsWithIgnoringCase(item.Path, folder);
        if (around || StartsWithIgnoringCase(folder, item.Path)) {
            if (around) {
                item.Path = folder;
            }
            item.LastInstallation = std::max(item.LastInstallation, installation);
            return true;
        }
    }
    if (Lists.Directories.size() < MaxListItems) {
        Lists.Directories.push_back({folder, 0, installation});
    } else {
        ++Result.DroppedRecords;
    }
    return true;
}

bool ModelBuilder::AddFileTree(int installation, std::string_view path) {
    if (!Check(path)) {
        return false;
    }
    const std::string folder = WithTrailingSlash(path);
    for (DirectoryItem& item : Lists.Directories) {
        if (EqualsIgnoringCase(item.Path, folder)) {
            item.TreeInstallation = installation;
            item.LastInstallation = std::max(item.LastInstallation, installation);
            return true;
        }
    }
    if (Lists.Directories.size() < MaxListItems) {
        Lists.Directories.push_back({folder, installation, installation});
    } else {
        ++Result.DroppedRecords;
    }
    return true;
}

// INI files named without a folder live in the Windows folder, as the profile calls
// find them.
bool IsBareFileName(std::string_view path) {
    return !path.empty() && path.find_first_of("\\/:") == std::string_view::npos && path != "." &&
           path != ".." && !IsDeviceName(path);
}

bool ModelBuilder::Add(int installation, const vorn::IniNewRecord& ini) {
    if (!IsBareFileName(ini.File) && !Check(ini.File)) {
        return false;
    }
    if (Facts.OnRemovableFloppy(ini.File)) {
        return true;
    }
    bool added = false;
    if (IniFileItem* item = IniFiles.Find(ini.File, added)) {
        item->Path = ini.File;
        item->Installation = installation;
    }
    return true;
}

bool ModelBuilder::Add(int installation, const vorn::IniEntryRecord& entry) {
    if (!IsBareFileName(entry.File) && !Check(entry.File)) {
        return false;
    }
    if (Facts.OnRemovableFloppy(entry.File) ||
        !Facts.IniHasValue(entry.File, entry.Section, entry.Key)) {
        return true;
    }
    bool added = false;
    const std::string key = entry.File + '\n' + entry.Section + '\n' + entry.Key;
    if (IniEntryItem* item = IniEntries.Find(key, added)) {
        if (added) {
            *item = {entry.File, entry.Section, entry.Key, entry.Old, {}, 0};
        }
        item->RollbackValue = entry.Old;
        item->Installation = installation;
    }
    return true;
}

void ModelBuilder::Add(int installation, const vorn::RegValueRecord& value) {
    MergedList<RegValueItem>& list = value.Olds.empty() ? ToRemove : ToRestore;
    bool added = false;
    const std::string key = value.Key + '\n' + value.Name + '\n' + std::to_string(value.Root);
    if (RegValueItem* item = list.Find(key, added)) {
        if (added) {
            *item = {value.Key, value.Name, value.Root, value.Type, value.Olds, {}, 0};
        }
        item->RollbackValue = value.Olds;
        item->Installation = installation;
    }
}

void ModelBuilder::Add(int installation, const vorn::RegTreeRecord& tree) {
    bool added = false;
    if (RegTreeItem* item = Trees.Find(tree.Key + '\n' + std::to_string(tree.Root), added)) {
        item->Key = tree.Key;
        item->Root = tree.Root;
        item->Installation = installation;
    }
}

void ModelBuilder::Add(int installation, const vorn::IconItemRecord& icon) {
    bool added = false;
    if (ProgramItemEntry* item = Items.Find(icon.Group + '\n' + icon.Name, added)) {
        if (added) {
            *item = {icon.Group, icon.Name, icon.Command};
        }
        item->Installation = installation;
    }
}

void ModelBuilder::Add(int installation, const vorn::UninstallProgramRecord& program) {
    bool added = false;
    if (ExternalProgramItem* item = Programs.Find(program.Command, added)) {
        item->Command = program.Command;
        item->Name = program.Name;
        item->Installation = installation;
    }
}

void ModelBuilder::Add(int installation, const vorn::ServiceRecord& service) {
    bool added = false;
    if (ServiceItem* item = Services.Find(service.Name, added)) {
        item->Name = service.Name;
        item->Installation = installation;
    }
}

} // namespace

bool IsSafeMachinePath(std::string_view path) {
    const bool drive = path.size() >= 3 &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && path[2] == '\\';
    if (!drive || path.find('/') != std::string_view::npos ||
        path.find(':', 2) != std::string_view::npos) {
        return false;
    }
    std::string_view rest = path.substr(3);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\\');
        const std::string_view name = rest.substr(0, end);
        if (name == "." || name == ".." || (!name.empty() && IsDeviceName(name))) {
            return false;
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    return true;
}

std::string_view ParentFolder(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) {
        return {};
    }
    // "C:\A.EXE" lies in "C:\", whose slash stays.
    return path.substr(0, slash == 2 && path.size() > 1 && path[1] == ':' ? 3 : slash);
}

bool IsSystemFolder(std::string_view folder, std::string_view windows, std::string_view system) {
    const std::string plain = WithoutTrailingSlash(folder);
    return EqualsIgnoringCase(plain, WithoutTrailingSlash(windows)) ||
           EqualsIgnoringCase(plain, WithoutTrailingSlash(system)) ||
           EqualsIgnoringCase(plain, WithoutTrailingSlash(system) + "\\WIN32S");
}

bool IsSystemFolder(std::string_view folder, MachineFacts& facts) {
    return IsSystemFolder(folder, facts.WindowsDirectory(), facts.SystemDirectory());
}

ModelResult BuildItemLists(const vorn::InstallLog& log, std::string_view logPath,
                           MachineFacts& facts) {
    ModelResult result;
    ModelBuilder builder(facts, result);
    if (!builder.Build(log, logPath)) {
        const std::optional<std::string> refused = result.RefusedPath;
        result = ModelResult{};
        result.RefusedPath = refused;
    }
    return result;
}

} // namespace rescind
