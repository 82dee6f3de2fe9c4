// What the sandbox remembers of host folders between lookups: each folder's names
// folded to upper case, and its list of attributes and 8.3 names. Linux tells the
// process of every change to a remembered folder (inotify), whoever makes it, so a
// folder is read once and not again for every name a setup looks up in it.
#pragma once

#include "platform/posix/sandbox_machine.h"
#include "platform/unique_handle.h"

#include <dirent.h>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform::sandbox {

/// A folder's attributes and 8.3 names by Linux name, as "sandbox:entries" holds them.
using EntryList = std::map<std::string, EntryInfo>;

struct DirectoryCloser {
    using Handle = DIR*;
    static constexpr Handle Null = nullptr;
    void Release(Handle directory) { ::closedir(directory); }
};
using UniqueDirectory = UniqueHandle<DirectoryCloser>;

/// The list file's name in each folder, which no Windows path can reach.
inline constexpr const char* EntryListName = "sandbox:entries";

/// Reads a folder's entry list from its list file.
using EntryListReader = std::function<EntryList(const std::filesystem::path&)>;

/// Looks `name` (code page 1252) up in `folder` ignoring case from what is remembered,
/// reading the folder first when it is not, as an entry's name and then as the 8.3 name
/// the folder's entry list gives an entry (the list as RememberedEntryList gives it): the
/// Linux name of the entry, "" when the folder has none, nullopt when the folder cannot be
/// watched (the caller reads it). `seen` is the folder's identity when the caller has just
/// looked at its path, which spares the cache a look of its own.
std::optional<std::string> FindRememberedName(const std::filesystem::path& folder,
                                              std::string_view name, const EntryListReader& read,
                                              std::optional<FolderId> seen = std::nullopt);

/// The Linux name of the entry in `folder` whose 8.3 name in `list` is `name` (ignoring
/// case), "" when there is none: the list may still name entries that are gone.
std::string EntryWithShortName(const EntryList& list, const std::filesystem::path& folder,
                               std::string_view name);

/// The folder's entry list as remembered, else as `read` reads it from the folder,
/// remembered then until the folder's list file changes. `seen` as for FindRememberedName.
EntryList RememberedEntryList(const std::filesystem::path& folder, const EntryListReader& read,
                              std::optional<FolderId> seen = std::nullopt);

} // namespace platform::sandbox
