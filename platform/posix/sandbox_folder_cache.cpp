// Host folders remembered between lookups. inotify queues an event for every name made,
// removed or renamed in a watched folder, by this process or any other, before the call
// that made the change returns; reading the queue before each lookup keeps what is
// remembered as true as a fresh read of the folder, at the cost of one read that
// usually finds nothing.
#include "sandbox_folder_cache.h"

#include "platform/ansi_text.h"
#include "platform/unique_handle.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace platform::sandbox {

namespace fs = std::filesystem;

namespace {

// Watches are a per-user resource: past this many folders, all are let go and the
// folders in use are read again.
constexpr std::size_t MaxFolders = 256;
// A list file is rewritten whole and closed: the close says it changed, where every
// write to every file would queue an event of its own.
constexpr std::uint32_t WatchedEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                        IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

// An event with the longest name a folder can hold.
constexpr std::size_t LongestEvent = sizeof(inotify_event) + NAME_MAX + 1;

struct DescriptorCloser {
    using Handle = int;
    static constexpr Handle Null = -1;
    void Release(Handle descriptor) { ::close(descriptor); }
};

struct Folder {
    /// Upper-case code page 1252 names to Linux names; Linux may hold "a" and "A" both.
    std::unordered_multimap<std::string, std::string> Names;
    std::optional<EntryList> Entries;
};

std::optional<std::string> FoldedName(const std::string& native) {
    std::string ansi;
    if (!NativeNameToAnsi(native, ansi)) {
        return std::nullopt;
    }
    return UpperAnsi(ansi);
}

class FolderCache {
public:
    std::mutex Lock;
    /// Counts list files changed and folders read or let go, so that a list read while
    /// its file changed is not kept.
    std::uint64_t Changes = 0;

    /// The folder as remembered, read first if it is not; null when it cannot be watched.
    /// `seen` is the identity the path had a moment ago, when the caller looked.
    Folder* Find(const fs::path& path, std::optional<FolderId> seen = std::nullopt) {
        if (!Ready()) {
            return nullptr;
        }
        if (!seen) {
            struct stat status {};
            if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
                return nullptr;
            }
            seen = FolderId{status.st_dev, status.st_ino};
        }
        Drain();
        const FolderId id = *seen;
        if (auto it = Folders.find(id); it != Folders.end()) {
            return &it->second;
        }
        if (Folders.size() >= MaxFolders) {
            ForgetAll();
        }
        const int watch = ::inotify_add_watch(Notify.Get(), path.c_str(), WatchedEvents);
        if (watch < 0) {
            return nullptr;
        }
        // The path must still name the folder just looked at, now that it is watched.
        struct stat again {};
        if (::stat(path.c_str(), &again) != 0 || again.st_dev != id.Device ||
            again.st_ino != id.Inode || Watches.contains(watch)) {
            if (!Watches.contains(watch)) {
                ::inotify_rm_watch(Notify.Get(), watch);
            }
            return nullptr;
        }
        const UniqueDirectory listing(::opendir(path.c_str()));
        if (!listing) {
            ::inotify_rm_watch(Notify.Get(), watch);
            return nullptr;
        }
        ++Changes;
        Folder& folder = Folders[id];
        Watches[watch] = id;
        // Changes made while the folder is read are queued too and applied on top.
        while (const dirent* entry = ::readdir(listing.Get())) {
            const std::string native = entry->d_name;
            if (native != "." && native != "..") {
                Add(folder, native);
            }
        }
        return &folder;
    }

private:
    bool Ready() {
        // A forked child shares the parent's queue: reading it would take the parent's
        // events. It starts its own.
        if (!Started) {
            Started = true;
            Forked = true;
            ::pthread_atfork(nullptr, nullptr, [] { Forked = true; });
        }
        if (Forked) {
            Forked = false;
            ++Changes;
            Folders.clear();
            Watches.clear();
            Notify.Reset(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
        }
        return static_cast<bool>(Notify);
    }

    static void Add(Folder& folder, const std::string& native) {
        if (auto folded = FoldedName(native)) {
            folder.Names.emplace(std::move(*folded), native);
        }
    }

    static void Remove(Folder& folder, const std::string& native) {
        if (auto folded = FoldedName(native)) {
            auto [first, last] = folder.Names.equal_range(*folded);
            for (auto it = first; it != last; ++it) {
                if (it->second == native) {
                    folder.Names.erase(it);
                    break;
                }
            }
        }
    }

    void ForgetAll() {
        for (const auto& [watch, id] : Watches) {
            ::inotify_rm_watch(Notify.Get(), watch);
        }
        Watches.clear();
        Folders.clear();
        ++Changes;
    }

    void Drain() {
        alignas(inotify_event) char buffer[16 * 1024];
        for (;;) {
            const ssize_t length = ::read(Notify.Get(), buffer, sizeof buffer);
            if (length < 0 && errno == EINTR) {
                continue;
            }
            if (length <= 0) {
                return;
            }
            for (ssize_t at = 0; at < length;) {
                inotify_event event{};
                std::memcpy(&event, buffer + at, sizeof event);
                const std::string name =
                    event.len == 0 ? std::string{} : std::string(buffer + at + sizeof event);
                at += static_cast<ssize_t>(sizeof event + event.len);
                Apply(event, name);
            }
            // A read hands over every queued event that fits: room left for the longest
            // event means the queue was empty, and asking again would only say so.
            if (sizeof buffer - static_cast<std::size_t>(length) >= LongestEvent) {
                return;
            }
        }
    }

    void Apply(const inotify_event& event, const std::string& name) {
        if (event.mask & IN_Q_OVERFLOW) {
            ForgetAll();
            return;
        }
        const auto watch = Watches.find(event.wd);
        if (watch == Watches.end()) {
            return;
        }
        if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
            if (!(event.mask & IN_IGNORED)) {
                ::inotify_rm_watch(Notify.Get(), event.wd);
            }
            Folders.erase(watch->second);
            Watches.erase(watch);
            ++Changes;
            return;
        }
        Folder& folder = Folders[watch->second];
        if (name == EntryListName) {
            folder.Entries.reset();
            ++Changes;
        }
        if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
            Add(folder, name);
        }
        if (event.mask & (IN_DELETE | IN_MOVED_FROM)) {
            Remove(folder, name);
        }
    }

    static inline bool Forked = false;
    UniqueHandle<DescriptorCloser> Notify;
    bool Started = false;
    std::map<FolderId, Folder> Folders;
    std::unordered_map<int, FolderId> Watches;
};

FolderCache& TheCache() {
    static FolderCache cache;
    return cache;
}

// The folder's entry list, read with `read` when it is not remembered (null when the
// folder cannot be watched): kept only when its list file did not change while it was read.
const EntryList* Entries(FolderCache& cache, Folder* folder, const fs::path& path,
                         const EntryListReader& read, EntryList& unkept) {
    if (folder == nullptr || folder->Entries) {
        return folder == nullptr ? nullptr : &*folder->Entries;
    }
    const std::uint64_t changes = cache.Changes;
    unkept = read(path);
    if (Folder* after = cache.Find(path); after != nullptr && cache.Changes == changes) {
        after->Entries = std::move(unkept);
        return &*after->Entries;
    }
    return &unkept;
}

} // namespace

std::optional<std::string> FindRememberedName(const fs::path& folder, std::string_view name,
                                              const EntryListReader& read,
                                              std::optional<FolderId> seen) {
    FolderCache& cache = TheCache();
    const std::lock_guard lock(cache.Lock);
    Folder* found = cache.Find(folder, seen);
    if (found == nullptr) {
        return std::nullopt;
    }
    if (const auto it = found->Names.find(UpperAnsi(name)); it != found->Names.end()) {
        return it->second;
    }
    EntryList unkept;
    return EntryWithShortName(*Entries(cache, found, folder, read, unkept), folder, name);
}

std::string EntryWithShortName(const EntryList& list, const fs::path& folder,
                               std::string_view name) {
    std::error_code error;
    for (const auto& [native, info] : list) {
        if (!info.ShortName.empty() && EqualsIgnoringCase(info.ShortName, name) &&
            fs::exists(fs::symlink_status(folder / native, error))) {
            return native;
        }
    }
    return {};
}

EntryList RememberedEntryList(const fs::path& folder, const EntryListReader& read,
                              std::optional<FolderId> seen) {
    FolderCache& cache = TheCache();
    const std::lock_guard lock(cache.Lock);
    EntryList unkept;
    const EntryList* list = Entries(cache, cache.Find(folder, seen), folder, read, unkept);
    return list == nullptr ? read(folder) : *list;
}

} // namespace platform::sandbox
