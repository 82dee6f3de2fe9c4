// Version records read through the version service, and their comparison.
#include "version_compare.h"

#include "platform/files.h"
#include "platform/versions.h"

#include <array>
#include <cstring>
#include <vector>

namespace vorn {

namespace {

// Bounds a damaged file's claim on memory: real version blocks are a few kilobytes.
constexpr std::uint32_t MaxVersionBlock = 1u << 20;

bool ReadAt(platform::FileService& files, platform::FileHandle file, std::uint32_t offset,
            std::span<char> buffer) {
    std::uint32_t read = 0;
    return files.SetFilePointer(file, static_cast<std::int32_t>(offset), nullptr,
                                platform::file::Begin) != platform::file::InvalidSetFilePointer &&
           files.ReadFile(file, buffer, read) && read == buffer.size();
}

} // namespace

bool IsImage32(platform::FileService& files, std::string_view path) {
    platform::UniqueFile file(
        files.CreateFileA(path, platform::file::GenericRead,
                          platform::file::ShareRead | platform::file::ShareWrite,
                          platform::file::OpenExisting, platform::file::AttributeNormal),
        platform::FileCloser{&files});
    std::array<char, 64> dos{};
    std::array<char, 2> pe{};
    if (!file || !ReadAt(files, file.Get(), 0, dos) || dos[0] != 'M' || dos[1] != 'Z') {
        return false;
    }
    std::uint32_t header = 0;
    std::memcpy(&header, dos.data() + 60, 4);
    return header < 0x10000000u && ReadAt(files, file.Get(), header, pe) && pe[0] == 'P' &&
           pe[1] == 'E';
}

std::optional<VersionRecord> ReadVersionRecord(platform::VersionService& versions,
                                               platform::FileService& files,
                                               std::string_view path) {
    std::uint32_t size = versions.GetFileVersionInfoSizeA(path, nullptr);
    if (size == 0 || size > MaxVersionBlock) {
        return std::nullopt;
    }
    std::vector<char> block(size);
    if (!versions.GetFileVersionInfoA(path, 0, block)) {
        return std::nullopt;
    }
    const char* value = nullptr;
    std::uint32_t length = 0;
    platform::FixedFileInfo fixed;
    if (!versions.VerQueryValueA(block, "\\", value, length) || value == nullptr ||
        length < sizeof fixed) {
        return std::nullopt;
    }
    std::memcpy(&fixed, value, sizeof fixed);
    VersionRecord record{fixed.FileVersionMS,   fixed.FileVersionLS, fixed.FileOS,
                         fixed.FileType,        fixed.FileSubtype,   0,
                         IsImage32(files, path)};
    if (versions.VerQueryValueA(block, "\\VarFileInfo\\Translation", value, length) &&
        value != nullptr && length >= 4) {
        std::memcpy(&record.Translation, value, 4);
    }
    return record;
}

bool IsNewerVersion(const VersionRecord& added, const std::optional<VersionRecord>& existing,
                    bool compareImageMarks) {
    if (!existing) {
        return true;
    }
    const std::uint64_t newVersion = (std::uint64_t{added.VersionMs} << 32) | added.VersionLs;
    const std::uint64_t oldVersion =
        (std::uint64_t{existing->VersionMs} << 32) | existing->VersionLs;
    return newVersion > oldVersion && added.Os == existing->Os && added.Type == existing->Type &&
           added.Subtype == existing->Subtype &&
           (!compareImageMarks || added.Image32 == existing->Image32);
}

} // namespace vorn
