// Listing the archive's files from the script and writing them out.
#include "extract_modes.h"

#include "archive_parts.h"
#include "engine.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "platform/machine_services.h"
#include "script_interpreter.h"

#include <algorithm>

namespace vorn {

namespace {

/// Context option: files may be kept in separate library files.
/// Install-file record flags.
constexpr std::uint8_t OwnUseFile = 0x04;      // flags A
constexpr std::uint8_t OutsideSource = 0x40;   // flags A
constexpr std::uint8_t FromMainArchive = 0x08; // flags B
constexpr std::size_t CannotCreateMessage = 26;

std::string FileNameOf(std::string_view path) {
    std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Makes every missing level of `directory`.
void MakeDirectories(platform::FileService& files, std::string_view directory) {
    for (std::size_t at = directory.find('\\', 3); at != std::string_view::npos;
         at = directory.find('\\', at + 1)) {
        files.CreateDirectoryA(directory.substr(0, at));
    }
    files.CreateDirectoryA(directory);
}

// Stamps an open file with a DOS date and time, which are local time.
void StampFile(platform::FileService& files, platform::FileHandle file, std::uint16_t date,
               std::uint16_t time) {
    platform::FileTime local;
    platform::FileTime utc;
    if (files.DosDateTimeToFileTime(date, time, local) &&
        files.LocalFileTimeToFileTime(local, utc)) {
        files.SetFileTime(file, nullptr, nullptr, &utc);
    }
}

int Abort(Engine& engine) {
    engine.Services.Host.SetAbortFlag();
    return run::Aborted;
}

// One file into `path`; false when the run must end.
bool ExtractOne(Engine& engine, const ExtractEntry& entry, const std::string& path) {
    InstallContext& context = *engine.Services.Context;
    platform::FileService& files = engine.Services.Machine->Files();
    platform::UniqueFile file(files.CreateFileA(path, platform::file::GenericWrite, 0,
                                                platform::file::CreateAlways,
                                                platform::file::AttributeNormal),
                              platform::FileCloser{&files});
    if (!file) {
        ReportError(engine, FormatMessageText(engine.Message(CannotCreateMessage, "%s"), path,
                                              MessageTextSize));
        return false;
    }
    if (!SeekArchive(engine, engine.Disks.Base + entry.Start)) {
        file.Reset();
        files.DeleteFileA(path);
        return false;
    }
    context.ErrorCode = context_error::None;
    context.Decompress(context.ArchiveFile, static_cast<std::uintptr_t>(file.Get()),
                       entry.CompressedSize, 0);
    if (context.ErrorCode != context_error::None || context.AbortFlag != 0) {
        // A partly written file is not left behind; shut-down reports the error code.
        file.Reset();
        files.DeleteFileA(path);
        return false;
    }
    StampFile(files, file.Get(), entry.DosDate, entry.DosTime);
    return true;
}

} // namespace

std::vector<ExtractEntry> ListArchiveFiles(const Engine& engine, std::uint32_t recordsOffset) {
    std::vector<ExtractEntry> entries;
    bool libraryFiles = engine.Services.Context != nullptr &&
                        (engine.Services.Context->OptionFlags & context_option::LibraryFiles) != 0;
    std::uint32_t offset = recordsOffset;
    while (entries.size() < MaxExtractEntries) {
        std::optional<ActionRecord> record = engine.Program.RecordAt(offset);
        if (!record || record->Opcode() == op::EndOfScript) {
            break;
        }
        offset += static_cast<std::uint32_t>(record->Size());
        std::uint8_t flagsA = record->FixedByte(1);
        std::uint8_t flagsB = record->FixedByte(2);
        std::uint32_t start = record->FixedDword(3);
        std::uint32_t end = record->FixedDword(7);
        if (record->Opcode() != op::InstallFiles || (flagsA & (OwnUseFile | OutsideSource)) != 0 ||
            (libraryFiles && (flagsB & FromMainArchive) == 0) || end < start) {
            continue;
        }
        std::string name = FileNameOf(engine.Variables.Expand(record->Once(0), PathSize));
        if (name.empty()) {
            continue;
        }
        ExtractEntry entry;
        std::copy_n(name.begin(), std::min(name.size(), entry.Name.size() - 1), entry.Name.begin());
        entry.Start = start;
        entry.CompressedSize = end - start;
        entry.Size = record->FixedDword(15);
        entry.DosDate = record->FixedWord(11);
        entry.DosTime = record->FixedWord(13);
        entry.FlagsA = flagsA;
        entries.push_back(entry);
    }
    return entries;
}

int ExtractArchiveFiles(Engine& engine, std::uint32_t recordsOffset, std::string_view directory) {
    std::vector<ExtractEntry> entries = ListArchiveFiles(engine, recordsOffset);
    if (entries.empty()) {
        return run::Finished;
    }
    if (engine.Services.Context == nullptr || engine.Services.Machine == nullptr ||
        engine.Services.Context->Decompress == nullptr) {
        return Abort(engine);
    }
    platform::UserPromptService* prompts = engine.Services.Machine->Prompts();
    if (directory.empty() && prompts == nullptr) {
        // No save dialog to choose each file's name: the files need a directory.
        ReportError(engine, "The files can only be extracted into a directory: "
                            "give it after the option (/X C:\\FILES).");
        return Abort(engine);
    }
    std::string folder(directory);
    while (folder.size() > 3 && folder.back() == '\\') {
        folder.pop_back();
    }
    bool first = true;
    for (const ExtractEntry& entry : entries) {
        if (engine.Services.Host.RunStopped()) {
            return run::Aborted;
        }
        std::string path;
        if (directory.empty()) {
            // Each file under the name chosen in the save dialog; a cancelled one is skipped.
            path = prompts->GetSaveFileNameA(engine.Services.Host.MainWindow(), "All files (*.*)",
                                             "*.*", entry.Name.data());
            if (path.empty()) {
                continue;
            }
        } else {
            if (first) {
                MakeDirectories(engine.Services.Machine->Files(), folder);
                first = false;
            }
            path = folder + (folder.back() == '\\' ? "" : "\\") + entry.Name.data();
        }
        if (!ExtractOne(engine, entry, path)) {
            return Abort(engine);
        }
    }
    return run::Finished;
}

} // namespace vorn
