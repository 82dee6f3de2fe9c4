// Library files: fetched, checked and decompressed one library at a time.
#include "library_files.h"

#include "backup_copy.h"
#include "engine.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "message_table.h"
#include "platform/machine_services.h"
#include "transfer_library.h"
#include "version_compare.h"

#include <array>

namespace vorn {

namespace {

constexpr std::size_t WrongLibraryMessage = 43;
// The library starts with the archive identifier; its data follows.
constexpr std::uint32_t IdentifierSize = 4;

} // namespace

std::string LibraryFileName(std::string_view baseName, std::uint32_t number) {
    constexpr std::string_view Digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name(baseName);
    name += Digits[(number / (36 * 36)) % 36];
    name += Digits[(number / 36) % 36];
    name += Digits[number % 36];
    return name;
}

bool FromLibraryFile(Engine& engine, const InstallFileRecord& record) {
    namespace flag = install_flag;
    return engine.Services.Context != nullptr &&
           (engine.Services.Context->OptionFlags & context_option::LibraryFiles) != 0 &&
           (record.FlagsB & (flag::MainArchive | flag::MainArchiveNoByteProgress)) == 0 &&
           (record.FlagsA & flag::OutsideSource) == 0;
}

bool AlreadyInstalled(Engine& engine, const InstallFileRecord& record,
                      const std::string& destination) {
    platform::MachineServices& machine = *engine.Services.Machine;
    if (record.Checksum != 0) {
        std::uint32_t size = 0;
        std::optional<std::uint32_t> checksum = FileChecksum(engine, destination, size);
        if (checksum && size == record.Size && *checksum == record.Checksum) {
            return true;
        }
    }
    if ((record.FlagsA & install_flag::CompareVersions) == 0 ||
        (record.VersionMs == 0 && record.VersionLs == 0)) {
        return false;
    }
    VersionRecord added;
    added.VersionMs = record.VersionMs;
    added.VersionLs = record.VersionLs;
    added.Os = record.Os;
    added.Type = record.Type;
    added.Subtype = record.Subtype;
    return !IsNewerVersion(
        added, ReadVersionRecord(machine.Versions(), machine.Files(), destination), false);
}

int ExtractFromLibrary(Engine& engine, const InstallFileRecord& record, const std::string& temp) {
    ArchiveParts& parts = engine.Disks;
    InstallContext& context = *engine.Services.Context;
    platform::FileService& files = engine.Services.Machine->Files();
    const std::uint32_t number = record.Start & LibraryNumberMask;
    if (parts.LibraryCopy.empty() || parts.LibraryNumber != number) {
        DropLibraryCopy(engine);
        std::string copy = engine.Services.TempFiles.CreateTempFile(
            engine.Variables.Expand("%TEMP%", PathSize), "KTL");
        if (copy.empty()) {
            return ReportCannotCreate(engine, engine.Variables.Expand("%TEMP%", PathSize));
        }
        if (!TransferFile(engine,
                          {LibraryFileName(parts.LibraryBaseName, number), copy, 0, 0, 0})) {
            files.DeleteFileA(copy);
            return engine.Services.Host.RunStopped() ? 0 : -2;
        }
        parts.LibraryCopy = copy;
        parts.LibraryNumber = number;
    }
    platform::UniqueFile library(files.CreateFileA(parts.LibraryCopy, platform::file::GenericRead,
                                                   platform::file::ShareRead,
                                                   platform::file::OpenExisting, 0),
                                 platform::FileCloser{&files});
    std::array<char, IdentifierSize> identifier{};
    std::uint32_t read = 0;
    const std::uint32_t expected = parts.ArchiveIdentifier;
    if (!library || !files.ReadFile(library.Get(), identifier, read) || read != IdentifierSize ||
        std::array<char, IdentifierSize>{
            static_cast<char>(expected), static_cast<char>(expected >> 8),
            static_cast<char>(expected >> 16), static_cast<char>(expected >> 24)} != identifier) {
        ReportError(engine, engine.Message(WrongLibraryMessage));
        DropLibraryCopy(engine);
        return -2;
    }
    platform::UniqueFile out(files.CreateFileA(temp, platform::file::GenericWrite, 0,
                                               platform::file::CreateAlways,
                                               platform::file::AttributeNormal),
                             platform::FileCloser{&files});
    if (!out) {
        return ReportCannotCreate(engine, temp);
    }
    if (context.Decompress == nullptr) {
        context.ErrorCode = context_error::ArchiveReadFailure;
        return 0;
    }
    context.ErrorCode = context_error::None;
    // The library is read from where the identifier ends, which is where its handle stands.
    context.ArchiveOffset = IdentifierSize;
    context.Decompress(static_cast<std::uintptr_t>(library.Get()),
                       static_cast<std::uintptr_t>(out.Get()), record.End - record.Start, 0);
    out.Reset();
    if (context.ErrorCode == context_error::None && context.AbortFlag == 0) {
        // A copy whose size or content is not the record's came from a damaged library.
        std::uint32_t size = 0;
        std::optional<std::uint32_t> checksum = FileChecksum(engine, temp, size);
        if (checksum &&
            (size != record.Size || (record.Checksum != 0 && *checksum != record.Checksum))) {
            context.ErrorCode = context_error::ArchiveReadFailure;
        }
    }
    return context.ErrorCode == context_error::None && context.AbortFlag == 0 ? 1 : 0;
}

void DropLibraryCopy(Engine& engine) {
    ArchiveParts& parts = engine.Disks;
    if (!parts.LibraryCopy.empty() && engine.Services.Machine != nullptr) {
        engine.Services.Machine->Files().DeleteFileA(parts.LibraryCopy);
    }
    parts.LibraryCopy.clear();
}

} // namespace vorn
