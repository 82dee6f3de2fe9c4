// The directory browser and the part lists of custom dialog pages.
#include "page_lists.h"

#include "engine.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace vorn {

namespace {

constexpr std::string_view ParentItem = "[..]";
constexpr std::string_view FallbackDirectory = "C:\\";

bool IsRoot(std::string_view directory) {
    return directory.size() == 3;
}

std::string Joined(std::string_view directory, std::string_view name) {
    std::string path(directory);
    if (!path.ends_with('\\')) {
        path += '\\';
    }
    return path + std::string(name);
}

// The control after the list (or the one after that), when the entry spans it.
bool Spans(const ControlEntry& entry, int after) {
    return entry.First + after < entry.End;
}

} // namespace

std::string BrowserDirectory(std::string_view path) {
    path = platform::TrimBlanks(path);
    if (path.size() < 2 || path[1] != ':' || platform::UpperAnsi(path[0]) < 'A' ||
        platform::UpperAnsi(path[0]) > 'Z' || (path.size() > 2 && path[2] != '\\')) {
        return {};
    }
    std::string directory(path);
    directory[0] = platform::UpperAnsi(directory[0]);
    while (directory.size() > 3 && directory.ends_with('\\')) {
        directory.pop_back();
    }
    if (directory.size() == 2) {
        directory += '\\';
    }
    return directory;
}

std::optional<std::vector<std::string>> DirectoryItems(platform::FileService& files,
                                                       std::string_view directory) {
    platform::FindData found;
    platform::UniqueFind search(files.FindFirstFileA(Joined(directory, "*.*"), found),
                                platform::FindCloser{&files});
    if (!search) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    do {
        if ((found.FileAttributes & platform::file::AttributeDirectory) != 0 &&
            found.FileName != "." && found.FileName != "..") {
            names.push_back(found.FileName);
        }
    } while (files.FindNextFileA(search.Get(), found));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return platform::UpperAnsi(a) < platform::UpperAnsi(b);
    });
    std::vector<std::string> items;
    if (!IsRoot(directory)) {
        items.emplace_back(ParentItem);
    }
    for (const std::string& name : names) {
        items.push_back("[" + name + "]");
    }
    for (char drive = 'A'; drive <= 'Z'; ++drive) {
        const char root[] = {drive, ':', '\\', '\0'};
        std::uint32_t type = files.GetDriveTypeA(root);
        if (type != platform::file::DriveUnknown && type != platform::file::DriveNoRootDir) {
            items.push_back(std::string("[-") + platform::LowerAnsi(drive) + "-]");
        }
    }
    return items;
}

std::string ChosenDirectory(std::string_view directory, std::string_view item) {
    if (directory.empty()) {
        return {};
    }
    if (item == ParentItem) {
        if (IsRoot(directory)) {
            return {};
        }
        std::size_t last = directory.rfind('\\');
        return std::string(directory.substr(0, std::max<std::size_t>(last, 2))) +
               (last <= 2 ? "\\" : "");
    }
    if (item.size() == 5 && item.starts_with("[-") && item.ends_with("-]")) {
        return BrowserDirectory(std::string{item[2], ':'});
    }
    if (item.size() > 2 && item.front() == '[' && item.back() == ']') {
        return Joined(directory, item.substr(1, item.size() - 2));
    }
    return {};
}

bool DirectoryBrowser::Show(platform::DialogWindow& dialog, const std::string& directory) {
    if (Files == nullptr || directory.empty()) {
        return false;
    }
    std::optional<std::vector<std::string>> items = DirectoryItems(*Files, directory);
    if (!items) {
        return false;
    }
    dialog.ResetList(Entry.First);
    for (const std::string& item : *items) {
        dialog.AddListItem(Entry.First, item);
    }
    Shown = directory;
    if (Spans(Entry, 1)) {
        dialog.SetDlgItemTextA(Entry.First + 1, Shown);
    }
    return true;
}

void DirectoryBrowser::Open(platform::DialogWindow& dialog, std::string_view start) {
    std::string directory = BrowserDirectory(start);
    while (!directory.empty() && !Show(dialog, directory)) {
        directory = ChosenDirectory(directory, ParentItem);
    }
    if (directory.empty() && !Show(dialog, std::string(FallbackDirectory))) {
        // Nothing can be listed: the page still stores what it was given.
        Shown = BrowserDirectory(start);
    }
}

void DirectoryBrowser::Choose(platform::DialogWindow& dialog, int index) {
    Show(dialog, ChosenDirectory(Shown, dialog.ListItemText(Entry.First, index)));
}

PartItem ReadPartItem(std::string_view line) {
    std::size_t tab = line.find('\t');
    PartItem part{std::string(platform::TrimBlanks(line.substr(0, tab))), 0};
    if (tab != std::string_view::npos) {
        std::string_view size = platform::TrimBlanks(line.substr(tab + 1));
        auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), part.Kilobytes);
        if (error != std::errc() || part.Kilobytes < 0) {
            part.Kilobytes = 0;
        }
    }
    return part;
}

std::string KilobyteText(long kilobytes) {
    return std::to_string(kilobytes) + " k";
}

platform::FileService* PageLists::Files() const {
    return Run.Services.Machine != nullptr ? &Run.Services.Machine->Files() : nullptr;
}

bool PageLists::OpenBrowser(platform::DialogWindow& dialog, const ControlEntry& entry,
                            std::string_view value) {
    if ((entry.Flags & entry_flag::Browser) == 0) {
        return false;
    }
    Browsers.emplace_back(&entry, DirectoryBrowser(Files(), entry));
    Browsers.back().second.Open(dialog, value);
    return true;
}

std::string PageLists::ItemText(const ControlEntry& entry, std::string_view line) {
    if ((entry.Flags & entry_flag::PartList) == 0) {
        return std::string(line);
    }
    PartItem part = ReadPartItem(line);
    return part.Name + "\t" + KilobyteText(part.Kilobytes);
}

std::string PageLists::ItemName(const ControlEntry& entry, std::string_view line) {
    return (entry.Flags & entry_flag::PartList) != 0 ? ReadPartItem(line).Name : std::string(line);
}

std::optional<std::string> PageLists::Browsed(const ControlEntry& entry) const {
    for (const auto& [shown, browser] : Browsers) {
        if (shown == &entry) {
            return browser.Directory();
        }
    }
    return std::nullopt;
}

void PageLists::Update(platform::DialogWindow& dialog, const ControlEntry& entry) {
    if ((entry.Flags & entry_flag::PartList) == 0) {
        return;
    }
    int count = std::max(dialog.ListItemCount(entry.First), 0);
    if (Spans(entry, 1)) {
        long chosen = 0;
        for (int i = 0; i < count; ++i) {
            if (dialog.IsListItemSelected(entry.First, i)) {
                long size = ReadPartItem(dialog.ListItemText(entry.First, i)).Kilobytes;
                chosen = size > std::numeric_limits<long>::max() - chosen
                             ? std::numeric_limits<long>::max()
                             : chosen + size;
            }
        }
        dialog.SetDlgItemTextA(entry.First + 1, KilobyteText(chosen));
    }
    std::string directory = BrowserDirectory(Run.Variables.GetVariable(entry.SecondPart));
    platform::FileService* files = Files();
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
    if (Spans(entry, 2) && files != nullptr && !directory.empty() &&
        files->GetDiskFreeSpaceA(directory.substr(0, 3).c_str(), sectorsPerCluster, bytesPerSector,
                                 freeClusters, totalClusters)) {
        // Clusters beyond 2 GB are not real; capping them keeps the product in 64 bits.
        std::uint64_t cluster =
            std::min<std::uint64_t>(std::uint64_t{sectorsPerCluster} * bytesPerSector, 1u << 31);
        std::uint64_t kilobytes = cluster * freeClusters / 1024;
        dialog.SetDlgItemTextA(entry.First + 2,
                               KilobyteText(static_cast<long>(std::min<std::uint64_t>(
                                   kilobytes, std::numeric_limits<std::int32_t>::max()))));
    }
}

void PageLists::Command(platform::DialogWindow& dialog, const std::vector<ControlEntry>& entries,
                        int control, int notification) {
    for (auto& [entry, browser] : Browsers) {
        if (entry->First == control && notification == platform::dlg::LbnDblClk) {
            int count = dialog.ListItemCount(control);
            for (int i = 0; i < count; ++i) {
                if (dialog.IsListItemSelected(control, i)) {
                    browser.Choose(dialog, i);
                    return;
                }
            }
        }
    }
    for (const ControlEntry& entry : entries) {
        if (entry.Kind == control_kind::List && entry.First == control &&
            notification == platform::dlg::LbnSelChange) {
            Update(dialog, entry);
        }
    }
}

} // namespace vorn
