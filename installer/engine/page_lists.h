// The lists of custom dialog pages that do more than show lines of text: the drive and
// directory browser, and the lists of parts with their sizes and the room they need.
#pragma once

#include "custom_dialog_set.h"
#include "platform/dialog_templates.h"
#include "platform/files.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

class Engine;

namespace entry_flag {
/// List: a drive and directory browser.
inline constexpr std::uint16_t Browser = 0x2;
/// List: the items are parts of the product, each line "name<tab>kilobytes".
inline constexpr std::uint16_t PartList = 0x8;
} // namespace entry_flag

/// The items a directory browser shows for `directory` ("C:\APPS"): "[..]" unless it is
/// a drive's root, "[name]" for each subdirectory in name order, then "[-x-]" for each
/// drive the machine has. Nullopt when the directory cannot be listed.
std::optional<std::vector<std::string>> DirectoryItems(platform::FileService& files,
                                                       std::string_view directory);

/// `path` as the browser keeps it: "X:\" for a root, no backslash at the end otherwise,
/// the drive letter upper-cased. Empty when the path names no drive.
std::string BrowserDirectory(std::string_view path);

/// Where a double-click on `item` of the list of `directory` leads: the parent, a
/// subdirectory or a drive's root; empty when the item is none of these.
std::string ChosenDirectory(std::string_view directory, std::string_view item);

/// A list entry with the drive-and-directory flag. The list shows the directory the
/// variable holds; a double-click goes into the chosen directory or drive; the control
/// after the list, when the entry spans it, shows the directory; the page stores it.
class DirectoryBrowser {
public:
    DirectoryBrowser(platform::FileService* files, const ControlEntry& entry)
        : Files(files), Entry(entry) {}

    /// Shows `start`, or the nearest parent that can be listed, or "C:\".
    void Open(platform::DialogWindow& dialog, std::string_view start);
    /// The user double-clicked item `index`. A drive or directory that cannot be read
    /// leaves the list as it was.
    void Choose(platform::DialogWindow& dialog, int index);
    const std::string& Directory() const { return Shown; }

private:
    bool Show(platform::DialogWindow& dialog, const std::string& directory);

    platform::FileService* Files;
    const ControlEntry& Entry;
    std::string Shown;
};

/// One line of a part list: its name and size.
struct PartItem {
    std::string Name;
    long Kilobytes = 0;
};

/// A part list's line "name<tab>kilobytes"; a line without a size has 0.
PartItem ReadPartItem(std::string_view line);

/// "%ld k".
std::string KilobyteText(long kilobytes);

/// The browsers and part lists of one shown page. A part list's items show their sizes
/// ("Program\t1200 k": on a display a check mark, the name, and the size at the right);
/// the control after the list shows the kilobytes of the chosen parts, the one after that
/// the free kilobytes of the drive of the path in the variable named after the entry's
/// 0x7F mark.
class PageLists {
public:
    explicit PageLists(Engine& engine) : Run(engine) {}

    /// Fills a browser's list from its variable's `value`; false for other entries.
    bool OpenBrowser(platform::DialogWindow& dialog, const ControlEntry& entry,
                     std::string_view value);
    /// What a line of the entry's text shows in the list, and the name it stands for.
    static std::string ItemText(const ControlEntry& entry, std::string_view line);
    static std::string ItemName(const ControlEntry& entry, std::string_view line);
    /// Shows a part list's chosen and free kilobytes again.
    void Update(platform::DialogWindow& dialog, const ControlEntry& entry);
    /// The directory a browser stores; nullopt for other entries.
    std::optional<std::string> Browsed(const ControlEntry& entry) const;
    /// A double-click in a browser, a change of selection in a part list.
    void Command(platform::DialogWindow& dialog, const std::vector<ControlEntry>& entries,
                 int control, int notification);

private:
    platform::FileService* Files() const;

    Engine& Run;
    std::vector<std::pair<const ControlEntry*, DirectoryBrowser>> Browsers;
};

} // namespace vorn
