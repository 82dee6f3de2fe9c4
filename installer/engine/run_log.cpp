// The run's installation log.
#include "run_log.h"

#include "engine.h"
#include "installer/log/local_clock.h"
#include "variables.h"

namespace vorn {

bool RunLog::Open(std::string_view prefix) {
    if (!Settings.Enabled) {
        return false;
    }
    Interim = InterimLog::Create(Files, Settings.TempDirectory, prefix);
    if (!Interim) {
        return false;
    }
    Records.SetSink(Interim.get());
    Records.Resume();
    Records.Header(LocalNow(Files), Settings.Title, Settings.Source);
    if (Settings.Information) {
        Records.Information(*Settings.Information);
    }
    return true;
}

bool RunLog::Close() {
    if (!Interim) {
        return true;
    }
    if (Settings.AdminRights) {
        Records.AdminRights();
    }
    std::string target;
    if (!Records.IsPaused() && Variables != nullptr) {
        target = Variables->Expand(Settings.LogPath, PathSize);
    }
    bool appended = Interim->Close(target);
    Records.SetSink(nullptr);
    Interim.reset();
    return appended;
}

void RunLog::AddText(std::string_view text) {
    Records.Text(text);
}

std::intptr_t RunLog::FileHandle() const {
    return Interim ? static_cast<std::intptr_t>(Interim->Handle()) : -1;
}

void RunLog::SetLogFile(std::uint8_t flags, std::string_view path) {
    switch (flags) {
    case 1:
        Records.Pause();
        return;
    case 0:
        Records.Resume();
        return;
    default:
        break;
    }
    if (!Settings.Enabled) {
        return;
    }
    Close();
    Settings.LogPath = std::string(path);
    Open("KTI");
}

void RunLog::UseLogPathWhenNone(std::string_view path) {
    if (Settings.Enabled && Settings.LogPath.empty()) {
        Settings.LogPath = std::string(path);
    }
}

} // namespace vorn
