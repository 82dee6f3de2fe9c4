// The run's installation log: an interim file ("KTG", after opcode 30 "KTI") that
// collects the records and is appended to the final log when it closes.
#pragma once

#include "engine_services.h"
#include "installer/log/install_log_writer.h"
#include "installer/log/interim_log.h"
#include "installer/log/log_records.h"

#include <memory>
#include <optional>
#include <string>

namespace platform {
class FileService;
}

namespace vorn {

class VariableTable;

/// What every section the run opens starts with, and where its records go.
struct RunLogSettings {
    /// False in test mode and when the header says to write no log: nothing is opened.
    bool Enabled = true;
    std::string TempDirectory;
    std::string Title;
    /// The setup program's path.
    std::string Source;
    /// The final log's path as the header gives it; variables are expanded at closing.
    std::string LogPath;
    /// The information block, when the uninstall-status name expands to a text.
    std::optional<UninstallInfo> Information;
    /// "User Rights: Admin" is written at closing (Windows NT with administrator rights).
    bool AdminRights = false;
};

class RunLog final : public EngineLog {
public:
    /// A log that stays closed until Configure enables it.
    explicit RunLog(platform::FileService& files) : Files(files) { Settings.Enabled = false; }

    void Configure(RunLogSettings settings) { Settings = std::move(settings); }

    /// The table the final path is expanded with; set before the log closes.
    void UseVariables(const VariableTable& variables) { Variables = &variables; }

    /// Opens an interim log with `prefix` and writes the section's header and information
    /// block. False when the log is disabled or no interim file can be made.
    bool Open(std::string_view prefix);
    bool IsOpen() const { return Interim != nullptr; }
    /// Writes "User Rights: Admin" when due, closes the interim log and, unless logging is
    /// paused or the path expands to nothing, appends it to the final log. False when that
    /// append failed.
    bool Close();

    InstallLogWriter& Writer() { return Records; }

    void AddText(std::string_view text) override;
    std::intptr_t FileHandle() const override;
    void SetLogFile(std::uint8_t flags, std::string_view path) override;
    void UseLogPathWhenNone(std::string_view path) override;

private:
    platform::FileService& Files;
    RunLogSettings Settings;
    const VariableTable* Variables = nullptr;
    std::unique_ptr<InterimLog> Interim;
    InstallLogWriter Records;
};

} // namespace vorn
