// Directory levels, copies and backups.
#include "backup_copy.h"

#include "engine.h"
#include "install_context.h"
#include "path_parts.h"
#include "platform/machine_services.h"

#include <cstdio>
#include <vector>

namespace vorn {

namespace {

using platform::FileService;

bool Exists(FileService& files, std::string_view path) {
    return files.GetFileAttributesA(path) != platform::file::InvalidAttributes;
}

platform::UniqueFile Open(FileService& files, std::string_view path, bool write) {
    return platform::UniqueFile(
        files.CreateFileA(path, write ? platform::file::GenericWrite : platform::file::GenericRead,
                          write ? 0 : platform::file::ShareRead | platform::file::ShareWrite,
                          write ? platform::file::CreateAlways : platform::file::OpenExisting,
                          platform::file::AttributeNormal),
        platform::FileCloser{&files});
}

ChecksumFunction ChecksumOf(Engine& engine) {
    return engine.Services.Context != nullptr ? engine.Services.Context->Checksum : nullptr;
}

} // namespace

bool CreateDirectoryPath(Engine& engine, std::string_view path) {
    FileService& files = engine.Services.Machine->Files();
    while (path.size() > 3 && path.back() == '\\') {
        path.remove_suffix(1);
    }
    // A folder that is there has all its levels: one look instead of one per level.
    if (Exists(files, path)) {
        return true;
    }
    std::size_t at = path.find('\\');
    while (at != std::string_view::npos) {
        std::size_t next = path.find('\\', at + 1);
        std::string_view level = path.substr(0, next);
        // "C:\" and "\\server\share" are no levels to make.
        if (level.size() > at + 1 && !Exists(files, level) && level.back() != ':') {
            if (!files.CreateDirectoryA(level)) {
                return false;
            }
            engine.Services.Log.AddText("Made Dir: " + std::string(level) + "\r\n");
        }
        at = next;
    }
    return true;
}

std::optional<std::uint32_t> FileChecksum(Engine& engine, std::string_view path,
                                          std::uint32_t& size) {
    platform::UniqueFile file = Open(engine.Services.Machine->Files(), path, false);
    if (!file) {
        return std::nullopt;
    }
    return FileChecksum(engine, file.Get(), size);
}

std::optional<std::uint32_t> FileChecksum(Engine& engine, platform::FileHandle file,
                                          std::uint32_t& size) {
    ChecksumFunction checksum = ChecksumOf(engine);
    FileService& files = engine.Services.Machine->Files();
    if (checksum == nullptr || files.SetFilePointer(file, 0, nullptr, platform::file::Begin) != 0) {
        return std::nullopt;
    }
    std::vector<char> buffer(LongTextSize);
    std::uint32_t value = checksum(nullptr, 0);
    size = 0;
    std::uint32_t read = 0;
    while (files.ReadFile(file, buffer, read)) {
        if (read == 0) {
            return value;
        }
        value = checksum(reinterpret_cast<const std::uint8_t*>(buffer.data()), read);
        size += read;
    }
    return std::nullopt;
}

std::string FreeBackupName(Engine& engine, std::string_view directory, std::string_view fileName) {
    FileService& files = engine.Services.Machine->Files();
    std::string path = std::string(directory) + "\\" + std::string(fileName);
    std::size_t dot = fileName.rfind('.');
    std::string stem(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
    for (int number = 1; number <= 999 && Exists(files, path); ++number) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%03d", number);
        path = std::string(directory) + "\\" + stem + suffix;
    }
    return path;
}

CopyOutcome CopyFileWithBackup(Engine& engine, std::string_view source,
                               std::optional<std::string_view> target) {
    FileService& files = engine.Services.Machine->Files();
    CopyOutcome outcome;
    if (target) {
        outcome.Target = std::string(*target);
    } else {
        std::string directory = engine.Variables.Expand("%BACKUPDIR%", PathSize);
        std::string_view name = NamePart(source);
        if (directory.empty() || !CreateDirectoryPath(engine, directory + "\\")) {
            return outcome;
        }
        outcome.Target = FreeBackupName(engine, directory, name);
    }
    platform::UniqueFile in = Open(files, source, false);
    if (!in) {
        return outcome;
    }
    platform::UniqueFile out = Open(files, outcome.Target, true);
    if (!out) {
        return outcome;
    }
    ChecksumFunction checksum = ChecksumOf(engine);
    std::uint32_t value = checksum != nullptr ? checksum(nullptr, 0) : 0;
    std::vector<char> buffer(LongTextSize);
    std::uint32_t read = 0;
    bool sound = true;
    while ((sound = files.ReadFile(in.Get(), buffer, read)) && read > 0) {
        std::uint32_t written = 0;
        if (!files.WriteFile(out.Get(), std::span<const char>(buffer.data(), read), written) ||
            written != read) {
            sound = false;
            break;
        }
        if (checksum != nullptr) {
            value = checksum(reinterpret_cast<const std::uint8_t*>(buffer.data()), read);
        }
        outcome.Size += read;
    }
    out.Reset();
    if (!sound) {
        files.DeleteFileA(outcome.Target);
        return outcome;
    }
    outcome.Done = true;
    if (checksum != nullptr) {
        outcome.Checksum = value;
    }
    return outcome;
}

} // namespace vorn
