// The version calls on the sandbox machine.
#include "platform/posix/sandbox_versions.h"

#include "platform/ansi_text.h"
#include "platform/version_resource.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

/// A folder path without a separator at its end ("C:\" keeps its own).
std::string Folder(std::string_view path) {
    std::string folder(path);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) {
        folder.pop_back();
    }
    return folder;
}

std::string Join(std::string_view folder, std::string_view name) {
    std::string path = Folder(folder);
    if (!path.empty() && path.back() != '\\') {
        path += '\\';
    }
    return path.append(name);
}

std::string_view NameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

/// Writes as much of `text` as fits with a terminating zero, as lstrcpynA does; the
/// length needed with the zero either way. False when it was cut.
bool WriteText(std::string_view text, std::span<char> buffer, std::uint32_t& length) {
    length = static_cast<std::uint32_t>(text.size() + 1);
    if (buffer.empty()) {
        return false;
    }
    const std::size_t copied = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), copied, buffer.begin());
    buffer[copied] = '\0';
    return copied == text.size();
}

/// The result bits that name a file error's cause.
std::uint32_t CauseBits(std::uint32_t error) {
    switch (error) {
    case winerror::DiskFull:
        return ver::InstallOutOfSpace;
    case winerror::AccessDenied:
        return ver::InstallAccessViolation;
    case winerror::SharingViolation:
        return ver::InstallSharingViolation;
    default:
        return 0;
    }
}

struct VersionFacts {
    std::optional<FixedFileInfo> Fixed;
    std::optional<std::uint32_t> Translation; ///< Language in the low half, code page high.
};

VersionFacts FactsOf(std::span<const char> block) {
    VersionFacts facts;
    if (auto fixed = FindVersionValue(block, "\\");
        fixed && fixed->Length >= sizeof(FixedFileInfo)) {
        FixedFileInfo info;
        std::memcpy(&info, block.data() + fixed->Offset, sizeof info);
        if (info.Signature == ver::FixedFileInfoSignature) {
            facts.Fixed = info;
        }
    }
    if (auto translation = FindVersionValue(block, "\\VarFileInfo\\Translation");
        translation && translation->Length >= 4) {
        std::uint32_t pair = 0;
        std::memcpy(&pair, block.data() + translation->Offset, 4);
        facts.Translation = pair;
    }
    return facts;
}

std::uint64_t FileVersion(const FixedFileInfo& info) {
    return std::uint64_t{info.FileVersionMS} << 32 | info.FileVersionLS;
}

} // namespace

std::optional<std::string> SandboxVersions::ReadBlock(std::string_view fileName) {
    UniqueFile file(Files.CreateFileA(fileName, file::GenericRead,
                                      file::ShareRead | file::ShareWrite, file::OpenExisting,
                                      file::AttributeNormal),
                    FileCloser{&Files});
    if (!file) {
        LastError = Files.GetLastError();
        return std::nullopt;
    }
    std::uint32_t high = 0;
    const std::uint32_t low = Files.GetFileSize(file.Get(), &high);
    if (low == file::InvalidFileSize && Files.GetLastError() != winerror::Success) {
        LastError = Files.GetLastError();
        return std::nullopt;
    }
    std::uint32_t readError = 0;
    const ReadFileBytes read = [&](std::uint64_t offset, std::span<char> buffer) {
        std::int32_t offsetHigh = static_cast<std::int32_t>(offset >> 32);
        if (Files.SetFilePointer(file.Get(), static_cast<std::int32_t>(offset), &offsetHigh,
                                 file::Begin) == file::InvalidSetFilePointer &&
            Files.GetLastError() != winerror::Success) {
            readError = Files.GetLastError();
            return false;
        }
        while (!buffer.empty()) {
            std::uint32_t count = 0;
            if (!Files.ReadFile(file.Get(), buffer, count)) {
                readError = Files.GetLastError();
                return false;
            }
            if (count == 0) {
                return false;
            }
            buffer = buffer.subspan(count);
        }
        return true;
    };
    Files.SetLastError(winerror::Success);
    VersionResource resource = ReadVersionResource(read, std::uint64_t{high} << 32 | low);
    switch (resource.Error) {
    case VersionResourceError::None:
        return std::move(resource.Block);
    case VersionResourceError::NotPortableExecutable:
    case VersionResourceError::NoVersionResource:
        LastError = winerror::ResourceDataNotFound;
        break;
    case VersionResourceError::Malformed:
        LastError = winerror::BadFormat;
        break;
    case VersionResourceError::ReadFailed:
        LastError = readError != winerror::Success ? readError : winerror::BadFormat;
        break;
    }
    return std::nullopt;
}

std::uint32_t SandboxVersions::GetFileVersionInfoSizeA(std::string_view fileName,
                                                       std::uint32_t* handle) {
    if (handle != nullptr) {
        *handle = 0;
    }
    const std::optional<std::string> block = ReadBlock(fileName);
    if (!block) {
        return 0;
    }
    // Room for the block and, past it, the 8-bit forms VerQueryValueA makes of its texts.
    return static_cast<std::uint32_t>(block->size() * 2 + 4);
}

bool SandboxVersions::GetFileVersionInfoA(std::string_view fileName, std::uint32_t,
                                          std::span<char> data) {
    const std::optional<std::string> block = ReadBlock(fileName);
    if (!block) {
        return false;
    }
    const std::size_t copied = std::min(block->size(), data.size());
    std::copy_n(block->begin(), copied, data.begin());
    std::fill(data.begin() + static_cast<std::ptrdiff_t>(copied), data.end(), '\0');
    return true;
}

bool SandboxVersions::VerQueryValueA(std::span<char> block, std::string_view subBlock,
                                     const char*& buffer, std::uint32_t& length) {
    buffer = nullptr;
    length = 0;
    const std::optional<VersionValue> value = FindVersionValue(block, subBlock);
    if (!value) {
        LastError = winerror::ResourceTypeNotFound;
        return false;
    }
    if (!value->IsText) {
        buffer = block.data() + value->Offset;
        length = value->Length;
        return true;
    }
    // The 8-bit form goes past the block, at the same distance from its end as the
    // UTF-16 text from the block's start, so every text has room of its own.
    const std::string text = Utf16ToAnsi(block.subspan(value->Offset, value->Length * 2));
    const std::size_t blockLength = static_cast<unsigned char>(block[0]) |
                                    static_cast<std::size_t>(static_cast<unsigned char>(block[1]))
                                        << 8;
    const std::size_t at = blockLength + 4 + value->Offset;
    if (at + text.size() + 1 > block.size()) {
        LastError = winerror::InsufficientBuffer;
        return false;
    }
    std::copy(text.begin(), text.end(), block.begin() + static_cast<std::ptrdiff_t>(at));
    block[at + text.size()] = '\0';
    buffer = block.data() + at;
    length = value->Length;
    return true;
}

bool SandboxVersions::Exists(const std::string& path) {
    const std::uint32_t attributes = Files.GetFileAttributesA(path);
    return attributes != file::InvalidAttributes && !(attributes & file::AttributeDirectory);
}

bool SandboxVersions::InUse(const std::string& path) {
    UniqueFile file(
        Files.CreateFileA(path, file::GenericRead, 0, file::OpenExisting, file::AttributeNormal),
        FileCloser{&Files});
    return !file && Files.GetLastError() == winerror::SharingViolation;
}

std::uint32_t SandboxVersions::VerFindFileA(std::uint32_t flags, std::string_view fileName,
                                            const char*, std::string_view appDir,
                                            std::span<char> curDir, std::uint32_t& curDirLength,
                                            std::span<char> destDir, std::uint32_t& destDirLength) {
    // As Windows does, the application's folder is looked in first for shared files too,
    // then the system and Windows folders (in that order for shared files, the other
    // way round for the rest); the Windows folder given is not looked in.
    const bool shared = (flags & ver::FindIsSharedFile) != 0;
    const std::string app(appDir);
    const std::string destination = shared ? SystemDirectory : app;
    const std::vector<std::string> places =
        shared ? std::vector<std::string>{app, SystemDirectory, WindowsDirectory}
               : std::vector<std::string>{app, WindowsDirectory, SystemDirectory};
    std::string current;
    for (const std::string& place : places) {
        if (current.empty() && Exists(Join(place, fileName))) {
            current = place;
        }
    }
    std::uint32_t result = 0;
    if (!EqualsIgnoringCase(current, destination)) {
        result |= ver::FindCurrentNotDestination;
    }
    if (!current.empty() && InUse(Join(current, fileName))) {
        result |= ver::FindFileInUse;
    }
    const bool currentFits = WriteText(current, curDir, curDirLength);
    if (!WriteText(destination, destDir, destDirLength) || !currentFits) {
        result |= ver::FindBufferTooSmall;
    }
    return result;
}

std::uint32_t SandboxVersions::Compare(const std::string& source, const std::string& existing) {
    std::uint32_t refusals = 0;
    const std::optional<std::string> newBlock = ReadBlock(source);
    const std::optional<std::string> oldBlock = ReadBlock(existing);
    if (newBlock && oldBlock) {
        const VersionFacts newFacts = FactsOf(*newBlock);
        const VersionFacts oldFacts = FactsOf(*oldBlock);
        if (newFacts.Fixed && oldFacts.Fixed) {
            if (FileVersion(*newFacts.Fixed) < FileVersion(*oldFacts.Fixed)) {
                refusals |= ver::InstallSourceOld;
            }
            if (newFacts.Fixed->FileOS != oldFacts.Fixed->FileOS ||
                newFacts.Fixed->FileType != oldFacts.Fixed->FileType ||
                newFacts.Fixed->FileSubtype != oldFacts.Fixed->FileSubtype) {
                refusals |= ver::InstallDiffType;
            }
        }
        if (newFacts.Translation && oldFacts.Translation) {
            if ((*newFacts.Translation & 0xFFFF) != (*oldFacts.Translation & 0xFFFF)) {
                refusals |= ver::InstallDiffLang;
            }
            if ((*newFacts.Translation >> 16) != (*oldFacts.Translation >> 16)) {
                refusals |= ver::InstallDiffCodePage;
            }
        }
    }
    if (refusals != 0) {
        refusals |= ver::InstallMismatch;
    }
    // A file in use is no refusal: moving it aside fails, as deleting it does on Windows.
    if (Files.GetFileAttributesA(existing) & file::AttributeReadOnly) {
        refusals |= ver::InstallWriteProtected;
    }
    return refusals;
}

std::uint32_t SandboxVersions::Replace(const std::string& temporary,
                                       const std::string& destination) {
    if (!Exists(destination)) {
        return Files.MoveFileA(temporary, destination)
                   ? 0
                   : ver::InstallCannotRename | CauseBits(Files.GetLastError());
    }
    // The old file steps aside under a temporary name and comes back when the new one
    // cannot take its place, so no failure loses it.
    std::string aside;
    const std::string folder(
        destination.substr(0, destination.size() - NameOf(destination).size()));
    if (Files.GetTempFileNameA(folder, "VER", 0, aside) == 0 || !Files.DeleteFileA(aside)) {
        return ver::InstallCannotCreate | CauseBits(Files.GetLastError());
    }
    if (!Files.MoveFileA(destination, aside)) {
        const std::uint32_t error = Files.GetLastError();
        return ver::InstallCannotDelete | CauseBits(error) |
               (error == winerror::SharingViolation ? ver::InstallFileInUse : 0);
    }
    if (!Files.MoveFileA(temporary, destination)) {
        const std::uint32_t error = Files.GetLastError();
        Files.MoveFileA(aside, destination);
        return ver::InstallCannotRename | CauseBits(error);
    }
    Files.SetFileAttributesA(aside, file::AttributeNormal);
    Files.DeleteFileA(aside);
    return 0;
}

std::uint32_t SandboxVersions::VerInstallFileA(std::uint32_t flags, std::string_view srcFileName,
                                               std::string_view destFileName,
                                               std::string_view srcDir, std::string_view destDir,
                                               std::string_view curDir, std::span<char> tmpFile,
                                               std::uint32_t& tmpFileLength) {
    const std::string source = Join(srcDir, srcFileName);
    const std::string destination = Join(destDir, destFileName);
    const bool elsewhere = !curDir.empty() && !EqualsIgnoringCase(Folder(curDir), Folder(destDir));
    const std::string existing = elsewhere ? Join(curDir, destFileName) : destination;
    tmpFileLength = 0;
    if (!Exists(source)) {
        LastError = Files.GetLastError();
        return ver::InstallCannotReadSource;
    }
    std::string temporary;
    if (Files.GetTempFileNameA(Folder(destDir), "VER", 0, temporary) == 0) {
        LastError = Files.GetLastError();
        return ver::InstallCannotCreate | CauseBits(LastError);
    }
    if (!Files.CopyFileA(source, temporary, false)) {
        LastError = Files.GetLastError();
        Files.DeleteFileA(temporary);
        return (LastError == winerror::DiskFull ? ver::InstallOutOfSpace
                                                : ver::InstallCannotReadSource) |
               CauseBits(LastError);
    }
    const auto leaveTemporary = [&](std::uint32_t result) {
        if (!WriteText(NameOf(temporary), tmpFile, tmpFileLength)) {
            result |= ver::InstallBufferTooSmall;
        }
        return result | ver::InstallTempFile;
    };
    if (!(flags & ver::InstallForce) && Exists(existing)) {
        if (const std::uint32_t refusals = Compare(temporary, existing); refusals != 0) {
            return leaveTemporary(refusals);
        }
    }
    if (const std::uint32_t failure = Replace(temporary, destination); failure != 0) {
        return leaveTemporary(failure);
    }
    std::uint32_t result = 0;
    if (elsewhere && !(flags & ver::InstallDontDeleteOld) && Exists(existing) &&
        !Files.DeleteFileA(existing)) {
        result |= ver::InstallCannotDeleteCurrent | CauseBits(Files.GetLastError());
    }
    return result;
}

} // namespace platform
