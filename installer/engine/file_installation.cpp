// Installing one file: the date and version rules, the copy beside the destination, the
// backup, the replacement (at once, or at the next start when the old file is in use),
// the shared-file count, the self-registration queue, the progress and the log.
#include "file_installation.h"

#include "archive_parts.h"
#include "backup_copy.h"
#include "date_rules.h"
#include "engine.h"
#include "engine_display.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "library_files.h"
#include "message_table.h"
#include "numbered_temp_file.h"
#include "path_parts.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"
#include "schedule_replace.h"
#include "shared_file_counter.h"
#include "transfer_library.h"
#include "version_compare.h"
#include "written_copy.h"

#include <array>

namespace vorn {

namespace {

using platform::FileService;
namespace flag = install_flag;

constexpr std::size_t CannotCreateMessage = 26;
constexpr std::size_t InUseQuestion = 22;
constexpr std::size_t ArchiveReadQuestion = 37;
// The progress texts: the file comes from the archive, is fetched from elsewhere, is
// passed over; a file with no description; the file has been copied.
constexpr std::size_t FromArchiveMessage = 3;
constexpr std::size_t FetchedMessage = 13;
constexpr std::size_t SkippedMessage = 14;
constexpr std::size_t NoDescriptionMessage = 4;
constexpr std::size_t CopiedMessage = 42;

bool IsFile(FileService& files, std::string_view path) {
    std::uint32_t attributes = files.GetFileAttributesA(path);
    return attributes != platform::file::InvalidAttributes &&
           (attributes & platform::file::AttributeDirectory) == 0;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           platform::EqualsIgnoringCase(text.substr(0, start.size()), start);
}

// Message 22 with Abort, Retry and Ignore, asked only while files in use are not
// replaced at restart. True to try again; Ignore marks the file as in use; Abort ends
// the run with the question as its reason.
bool RetryInUse(Engine& engine, std::string_view path) {
    InstallContext& context = *engine.Services.Context;
    if (engine.Services.Host.RunStopped() ||
        (context.OptionFlags & context_option::ReplaceInUseAtRestart) != 0) {
        return false;
    }
    std::string text = FormatMessageText(engine.Message(InUseQuestion), path, MessageTextSize);
    int answer = EngineMessageBox(engine, 0, text, engine.Message(msg::ErrorTitle),
                                  box::YesNo | box::AlternativeCaptions);
    if (answer == answer::No) {
        return true;
    }
    if (answer == answer::Ok) {
        engine.AbortReason.Assign(text);
        engine.Services.Host.SetAbortFlag();
    } else {
        engine.FileInUse = true;
    }
    return false;
}

// Puts `temp` in the place of `destination`, which `exists` when the installation began.
// The old file is moved aside first and put back when the move fails, so that it is never
// lost.
bool ReplaceKeepingOld(FileService& files, const std::string& temp, const std::string& destination,
                       bool exists) {
    if (!exists) {
        return files.MoveFileA(temp, destination);
    }
    files.SetFileAttributesA(destination, platform::file::AttributeNormal);
    std::string aside = CreateNumberedTempFile(files, DirectoryPart(destination));
    if (aside.empty() || !files.DeleteFileA(aside)) {
        return false;
    }
    if (!files.MoveFileA(destination, aside)) {
        return false;
    }
    if (!files.MoveFileA(temp, destination)) {
        files.MoveFileA(aside, destination);
        return false;
    }
    files.DeleteFileA(aside);
    return true;
}

// Decompresses the record's data into `temp`, through `out` when it holds the file open
// (then still open on success, for the stamp): the archive read question on a read failure
// or a copy that is not the file the record describes. False when the run ends (abort or
// error code).
bool ExtractFromArchive(Engine& engine, const InstallFileRecord& record, const std::string& temp,
                        platform::UniqueFile& out) {
    InstallContext& context = *engine.Services.Context;
    FileService& files = engine.Services.Machine->Files();
    const std::uint32_t savedOptions = context.OptionFlags;
    if ((record.FlagsB & flag::MainArchiveNoByteProgress) != 0) {
        context.OptionFlags &= ~context_option::ProgressByBytes;
    }
    bool done = false;
    WrittenCopy written(platform::InvalidFileHandle, nullptr);
    for (;;) {
        context.ErrorCode = context_error::None;
        if (context.Decompress == nullptr ||
            !SeekArchive(engine, engine.Disks.Base + record.Start)) {
            context.ErrorCode = context_error::ArchiveReadFailure;
        } else {
            if (!out) {
                // A retry starts the copy again from an empty file.
                out = platform::UniqueFile(
                    files.CreateFileA(
                        temp, platform::file::GenericRead | platform::file::GenericWrite, 0,
                        platform::file::CreateAlways, platform::file::AttributeNormal),
                    platform::FileCloser{&files});
            }
            if (!out) {
                context.ErrorCode = context_error::WriteFailure;
            } else {
                written = WrittenCopy(out.Get(), context.Checksum);
                ExtractingCopyScope scope(written);
                context.Decompress(context.ArchiveFile, static_cast<std::uintptr_t>(out.Get()),
                                   record.End - record.Start, 0);
            }
        }
        if (context.ErrorCode == context_error::None && context.AbortFlag == 0) {
            // A copy whose size or content differs from the record's is damaged data. A
            // copy written whole through the engine's FileWrite was checksummed on the way;
            // any other is read back.
            std::uint32_t size = 0;
            std::uint32_t high = 0;
            const std::uint32_t low = files.GetFileSize(out.Get(), &high);
            std::optional<std::uint32_t> checksum;
            if (written.Checksum != nullptr && high == 0 && low == written.Size) {
                size = static_cast<std::uint32_t>(written.Size);
                checksum = written.Value;
            } else {
                checksum = FileChecksum(engine, out.Get(), size);
            }
            if ((checksum && size != record.Size) ||
                (checksum && record.Checksum != 0 && *checksum != record.Checksum)) {
                context.ErrorCode = context_error::ArchiveReadFailure;
            }
        }
        if (context.ErrorCode != context_error::ArchiveReadFailure || context.AbortFlag != 0) {
            done = context.ErrorCode == context_error::None && context.AbortFlag == 0;
            break;
        }
        out.Reset();
        int answer = EngineMessageBox(engine, 0, engine.Message(ArchiveReadQuestion),
                                      engine.Message(msg::QuestionTitle),
                                      box::YesNo | box::NoCancel | box::AlternativeCaptions);
        if (answer != answer::No) {
            break;
        }
    }
    context.OptionFlags = savedOptions;
    return done;
}

// Copies an outside source beside the destination; false after the failure was shown.
bool FetchOutside(Engine& engine, const InstallFileRecord& record, const std::string& source,
                  bool transfer, std::string& temp, const std::string& destination) {
    FileService& files = engine.Services.Machine->Files();
    temp = CreateNumberedTempFile(files, DirectoryPart(destination));
    if (temp.empty()) {
        ReportCannotCreate(engine, destination);
        return false;
    }
    bool fetched =
        transfer ? TransferFile(engine, {source, temp, record.Size, record.DosDate, record.DosTime})
                 : CopyFileWithBackup(engine, source, temp).Done;
    if (!fetched) {
        files.DeleteFileA(temp);
        temp.clear();
        if (!transfer) {
            ReportCannotCreate(engine, destination);
        }
        return false;
    }
    return true;
}

// Windows NT: whether the installing user may write the destination. Only a file whose
// security can be read is checked (a missing one has none); a check that cannot be made
// lets the copy find out.
bool MayWrite(Engine& engine, WindowsKind windows, const std::string& destination, bool exists) {
    platform::AccessCheckService* access = engine.Services.Machine->AccessChecks();
    if (!exists || access == nullptr || !windows.Nt) {
        return true;
    }
    platform::SecurityDescriptor descriptor;
    bool granted = false;
    return !access->GetFileSecurityA(destination, descriptor) ||
           !access->CheckAccess(descriptor, platform::access::FileGenericWrite, granted) || granted;
}

struct Outcome {
    bool Skipped = false;
    bool ExistedBefore = false;
    std::string Backup;
};

// Through the version service: the refusals it gives are final, a file in use is
// scheduled. -2 to abort, else 0.
int ReplaceVersioned(Engine& engine, const InstallFileRecord& record, std::string& temp,
                     const std::string& destination, Outcome& outcome) {
    platform::MachineServices& machine = *engine.Services.Machine;
    FileService& files = machine.Files();
    platform::VersionService& versions = machine.Versions();
    const std::string directory(DirectoryPart(destination));
    const bool shared =
        (record.FlagsB & flag::NotSystemShared) == 0 &&
        (platform::EqualsIgnoringCase(directory, engine.Variables.Expand("%WIN%", PathSize)) ||
         platform::EqualsIgnoringCase(directory, engine.Variables.Expand("%SYS%", PathSize)));
    std::array<char, PathSize> current{};
    std::array<char, PathSize> suggested{};
    std::uint32_t currentLength = current.size();
    std::uint32_t suggestedLength = suggested.size();
    const std::string windows = engine.Variables.Expand("%WIN%", PathSize);
    versions.VerFindFileA(shared ? platform::ver::FindIsSharedFile : 0, NamePart(destination),
                          windows.c_str(), directory, current, currentLength, suggested,
                          suggestedLength);
    std::string currentDir(current.data());
    if (currentDir.empty()) {
        currentDir = directory;
    }
    std::uint32_t installFlags = shared ? 0 : platform::ver::InstallDontDeleteOld;
    std::uint32_t result = 0;
    const std::uint32_t refusals = ~platform::ver::InstallTempFile;
    // A 32-bit image goes to the destination's short name, or, when there is no
    // destination yet, to a name of its own that is renamed to the destination after.
    std::string installName(NamePart(destination));
    std::string separate;
    if (IsImage32(files, temp)) {
        if (IsFile(files, destination)) {
            installName = NamePart(ShortForm(engine, destination));
        } else {
            separate = CreateNumberedTempFile(files, directory);
            if (separate.empty()) {
                files.DeleteFileA(temp);
                return ReportCannotCreate(engine, destination);
            }
            files.DeleteFileA(separate);
            installName = NamePart(separate);
        }
    }
    for (;;) {
        std::array<char, PathSize> left{};
        std::uint32_t leftLength = left.size();
        result = versions.VerInstallFileA(
            installFlags, NamePart(temp), installName, ShortForm(engine, directory),
            ShortForm(engine, directory), ShortForm(engine, currentDir), left, leftLength);
        if ((result & platform::ver::InstallTempFile) != 0 && left[0] != '\0') {
            files.DeleteFileA(ShortForm(engine, directory) + "\\" + left.data());
        }
        if ((result & platform::ver::InstallDiffLang) != 0 &&
            (result & (platform::ver::InstallSourceOld | platform::ver::InstallFileInUse)) == 0 &&
            (installFlags & platform::ver::InstallForce) == 0) {
            installFlags |= platform::ver::InstallForce;
            continue;
        }
        if ((result & platform::ver::InstallAccessViolation) != 0 && IsFile(files, destination)) {
            result |= platform::ver::InstallFileInUse;
        }
        if (!separate.empty() && (result & refusals) == 0 &&
            !files.MoveFileA(separate, destination)) {
            result |= platform::ver::InstallFileInUse;
        }
        if ((result & platform::ver::InstallFileInUse) == 0 || !RetryInUse(engine, destination)) {
            break;
        }
    }
    if ((result & refusals) == 0) {
        files.DeleteFileA(temp);
        return 0;
    }
    if (!separate.empty()) {
        files.DeleteFileA(separate);
    }
    if ((result & platform::ver::InstallFileInUse) != 0) {
        int scheduled = ScheduleReplace(engine, true, (record.FlagsA & flag::OutsideSource) != 0,
                                        temp, destination);
        if (scheduled == -2) {
            files.DeleteFileA(temp);
            return -2;
        }
        if (scheduled == 0) {
            files.DeleteFileA(temp);
        }
        engine.Variables.SetVariable("INSTALL_RESULT", "I");
        return 0;
    }
    files.DeleteFileA(temp);
    engine.Variables.SetVariable("INSTALL_RESULT", std::to_string(result));
    const bool sharedOnVersion4 =
        (record.FlagsA & flag::Shared) != 0 && ReadWindowsKind(engine).Version4;
    engine.Services.Log.AddText(sharedOnVersion4 ? "Version: Following file not copied.\r\n"
                                                 : "Version: Following file not copied.\r\n ");
    if (!outcome.Backup.empty()) {
        files.DeleteFileA(outcome.Backup);
        outcome.Backup.clear();
    }
    return 0;
}

int ReplaceUnversioned(Engine& engine, std::string& temp, const std::string& destination,
                       bool exists) {
    FileService& files = engine.Services.Machine->Files();
    bool replaced = false;
    do {
        replaced = ReplaceKeepingOld(files, temp, destination, exists);
    } while (!replaced && RetryInUse(engine, destination));
    if (replaced || engine.Services.Host.RunStopped()) {
        if (!replaced) {
            files.DeleteFileA(temp);
        }
        return 0;
    }
    if (ScheduleReplace(engine, false, false, temp, destination) == 0) {
        files.DeleteFileA(temp);
    }
    engine.Variables.SetVariable("INSTALL_RESULT", "I");
    return 0;
}

// The progress window's text for the file: what happens to it and its description, then
// the destination on a line of its own (shortened to fit by the display).
void ShowFileProgress(Engine& engine, const InstallFileRecord& record, std::size_t what,
                      std::string_view destination) {
    if (engine.Display == nullptr || (record.FlagsA & flag::NoProgress) != 0) {
        return;
    }
    std::string text(engine.Message(what));
    text += record.Description.empty() ? std::string(engine.Message(NoDescriptionMessage))
                                       : record.Description;
    engine.Display->ShowProgress(text + ":\n" + std::string(destination));
}

void AdvanceProgress(Engine& engine, std::uint32_t bytes) {
    InstallContext& context = *engine.Services.Context;
    if ((context.OptionFlags & context_option::ProgressByBytes) != 0) {
        context.BytesCopied += bytes;
    }
}

} // namespace

int ReportCannotCreate(Engine& engine, std::string_view path) {
    ReportError(engine, FormatMessageText(engine.Message(CannotCreateMessage),
                                          ShortForm(engine, path), MessageTextSize));
    return -2;
}

InstallFileRecord ReadInstallFileRecord(const ActionRecord& record) {
    InstallFileRecord file;
    file.FlagsA = record.FixedByte(1);
    file.FlagsB = record.FixedByte(2);
    file.Start = record.FixedDword(3);
    file.End = record.FixedDword(7);
    file.DosDate = record.FixedWord(11);
    file.DosTime = record.FixedWord(13);
    file.Size = record.FixedDword(15);
    file.VersionMs = record.FixedDword(19);
    file.VersionLs = record.FixedDword(23);
    file.Os = record.FixedDword(27);
    file.Type = record.FixedDword(31);
    file.Subtype = record.FixedDword(35);
    file.Checksum = record.FixedDword(39);
    file.Destination = record.Once(0);
    file.Description = record.PerLanguage(0);
    file.Source = record.Once(1);
    file.Wildcard = record.Once(2);
    return file;
}

int InstallOneFile(Engine& engine, const InstallFileRecord& record) {
    platform::MachineServices& machine = *engine.Services.Machine;
    FileService& files = machine.Files();
    InstallContext& context = *engine.Services.Context;
    const bool test = engine.Mode == RunMode::Test;
    const bool outside = (record.FlagsA & flag::OutsideSource) != 0;
    const bool ownUse = (record.FlagsA & flag::Private) != 0;
    const int rule = (record.FlagsA & flag::DateRuleMask) >> 3;
    const WindowsKind windows = ReadWindowsKind(engine);
    const bool sharedOnVersion4 = (record.FlagsA & flag::Shared) != 0 && windows.Version4;

    engine.FileInUse = false;
    engine.Variables.SetVariable("INSTALL_RESULT", "");
    const bool backups = !engine.Variables.Expand("%BACKUPDIR%", PathSize).empty() && !ownUse;
    const std::string destination = engine.Variables.Expand(record.Destination, PathSize);
    Outcome outcome;
    outcome.ExistedBefore = IsFile(files, destination);

    const bool library = FromLibraryFile(engine, record);
    if (library && outcome.ExistedBefore && AlreadyInstalled(engine, record, destination)) {
        outcome.Skipped = true;
    }
    if (!outcome.Skipped && rule == date_rule::Never && outcome.ExistedBefore) {
        engine.Variables.SetVariable("INSTALL_RESULT", "E");
        outcome.Skipped = true;
    }
    if (!test && !outcome.Skipped &&
        !CreateDirectoryPath(engine, std::string(DirectoryPart(destination)) + "\\")) {
        return ReportCannotCreate(engine, destination);
    }
    std::string source;
    bool transfer = false;
    if (outside) {
        source = engine.Variables.Expand(record.Source, PathSize);
        transfer =
            StartsWithIgnoringCase(source, "ftp://") || StartsWithIgnoringCase(source, "http://");
    }
    if (!outcome.Skipped && (rule == date_rule::OlderOrSame || rule == date_rule::Older)) {
        std::optional<DosStamp> added = DosStamp{record.DosDate, record.DosTime};
        if (outside && !transfer) {
            added = ReadDosStamp(files, source);
        } else if ((library || transfer) && record.DosDate == 0) {
            added.reset();
        }
        if (added && !DateAllowsReplace(rule, *added,
                                        outcome.ExistedBefore ? ReadDosStamp(files, destination)
                                                              : std::nullopt)) {
            engine.Variables.SetVariable("INSTALL_RESULT", "D");
            outcome.Skipped = true;
            if (!sharedOnVersion4) {
                engine.Services.Log.AddText(
                    "Date/Time: Following file not copied.\r\n File Copy: " + destination + "\r\n");
            }
        }
    }

    ShowFileProgress(engine, record,
                     outcome.Skipped       ? SkippedMessage
                     : transfer || library ? FetchedMessage
                                           : FromArchiveMessage,
                     destination);

    if (!outcome.Skipped) {
        if (!MayWrite(engine, windows, destination, outcome.ExistedBefore)) {
            return ReportCannotCreate(engine, destination);
        }
        if (!test && !ownUse) {
            engine.Services.Log.UseLogPathWhenNone(std::string(DirectoryPart(destination)) +
                                                   "\\INSTALL.LOG");
        }
        std::string temp;
        if (outside) {
            if (!FetchOutside(engine, record, source, transfer, temp, destination)) {
                return engine.Services.Host.RunStopped() ? 0 : -2;
            }
        } else {
            // The copy beside the destination stays open from its creation to its stamp.
            platform::UniqueFile copy;
            temp = test ? engine.Services.TempFiles.CreateTempFile(
                              engine.Variables.Expand("%TEMP%", PathSize), "KTD")
                        : CreateNumberedTempFile(files, DirectoryPart(destination), copy);
            if (temp.empty()) {
                return ReportCannotCreate(engine, destination);
            }
            if (library) {
                copy.Reset();
            }
            const int extracted = library ? ExtractFromLibrary(engine, record, temp)
                                  : ExtractFromArchive(engine, record, temp, copy) ? 1
                                                                                   : 0;
            if (extracted != 1) {
                copy.Reset();
                files.DeleteFileA(temp);
                return extracted;
            }
            const DosStamp stamp{record.DosDate, record.DosTime};
            if (copy) {
                WriteDosStamp(files, copy.Get(), stamp);
                copy.Reset();
            } else {
                WriteDosStamp(files, temp, stamp);
            }
        }
        AdvanceProgress(engine, record.Size);
        if (engine.Display != nullptr) {
            if ((record.FlagsA & flag::NoProgress) == 0) {
                engine.Display->ShowProgress(
                    FormatMessageText(engine.Message(CopiedMessage), destination, MessageTextSize));
            }
            engine.Display->UpdateScreen(true);
        }
        if (test) {
            files.DeleteFileA(temp);
        } else {
            if (backups && outcome.ExistedBefore) {
                CopyOutcome backup = CopyFileWithBackup(engine, destination, std::nullopt);
                if (backup.Done) {
                    outcome.Backup = backup.Target;
                }
            }
            int replaced =
                (record.FlagsA & flag::CompareVersions) != 0
                    ? ReplaceVersioned(engine, record, temp, destination, outcome)
                    : ReplaceUnversioned(engine, temp, destination, outcome.ExistedBefore);
            if (replaced != 0) {
                return replaced;
            }
            if (engine.Services.Host.RunStopped()) {
                if (!outcome.Backup.empty()) {
                    files.DeleteFileA(outcome.Backup);
                }
                return 0;
            }
        }
        if ((record.FlagsA & (flag::CompareVersions | flag::OutsideSource)) ==
            (flag::CompareVersions | flag::OutsideSource)) {
            context.BytesCopied += record.End - record.Start;
        }
    } else {
        AdvanceProgress(engine, record.Size);
    }

    if (test) {
        return 0;
    }
    const std::string shortDestination = ShortForm(engine, destination);
    if (windows.Version4 && (windows.Nt || windows.Windows95) &&
        (!outcome.Skipped || sharedOnVersion4)) {
        CountSharedFile(engine, shortDestination, (record.FlagsA & flag::Shared) != 0,
                        outcome.ExistedBefore || outcome.Skipped);
    }
    if ((record.FlagsB & flag::SelfRegister) != 0 && !outcome.Skipped &&
        engine.SelfRegistrations.size() < Engine::MaxSelfRegistrations) {
        engine.SelfRegistrations.push_back(shortDestination);
    }
    if (ownUse || (outcome.Skipped && !sharedOnVersion4)) {
        return 0;
    }
    EngineLog& log = engine.Services.Log;
    if (engine.FileInUse) {
        log.AddText("In Use: " + destination + " Not Copied\r\n");
    } else {
        log.AddText(std::string(outcome.ExistedBefore ? "File Overwrite: " : "File Copy: ") +
                    destination + "\r\n");
    }
    if (!outcome.Backup.empty()) {
        std::uint32_t backupSize = 0;
        std::uint32_t installedSize = 0;
        std::optional<std::uint32_t> backupSum = FileChecksum(engine, outcome.Backup, backupSize);
        std::optional<std::uint32_t> installedSum =
            FileChecksum(engine, destination, installedSize);
        if (backupSum && installedSum && *backupSum == *installedSum &&
            backupSize == installedSize) {
            files.DeleteFileA(outcome.Backup);
        } else {
            log.AddText("Backup Copy: " + outcome.Backup + "\r\n");
        }
    }
    return 0;
}

int InstallFileAction(Engine& engine, ActionRecord& record) {
    if (engine.Services.Machine == nullptr || engine.Services.Context == nullptr) {
        return 0;
    }
    InstallFileRecord file = ReadInstallFileRecord(record);
    if ((file.FlagsB & flag::WildcardSource) != 0) {
        return InstallWildcard(engine, file);
    }
    return InstallOneFile(engine, file);
}

void RegisterFileActions(Engine& engine) {
    engine.Actions[op::InstallFiles] = &InstallFileAction;
    engine.Actions[op::InstallFiles2] = &InstallFileAction;
    engine.Actions[op::CreateDirectory] = &CreateDirectoryAction;
    engine.Actions[op::DeleteFile] = &DeleteFileAction;
    engine.Actions[op::RenameFile] = &RenameFileAction;
}

} // namespace vorn
