// Windows paths in the sandbox machine: taking them apart as Windows does, finding
// their entries ignoring case, and the attributes and 8.3 names Linux does not keep.
#include "platform/ansi_text.h"
#include "platform/files.h"
#include "platform/posix/sandbox_machine.h"
#include "platform/unique_handle.h"
#include "sandbox_folder_cache.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t MaxPath = 260;
constexpr std::size_t MaxName = 255;

bool IsRefusedCharacter(char c, bool wildcard) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32) {
        return true;
    }
    if (c == '*' || c == '?') {
        return !wildcard;
    }
    return c == '<' || c == '>' || c == ':' || c == '"' || c == '|';
}

std::vector<std::string> SplitNames(std::string_view path) {
    const std::vector<std::string_view> names = SplitBackslashNames(path);
    return {names.begin(), names.end()};
}

using sandbox::UniqueDirectory;

using sandbox::EntryList;
using sandbox::EntryListName;

EntryList ReadEntryListFile(const fs::path& folder) {
    EntryList list;
    std::ifstream file(folder / EntryListName, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string name;
        std::string shortName;
        std::string attributes;
        if (std::getline(fields, name, '\t') && std::getline(fields, shortName, '\t') &&
            std::getline(fields, attributes)) {
            list[name] =
                EntryInfo{static_cast<std::uint32_t>(std::strtoul(attributes.c_str(), nullptr, 16)),
                          shortName};
        }
    }
    return list;
}

EntryList LoadEntryList(const fs::path& folder,
                        std::optional<sandbox::FolderId> seen = std::nullopt) {
    return sandbox::RememberedEntryList(folder, ReadEntryListFile, seen);
}

void SaveEntryList(const fs::path& folder, const EntryList& list) {
    const fs::path listPath = folder / EntryListName;
    std::error_code ignored;
    if (list.empty()) {
        fs::remove(listPath, ignored);
        return;
    }
    std::ofstream file(listPath, std::ios::binary | std::ios::trunc);
    for (const auto& [name, info] : list) {
        char attributes[16];
        std::snprintf(attributes, sizeof attributes, "%X", info.Attributes);
        file << name << '\t' << info.ShortName << '\t' << attributes << '\n';
    }
}

std::string ShortNameCharacters(std::string_view text) {
    std::string result;
    for (char c : text) {
        if (c == ' ' || c == '.') {
            continue;
        }
        if (c == '+' || c == ',' || c == ';' || c == '=' || c == '[' || c == ']') {
            result.push_back('_');
        } else {
            result.push_back(UpperAnsi(c));
        }
    }
    return result;
}

} // namespace

std::string SandboxPath::Windows() const {
    std::string text{Drive, ':'};
    if (Names.empty()) {
        return text + "\\";
    }
    for (const std::string& name : Names) {
        text += "\\" + name;
    }
    return text;
}

bool NativeNameToAnsi(const std::string& native, std::string& ansi) {
    // Code page 1252 maps one to one onto its UTF-8 forms: match them back byte by byte.
    static const std::map<std::string, char> Bytes = [] {
        std::map<std::string, char> bytes;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            bytes[AnsiToUtf8(std::string(1, static_cast<char>(byte)))] = static_cast<char>(byte);
        }
        return bytes;
    }();
    ansi.clear();
    for (std::size_t i = 0; i < native.size();) {
        if (static_cast<unsigned char>(native[i]) < 0x80) {
            ansi.push_back(native[i++]);
            continue;
        }
        bool found = false;
        for (std::size_t length = 2; length <= 3 && !found && i + length <= native.size();
             ++length) {
            auto it = Bytes.find(native.substr(i, length));
            if (it != Bytes.end()) {
                ansi.push_back(it->second);
                i += length;
                found = true;
            }
        }
        if (!found) {
            return false;
        }
    }
    return true;
}

namespace {

// The Linux path of the entry in `folder` whose name is `name` ignoring case, or whose 8.3
// name it is; empty when there is none. Tells whether the entry is a folder; `seen` is the
// folder's identity when the caller has just looked at it. Paths are built as text: a
// std::filesystem path takes itself apart again at every name added, and resolving runs several
// times for every file installed.
std::string FindEntry(const std::string& folder, std::string_view name, bool& isFolder,
                      std::optional<sandbox::FolderId> seen = std::nullopt) {
    std::string exact = folder + '/' + AnsiToUtf8(name);
    if (struct stat status{}; ::lstat(exact.c_str(), &status) == 0) {
        isFolder = S_ISDIR(status.st_mode) ||
                   (S_ISLNK(status.st_mode) && ::stat(exact.c_str(), &status) == 0 &&
                    S_ISDIR(status.st_mode));
        return exact;
    }
    std::string found;
    // A name not there yet is looked up in the folder's remembered names, read once.
    if (const std::optional<std::string> remembered =
            sandbox::FindRememberedName(folder, name, ReadEntryListFile, seen)) {
        if (!remembered->empty()) {
            found = folder + '/' + *remembered;
        }
    } else {
        // A folder that cannot be watched is read every time: readdir's own names are
        // compared, and only a name with bytes above 127 is converted.
        const UniqueDirectory listing(::opendir(folder.c_str()));
        std::string ansi;
        while (const dirent* entry = listing ? ::readdir(listing.Get()) : nullptr) {
            const std::string_view native = entry->d_name;
            if (native == "." || native == "..") {
                continue;
            }
            const bool plain = std::all_of(native.begin(), native.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x80;
            });
            if (plain ? native.size() == name.size() && EqualsIgnoringCase(native, name)
                      : NativeNameToAnsi(std::string(native), ansi) &&
                            EqualsIgnoringCase(ansi, name)) {
                found = folder + '/' + std::string(native);
                break;
            }
        }
        // Windows takes an entry's 8.3 name wherever it takes its name.
        if (found.empty()) {
            if (const std::string native =
                    sandbox::EntryWithShortName(LoadEntryList(folder), folder, name);
                !native.empty()) {
                found = folder + '/' + native;
            }
        }
    }
    struct stat status {};
    isFolder = !found.empty() && ::stat(found.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    return found;
}

} // namespace

SandboxPath SandboxMachine::Resolve(std::string_view path, bool wildcards) const {
    SandboxPath result;
    std::string text(path.substr(0, path.find('\0')));
    // The ANSI calls convert the path into a buffer of MAX_PATH characters first.
    if (text.size() >= MaxPath) {
        result.Error = winerror::FilenameExcedRange;
        return result;
    }
    for (char& c : text) {
        c = c == '/' ? '\\' : c;
    }
    if (text.empty()) {
        result.Error = winerror::PathNotFound;
        return result;
    }
    std::string_view rest = text;
    // A relative path starts from the current folder.
    const auto currentNames = [this] { return SplitNames(std::string_view(Current).substr(2)); };
    result.Drive = Current[0];
    if (rest.size() >= 2 && rest[1] == ':' &&
        ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'))) {
        result.Drive = UpperAnsi(rest[0]);
        rest.remove_prefix(2);
        if ((rest.empty() || rest[0] != '\\') && result.Drive == Current[0]) {
            result.Names = currentNames();
        }
    } else if (rest.starts_with("\\\\")) {
        result.Error = winerror::BadNetPath;
        return result;
    } else if (rest[0] != '\\') {
        result.Names = currentNames();
    }
    const std::vector<std::string_view> given = SplitBackslashNames(rest);
    const bool endsInSeparator = !rest.empty() && rest.back() == '\\';
    for (std::size_t i = 0; i < given.size(); ++i) {
        std::string name(given[i]);
        if (name == ".") {
            continue;
        }
        if (name == "..") {
            if (!result.Names.empty()) {
                result.Names.pop_back();
            }
            continue;
        }
        // Windows drops trailing dots and blanks of the last name ("README.TXT. " is
        // README.TXT), and trailing dots of the folders above it.
        const bool last = i + 1 == given.size();
        const bool trimsBlanks = last && !endsInSeparator;
        while (!name.empty() && (name.back() == '.' || (trimsBlanks && name.back() == ' '))) {
            name.pop_back();
        }
        if (name.empty()) {
            continue;
        }
        for (char c : name) {
            if (IsRefusedCharacter(c, wildcards && last)) {
                result.Error = winerror::InvalidName;
                return result;
            }
        }
        if (name.size() > MaxName) {
            result.Error = winerror::FilenameExcedRange;
            return result;
        }
        result.Names.push_back(std::move(name));
    }
    if (FindDrive(result.Drive) == nullptr) {
        result.Error = winerror::PathNotFound;
        return result;
    }
    std::string native = DriveFolderText(result.Drive);
    result.ReadOnly = IsMedium(result.Drive);
    result.ParentExists = true;
    result.Exists = result.Names.empty();
    result.IsFolder = result.Exists;
    // Folders spelt as they are on disk are found with one look at the whole folder path,
    // where looking their names up one by one takes a look each, and that look tells the
    // folder cache which folder the path names; any other spelling is looked up name by
    // name.
    std::size_t first = 0;
    if (result.Names.size() > 1) {
        std::string folder = native;
        for (std::size_t i = 0; i + 1 < result.Names.size(); ++i) {
            folder += '/';
            folder += AnsiToUtf8(result.Names[i]);
        }
        if (struct stat status{}; ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
            native = std::move(folder);
            first = result.Names.size() - 1;
            result.Folder = sandbox::FolderId{status.st_dev, status.st_ino};
        }
    }
    for (std::size_t i = first; i < result.Names.size(); ++i) {
        const bool last = i + 1 == result.Names.size();
        const bool pattern = last && result.Names[i].find_first_of("*?") != std::string::npos;
        std::string entry;
        bool isFolder = false;
        if (result.ParentExists && !pattern) {
            entry = FindEntry(native, result.Names[i], isFolder,
                              i == first ? result.Folder : std::nullopt);
        }
        if (entry.empty()) {
            native += '/';
            native += AnsiToUtf8(result.Names[i]);
            result.ParentExists = result.ParentExists && last;
            continue;
        }
        native = std::move(entry);
        if (last) {
            result.Exists = true;
            result.IsFolder = isFolder;
        } else if (!isFolder) {
            result.ParentExists = false;
        }
    }
    result.Native = std::move(native);
    return result;
}

EntryInfo ReadEntryInfo(const fs::path& entry, std::optional<sandbox::FolderId> folder) {
    EntryList list = LoadEntryList(entry.parent_path(), folder);
    auto it = list.find(entry.filename().string());
    return it == list.end() ? EntryInfo{} : it->second;
}

namespace {

// Gives `name` its attributes and 8.3 name in `list`; whether the list changed.
bool SetEntryInfo(EntryList& list, const std::string& name, const EntryInfo& info) {
    if (info.Attributes == 0 && info.ShortName.empty()) {
        return list.erase(name) > 0;
    }
    EntryInfo& stored = list[name];
    if (stored.Attributes == info.Attributes && stored.ShortName == info.ShortName) {
        return false;
    }
    stored = info;
    return true;
}

} // namespace

void WriteEntryInfo(const fs::path& entry, const EntryInfo& info) {
    EntryList list = LoadEntryList(entry.parent_path());
    // A list that does not change leaves the list file as it is.
    if (SetEntryInfo(list, entry.filename().string(), info)) {
        SaveEntryList(entry.parent_path(), list);
    }
}

void ForgetEntryInfo(const fs::path& entry) {
    EntryList list = LoadEntryList(entry.parent_path());
    if (list.erase(entry.filename().string()) > 0) {
        SaveEntryList(entry.parent_path(), list);
    }
}

bool MoveEntry(const fs::path& from, const fs::path& to,
               std::optional<sandbox::FolderId> fromFolder) {
    std::error_code error;
    const fs::path folder = from.parent_path();
    if (folder == to.parent_path()) {
        // Within one folder the move is one read and at most one write of its list.
        EntryList list = LoadEntryList(folder, fromFolder);
        const auto found = list.find(from.filename().string());
        // A new name means a new 8.3 name, made when it is wanted.
        const EntryInfo info{found == list.end() ? 0 : found->second.Attributes, {}};
        fs::rename(from, to, error);
        if (error) {
            return false;
        }
        const bool forgotten = found != list.end();
        if (forgotten) {
            list.erase(found);
        }
        if (SetEntryInfo(list, to.filename().string(), info) || forgotten) {
            SaveEntryList(folder, list);
        }
        return true;
    }
    EntryInfo info = ReadEntryInfo(from, fromFolder);
    fs::rename(from, to, error);
    if (error) {
        return false;
    }
    if (info.Attributes != 0 || !info.ShortName.empty()) {
        ForgetEntryInfo(from);
    }
    // A new folder or a new name means a new 8.3 name, made when it is wanted.
    info.ShortName.clear();
    WriteEntryInfo(to, info);
    return true;
}

bool IsShortName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return !name.empty();
    }
    const std::size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3 ||
        extension.find('.') != std::string_view::npos ||
        (dot != std::string_view::npos && extension.empty())) {
        return false;
    }
    return name.find_first_of(" +,;=[]") == std::string_view::npos;
}

std::string ShortNameOf(const fs::path& entry) {
    std::string name;
    if (!NativeNameToAnsi(entry.filename().string(), name)) {
        return {};
    }
    if (IsShortName(name)) {
        return name;
    }
    EntryInfo info = ReadEntryInfo(entry);
    if (!info.ShortName.empty()) {
        return info.ShortName;
    }
    // Names taken in the folder: 8.3 names as they stand, other names' stored 8.3 names.
    std::vector<std::string> taken;
    const EntryList list = LoadEntryList(entry.parent_path());
    for (const auto& [native, stored] : list) {
        if (!stored.ShortName.empty()) {
            taken.push_back(stored.ShortName);
        }
    }
    std::error_code error;
    std::string sibling;
    for (fs::directory_iterator it(entry.parent_path(), error), end; !error && it != end;
         it.increment(error)) {
        if (NativeNameToAnsi(it->path().filename().string(), sibling) && IsShortName(sibling)) {
            taken.push_back(UpperAnsi(sibling));
        }
    }
    const std::size_t dot = name.rfind('.');
    std::string base =
        ShortNameCharacters(name.substr(0, dot == std::string::npos ? name.size() : dot));
    const std::string extension = dot == std::string::npos
                                      ? std::string{}
                                      : ShortNameCharacters(name.substr(dot + 1)).substr(0, 3);
    if (base.empty()) {
        base = "_";
    }
    for (unsigned number = 1; number < 1000000; ++number) {
        const std::string tail = "~" + std::to_string(number);
        std::string candidate = base.substr(0, 8 - tail.size()) + tail;
        if (!extension.empty()) {
            candidate += "." + extension;
        }
        bool used = false;
        for (const std::string& other : taken) {
            used = used || EqualsIgnoringCase(other, candidate);
        }
        if (!used) {
            info.ShortName = candidate;
            WriteEntryInfo(entry, info);
            return candidate;
        }
    }
    return {};
}

} // namespace platform
