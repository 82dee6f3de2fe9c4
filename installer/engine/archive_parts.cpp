// Multi-disk archives: which part holds an offset, opening it, and the disk prompt.
#include "archive_parts.h"

#include "custom_dialog_set.h"
#include "engine.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "platform/machine_services.h"
#include "running_engine.h"

#include <cstdio>
#include <utility>

namespace vorn {

namespace {

/// Parts are numbered up to W99.
constexpr std::uint32_t MaxDisk = 99;
/// A user who keeps answering OK without the disk gets asked this often before the
/// run ends: a box that always answers OK (a silent helper, a test) never hangs the run.
constexpr int MaxPrompts = 100;

// The part's stream position relative to the first disk's start.
std::uint64_t DiskPosition(const ArchiveParts& parts, std::uint32_t archiveOffset) {
    std::uint64_t position = std::uint64_t{archiveOffset} + parts.FirstDiskOffset;
    return position < parts.Base ? 0 : position - parts.Base;
}

bool TryOpenPart(Engine& engine, std::uint32_t disk) {
    ArchiveParts& parts = engine.Disks;
    platform::FileService& files = engine.Services.Machine->Files();
    parts.OpenPart.Reset();
    parts.OpenDisk = 0;
    // Disk 1 is the setup program itself, which is running and reads its own file.
    if (disk == 1) {
        parts.OpenDisk = 1;
        return true;
    }
    if (disk > MaxDisk) {
        return false;
    }
    std::string path = PartPath(parts, engine.Variables.GetVariable("INST"), disk);
    platform::UniqueFile part(
        files.CreateFileA(path, platform::file::GenericRead, platform::file::ShareRead,
                          platform::file::OpenExisting, platform::file::AttributeNormal),
        platform::FileCloser{&files});
    if (!part) {
        return false;
    }
    parts.OpenPart = std::move(part);
    parts.OpenDisk = disk;
    return true;
}

// Asks for the disk with the archive's disk-prompt dialog set, or with the engine's box
// when the archive carries none. False when the user cancels or the set cannot be shown.
bool PromptForDisk(Engine& engine, std::uint32_t disk) {
    ArchiveParts& parts = engine.Disks;
    if (!parts.PromptSet.empty()) {
        // The prompt stands alone: it is never a page of a wizard on show.
        DialogState& dialogs = DialogsOf(engine);
        bool wizard = std::exchange(dialogs.WizardStyle, false);
        int result = RunDialogSet(engine, parts.PromptSet);
        dialogs.WizardStyle = wizard;
        return result == 0;
    }
    std::string text = "Please insert disk " + std::to_string(disk) + ".\n\n" +
                       PartPath(parts, engine.Variables.GetVariable("INST"), disk);
    return EngineMessageBox(engine, 0, text, engine.Message(msg::QuestionTitle),
                            box::IconExclamation) == answer::Ok;
}

int StopRun(Engine& engine) {
    engine.Services.Host.SetAbortFlag();
    return 1;
}

} // namespace

std::uint32_t DiskOf(const ArchiveParts& parts, std::uint32_t archiveOffset) {
    if (parts.BytesPerDisk == 0) {
        return 1;
    }
    return static_cast<std::uint32_t>(DiskPosition(parts, archiveOffset) / parts.BytesPerDisk + 1);
}

std::uint32_t PartStart(const ArchiveParts& parts, std::uint32_t disk) {
    std::uint64_t start = std::uint64_t{disk - 1} * parts.BytesPerDisk + parts.Base;
    return start < parts.FirstDiskOffset
               ? 0
               : static_cast<std::uint32_t>(start - parts.FirstDiskOffset);
}

std::string PartPath(const ArchiveParts& parts, std::string_view directory, std::uint32_t disk) {
    std::string_view name = parts.SetupProgram;
    if (std::size_t slash = name.rfind('\\'); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    if (std::size_t dot = name.rfind('.'); dot != std::string_view::npos) {
        name = name.substr(0, dot);
    }
    char extension[8];
    std::snprintf(extension, sizeof extension, disk <= 1 ? "EXE" : "W%02u",
                  static_cast<unsigned>(disk));
    std::string path(directory);
    if (!path.empty() && path.back() != '\\') {
        path += '\\';
    }
    return path + std::string(name) + "." + extension;
}

int OpenArchivePart(Engine& engine, bool next, bool force) {
    InstallContext* context = engine.Services.Context;
    if (context == nullptr || engine.Services.Machine == nullptr) {
        return StopRun(engine);
    }
    ArchiveParts& parts = engine.Disks;
    std::uint32_t disk =
        next && parts.OpenDisk != 0 ? parts.OpenDisk + 1 : DiskOf(parts, context->ArchiveOffset);
    engine.Variables.SetVariable("DISK_NUMBER", std::to_string(disk));
    context->PartStart = PartStart(parts, disk);
    if (disk == parts.OpenDisk && !force) {
        return 0;
    }
    for (int prompts = 0; !TryOpenPart(engine, disk); ++prompts) {
        if (context->Silent != 0 || prompts == MaxPrompts) {
            return StopRun(engine);
        }
        // The question stands alone; the file installer opens the progress window again.
        engine.Services.Host.CloseProgressWindow();
        if ((context->OptionFlags & context_option::BeepAtDiskPrompt) != 0 &&
            engine.Services.Machine->Prompts() != nullptr) {
            engine.Services.Machine->Prompts()->MessageBeep(platform::BeepExclamation);
        }
        if (!PromptForDisk(engine, disk)) {
            return StopRun(engine);
        }
    }
    return 0;
}

bool SeekArchive(Engine& engine, std::uint32_t archiveOffset) {
    InstallContext* context = engine.Services.Context;
    if (context == nullptr) {
        return false;
    }
    context->ArchiveOffset = archiveOffset;
    ArchiveParts& parts = engine.Disks;
    if (parts.BytesPerDisk == 0) {
        return true;
    }
    if (OpenArchivePart(engine, false, false) != 0) {
        return false;
    }
    if (parts.OpenPart) {
        engine.Services.Machine->Files().SetFilePointer(
            parts.OpenPart.Get(), static_cast<std::int32_t>(archiveOffset - context->PartStart),
            nullptr, platform::file::Begin);
    }
    return !engine.Services.Host.RunStopped();
}

bool DecompressToMemory(Engine& engine, std::uint32_t start, std::uint32_t end,
                        std::span<std::uint8_t> target) {
    InstallContext* context = engine.Services.Context;
    if (context == nullptr || context->Decompress == nullptr || end < start || target.empty() ||
        !SeekArchive(engine, engine.Disks.Base + start)) {
        return false;
    }
    std::uint8_t* saved = context->DecompressTarget;
    context->DecompressTarget = target.data();
    context->ErrorCode = context_error::None;
    // The last argument tells the decompressor the target's size: an item larger than its
    // record says is refused instead of running past the target.
    context->Decompress(context->ArchiveFile, 0, end - start,
                        static_cast<std::uint32_t>(target.size()));
    context->DecompressTarget = saved;
    return context->ErrorCode == context_error::None;
}

} // namespace vorn

extern "C" std::int32_t PLATFORM_WINAPI DiskPrompt(std::int32_t next, std::int32_t force) {
    if (vorn::RunningEngine == nullptr) {
        return 1;
    }
    return vorn::OpenArchivePart(*vorn::RunningEngine, next != 0, force != 0);
}
