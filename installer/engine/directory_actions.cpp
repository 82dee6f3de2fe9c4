// The actions that walk or change directories: wildcard sources, create directory,
// delete file and rename file.
#include "backup_copy.h"
#include "engine.h"
#include "file_installation.h"
#include "path_parts.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"

namespace vorn {

namespace {

using platform::FileService;

// Wildcard searches go no deeper than this, so a link loop cannot run forever.
constexpr int MaxDepth = 32;

bool IsDots(const std::string& name) {
    return name == "." || name == "..";
}

// Calls `visit` for each entry of `directory` matching `pattern`.
template <typename Visit>
void ForEachEntry(FileService& files, std::string_view directory, std::string_view pattern,
                  Visit visit) {
    platform::FindData found;
    platform::UniqueFind search(
        files.FindFirstFileA(std::string(directory) + "\\" + std::string(pattern), found),
        platform::FindCloser{&files});
    if (!search) {
        return;
    }
    do {
        if (!IsDots(found.FileName)) {
            visit(found);
        }
    } while (files.FindNextFileA(search.Get(), found));
}

int InstallMatches(Engine& engine, const InstallFileRecord& record, const std::string& directory,
                   std::string_view pattern, const std::string& relative, int depth,
                   bool& matched) {
    FileService& files = engine.Services.Machine->Files();
    int result = 0;
    ForEachEntry(files, directory, pattern, [&](const platform::FindData& entry) {
        if (result != 0 || engine.Services.Host.RunStopped() ||
            (entry.FileAttributes & platform::file::AttributeDirectory) != 0) {
            return;
        }
        matched = true;
        InstallFileRecord one = record;
        one.FlagsA |= install_flag::OutsideSource;
        one.FlagsB &= static_cast<std::uint8_t>(~install_flag::WildcardSource);
        one.Destination = record.Destination + "\\" + relative + entry.FileName;
        one.Source = directory + "\\" + entry.FileName;
        result = InstallOneFile(engine, one);
    });
    if (result != 0 || (record.FlagsB & install_flag::Subdirectories) == 0 || depth >= MaxDepth) {
        return result;
    }
    ForEachEntry(files, directory, "*.*", [&](const platform::FindData& entry) {
        if (result == 0 && !engine.Services.Host.RunStopped() &&
            (entry.FileAttributes & platform::file::AttributeDirectory) != 0) {
            result = InstallMatches(engine, record, directory + "\\" + entry.FileName, pattern,
                                    relative + entry.FileName + "\\", depth + 1, matched);
        }
    });
    return result;
}

// Deletes the matching files of `directory` (backed up when "%BACKUPDIR%" is set), and
// with `recurse` those of its subdirectories, removing each emptied one with `removeDirs`.
void DeleteMatches(Engine& engine, const std::string& directory, std::string_view pattern,
                   bool recurse, bool removeDirs, bool backups, int depth) {
    FileService& files = engine.Services.Machine->Files();
    ForEachEntry(files, directory, pattern, [&](const platform::FindData& entry) {
        if ((entry.FileAttributes & platform::file::AttributeDirectory) != 0) {
            return;
        }
        std::string path = directory + "\\" + entry.FileName;
        files.SetFileAttributesA(path, platform::file::AttributeNormal);
        if (backups) {
            CopyFileWithBackup(engine, path, std::nullopt);
        }
        files.DeleteFileA(path);
    });
    if (!recurse || depth >= MaxDepth) {
        return;
    }
    ForEachEntry(files, directory, "*.*", [&](const platform::FindData& entry) {
        if ((entry.FileAttributes & platform::file::AttributeDirectory) != 0) {
            std::string sub = directory + "\\" + entry.FileName;
            DeleteMatches(engine, sub, pattern, recurse, removeDirs, backups, depth + 1);
            if (removeDirs) {
                files.RemoveDirectoryA(sub);
            }
        }
    });
}

bool Ready(Engine& engine) {
    return engine.Services.Machine != nullptr;
}

} // namespace

int InstallWildcard(Engine& engine, const InstallFileRecord& record) {
    const std::string pattern = engine.Variables.Expand(record.Wildcard, PathSize);
    std::string directory(DirectoryPart(pattern));
    InstallFileRecord expanded = record;
    expanded.Destination = engine.Variables.Expand(record.Destination, PathSize);
    while (!expanded.Destination.empty() && expanded.Destination.back() == '\\') {
        expanded.Destination.pop_back();
    }
    bool matched = false;
    int result =
        InstallMatches(engine, expanded, directory,
                       std::string_view(pattern).substr(directory.size() + 1), "", 0, matched);
    if (!matched && result == 0 && engine.Mode != RunMode::Test) {
        CreateDirectoryPath(engine, expanded.Destination + "\\");
    }
    return result;
}

int CreateDirectoryAction(Engine& engine, ActionRecord& record) {
    if (Ready(engine) && engine.Mode != RunMode::Test) {
        CreateDirectoryPath(engine, engine.Variables.Expand(record.Once(0), PathSize) + "\\");
    }
    return 0;
}

int DeleteFileAction(Engine& engine, ActionRecord& record) {
    const std::uint8_t flags = record.Flags();
    if (!Ready(engine) || (engine.Mode == RunMode::Test && (flags & 0x01) == 0)) {
        return 0;
    }
    const std::string path = engine.Variables.Expand(record.Once(0), PathSize);
    const std::string directory(DirectoryPart(path));
    const bool recurse = (flags & 0x08) != 0;
    const bool removeDirs = (flags & 0x04) != 0;
    if (recurse &&
        (platform::EqualsIgnoringCase(directory, engine.Variables.Expand("%WIN%", PathSize)) ||
         platform::EqualsIgnoringCase(directory, engine.Variables.Expand("%SYS%", PathSize)))) {
        return 0;
    }
    const bool backups = !engine.Variables.Expand("%BACKUPDIR%", PathSize).empty();
    DeleteMatches(engine, directory, std::string_view(path).substr(directory.size() + 1), recurse,
                  removeDirs, backups, 0);
    if (removeDirs) {
        engine.Services.Machine->Files().RemoveDirectoryA(directory);
    }
    return 0;
}

int RenameFileAction(Engine& engine, ActionRecord& record) {
    if (!Ready(engine) || engine.Mode == RunMode::Test) {
        return 0;
    }
    const std::string from = engine.Variables.Expand(record.Once(0), PathSize);
    const std::string directory(DirectoryPart(from));
    const std::string to = (directory.empty() ? "" : directory + "\\") +
                           engine.Variables.Expand(record.Once(1), PathSize);
    engine.Services.Machine->Files().MoveFileA(from, to);
    return 0;
}

} // namespace vorn
