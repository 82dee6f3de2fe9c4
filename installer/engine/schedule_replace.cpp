// Delayed replacement: the NT family's delayed move, the 95 family's WININIT.INI, and the
// restart utility's _MSSETUP.BAT elsewhere.
#include "schedule_replace.h"

#include "backup_copy.h"
#include "engine.h"
#include "engine_message_box.h"
#include "install_context.h"
#include "message_table.h"
#include "numbered_temp_file.h"
#include "path_parts.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"
#include "version_compare.h"

namespace vorn {

namespace {

// "RESTART" becomes "W" unless a reboot (S) or a command (E) is asked for already.
void AskWindowsRestart(Engine& engine) {
    std::string restart = engine.Variables.GetVariable("RESTART");
    char kind = restart.empty() ? '\0' : platform::UpperAnsi(restart.front());
    if (kind != 'S' && kind != 'E') {
        engine.Variables.SetVariable("RESTART", "W");
    }
}

bool AppendToBatch(Engine& engine, std::string_view text) {
    platform::FileService& files = engine.Services.Machine->Files();
    std::string batch = engine.Variables.Expand("%WIN%\\_MSSETUP.BAT", PathSize);
    platform::UniqueFile file(files.CreateFileA(batch, platform::file::GenericWrite, 0,
                                                platform::file::OpenAlways,
                                                platform::file::AttributeNormal),
                              platform::FileCloser{&files});
    std::uint32_t written = 0;
    return file &&
           files.SetFilePointer(file.Get(), 0, nullptr, platform::file::End) !=
               platform::file::InvalidSetFilePointer &&
           files.WriteFile(file.Get(), text, written) && written == text.size();
}

} // namespace

WindowsKind ReadWindowsKind(Engine& engine) {
    WindowsKind kind;
    platform::OsVersionInfo version;
    if (engine.Services.Machine->System().GetVersionExA(version)) {
        kind.Nt = version.PlatformId == platform::sysinfo::PlatformNT;
        kind.Windows95 = version.PlatformId == platform::sysinfo::PlatformWindows;
        kind.Version4 = version.MajorVersion >= 4;
    }
    return kind;
}

int ScheduleReplace(Engine& engine, bool checkVersion, bool outsideSource, std::string& newFile,
                    std::string_view destination) {
    InstallContext* context = engine.Services.Context;
    if (context == nullptr || (context->OptionFlags & context_option::ReplaceInUseAtRestart) == 0) {
        return 0;
    }
    platform::MachineServices& machine = *engine.Services.Machine;
    if (checkVersion) {
        std::optional<VersionRecord> added =
            ReadVersionRecord(machine.Versions(), machine.Files(), newFile);
        std::optional<VersionRecord> existing =
            ReadVersionRecord(machine.Versions(), machine.Files(), destination);
        if (!added || !IsNewerVersion(*added, existing, true)) {
            return 0;
        }
        if (outsideSource) {
            std::string copy = CreateNumberedTempFile(machine.Files(), DirectoryPart(destination));
            if (copy.empty() || !CopyFileWithBackup(engine, newFile, copy).Done) {
                if (!copy.empty()) {
                    machine.Files().DeleteFileA(copy);
                }
                ReportError(engine, FormatMessageText(engine.Message(26), ShortForm(engine, copy),
                                                      MessageTextSize));
                return -2;
            }
            newFile = copy;
        }
    }
    const std::string from = ShortForm(engine, newFile);
    const std::string to = ShortForm(engine, destination);
    const WindowsKind windows = ReadWindowsKind(engine);
    if (windows.Nt) {
        if (!machine.Files().MoveFileExA(from, to.c_str(),
                                         platform::file::MoveReplaceExisting |
                                             platform::file::MoveDelayUntilReboot)) {
            return 0;
        }
        engine.Variables.SetVariable("RESTART", "S");
    } else if (windows.Windows95) {
        if (!machine.Profile().WritePrivateProfileStringA("rename", to.c_str(), from.c_str(),
                                                          "WININIT.INI")) {
            return 0;
        }
        AskWindowsRestart(engine);
    } else {
        engine.RestartPending = true;
        if (!AppendToBatch(engine, "del " + to + "\r\nrename " + from + " " +
                                       std::string(NamePart(to)) + "\r\n")) {
            return 0;
        }
        AskWindowsRestart(engine);
    }
    return 1;
}

} // namespace vorn
