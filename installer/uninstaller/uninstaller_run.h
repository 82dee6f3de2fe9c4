// One run of the uninstaller, from its command line to the end: the settings file, the
// self-copy and its second stage, the log, the administrator check, the removal and
// what follows it.
#pragma once

#include "command_line.h"
#include "log_model.h"
#include "removal_engine.h"
#include "string_table.h"
#include "uninstall_services.h"

#include <cstdint>
#include <optional>
#include <string>

namespace rescind {

class WizardHost;

struct ProgramContext {
    /// The running executable's full Windows path; empty when it is not on the machine
    /// the run works on (then there is no settings file and no self-copy).
    std::string ProgramPath;
    /// The custom mode's choices until the wizard makes them: an INI file with
    /// [Method] Mode=Automatic|Custom and Rollback=0|1, and in [Selections] for each list
    /// ("Private Files", "System Files", "Directories", "INI Files", "INI Entries",
    /// "Registry Values", "Registry Restores", "Registry Trees", "Program Items",
    /// "Sub-System", "External Programs", "Services") "All", "None" or the 1-based
    /// numbers of the items to select, separated by commas. Empty for none: the wizard's
    /// default, automatic. Read when there is no wizard, or with "/S".
    std::string AnswerFile;
    /// The local date and time, "MM/DD/YY H:MM", for the status file.
    std::string DateTime;
    /// The program's module handle, which it registers with the 3D-look library; 0
    /// where there is none.
    std::uintptr_t Instance = 0;
    /// The wizard that asks the user, unless the run is silent; none where the choices
    /// come from the answer file alone.
    WizardHost* Wizard = nullptr;
};

struct RunOutcome {
    /// 0 done, 1 stopped before removing anything, 2 cancelled or aborted, 3 done with
    /// items left behind.
    int ExitCode = 0;
    std::string Title;
    std::optional<RemovalReport> Report;
};

/// The settings file: the program's path with its extension replaced by "INI".
std::string SettingsPath(std::string_view programPath);

/// The "Msg%d" overrides of the settings file's "Language" section ("|" for a line break,
/// except in the status-file template, which keeps its "^").
StringTable SettingsStrings(platform::ProfileService& profile, std::string settingsPath);

/// Answers the log model's questions from the machine's services.
class ServiceFacts final : public MachineFacts {
public:
    explicit ServiceFacts(const UninstallServices& services);
    bool FileExists(std::string_view path) override;
    bool OnRemovableFloppy(std::string_view path) override;
    bool IsCountedSharedFile(std::string_view path) override;
    bool IniHasValue(std::string_view file, std::string_view section,
                     std::string_view key) override;
    std::string WindowsDirectory() override { return Windows; }
    std::string SystemDirectory() override { return System; }

private:
    const UninstallServices& S;
    std::string Windows;
    std::string System;
    bool Shell4 = true;
};

/// Reads the log through the file service; the error of its reading, if any.
vorn::LogReadResult ReadLogFile(platform::FileService& files, const std::string& path);

/// Applies the answer file's choices; false when the file asks for custom mode.
bool ApplyAnswers(platform::ProfileService& profile, const std::string& answerFile,
                  ItemLists& lists, bool& rollback);

/// Runs the whole uninstall; `ui` is the wizard itself when there is one.
RunOutcome RunUninstaller(const CommandLine& line, const ProgramContext& program,
                          const UninstallServices& services, RemovalUi& ui);

} // namespace rescind
