// Shut-down of an installation run: the abort reason, the log, the status file, restart
// handling and the run's temporary files.
#include "installation_run.h"
#include "installer/log/local_clock.h"
#include "library_files.h"
#include "restart_handling.h"
#include "script_interpreter.h"
#include "self_registration.h"
#include "status_file.h"

#include <algorithm>
#include <cstring>

namespace vorn {

namespace {

void CopyOut(char* buffer, std::string_view text) {
    std::size_t count = std::min(text.size(), RestartBufferSize - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
}

} // namespace

std::string InstallationRun::AbortReason() const {
    if (!State->AbortReason.Empty()) {
        return State->AbortReason.Str();
    }
    if (Context.ErrorCode == context_error::WriteFailure) {
        return std::string(State->Message(msg::WriteFailure, DefaultErrorText));
    }
    if (Context.ErrorCode != context_error::None) {
        return std::string(State->Message(msg::InternalError, DefaultErrorText));
    }
    return std::string(State->Message(msg::RunAborted, DefaultErrorTitle));
}

int InstallationRun::ShutDown(int result) {
    Engine& engine = *State;
    if (Context.AbortFlag != 0) {
        result = run::Aborted;
    }
    if (Context.ErrorCode != context_error::None) {
        ReportError(engine, Context.ErrorCode == context_error::WriteFailure
                                ? engine.Message(msg::WriteFailure, DefaultErrorText)
                                : engine.Message(msg::InternalError, DefaultErrorText));
        result = run::Aborted;
    }
    bool completed = result == run::Finished;
    std::string reason = completed ? std::string() : AbortReason();
    if (completed) {
        SelfRegisterQueued(engine);
    } else {
        Log.Writer().Line(reason);
    }
    Display->EndRun();
    Log.Close();
    WriteStatusFile(engine, Machine.Files(), Header, WindowsDirectory, LocalNow(Machine.Files()),
                    {completed, reason});
    if (engine.SettingsChanged) {
        // Programs reread what changed; the second broadcast, which names the
        // environment, is only understood by 32-bit systems.
        platform::WindowMessageService& messages = Machine.Messages();
        messages.BroadcastMessageA(platform::wm::WinIniChange, nullptr);
        if (Windows95 || WindowsNt) {
            messages.BroadcastMessageA(platform::wm::WinIniChange, "Environment");
        }
    }

    RestartDecision restart;
    if (Options.Mode != RunMode::Test) {
        RestartFacts facts;
        facts.Pending = engine.RestartPending;
        facts.WindowsNt = WindowsNt;
        facts.CommandInterpreter = platform::ReadSystemText([&](std::span<char> buffer) {
            return Machine.System().GetEnvironmentVariableA("COMSPEC", buffer);
        });
        const std::string& support = Pieces.PathOf(EmbeddedPiece::SupportProgram);
        facts.SupportProgram = support.empty() ? support : Paths.ShortPathForm(support);
        restart = HandleRestart(engine, Context, facts);
    }
    if (Arguments.ExitAction != nullptr && restart.ExitAction != exit_action::None) {
        *Arguments.ExitAction = restart.ExitAction;
    }
    FillRestartBuffers(restart.Program ? &*restart.Program : nullptr,
                       restart.Arguments ? &*restart.Arguments : nullptr);

    // The restart utility stays as "%WIN%\_MSRSTRT.EXE" only for a pending restart on a
    // system of neither family; the support program only when it is the restart program.
    platform::FileService& files = Machine.Files();
    const std::string& utility = Pieces.PathOf(EmbeddedPiece::RestartUtility);
    if (!utility.empty() && restart.Pending && !Windows95 && !WindowsNt &&
        (Context.OptionFlags & context_option::RestartUtilityEmbedded) != 0) {
        files.MoveFileExA(utility, (WindowsDirectory + "\\_MSRSTRT.EXE").c_str(),
                          platform::file::MoveReplaceExisting);
    }
    if (restart.KeepSupportProgram) {
        const std::string& support = Pieces.PathOf(EmbeddedPiece::SupportProgram);
        std::erase(Pieces.Files, support);
    }
    if (Options.Mode == RunMode::ExtractZ && Arguments.ExitAction != nullptr) {
        *Arguments.ExitAction = exit_action::ExtractOnly;
    }
    DdeServer.reset();
    CloseTransferLibrary(engine);
    DropLibraryCopy(engine);
    engine.Disks.OpenPart.Reset();
    EndSupportLibraries();
    PieceLibraries.clear();
    // The setup program's window posts the quit message when it is destroyed; its
    // parameter is the run's result. Without a main window the result stands.
    platform::WindowMessageService& messages = Machine.Messages();
    if (Context.MainWindow != 0 && messages.DestroyWindow(Context.MainWindow)) {
        result = static_cast<int>(messages.PumpUntilQuit());
    }
    DeleteTemporaryFiles();
    return result;
}

void InstallationRun::FillRestartBuffers(const std::string* program, const std::string* arguments) {
    if (program != nullptr && Arguments.RestartProgram != nullptr) {
        CopyOut(Arguments.RestartProgram, *program);
    }
    if (arguments != nullptr && Arguments.RestartArguments != nullptr) {
        CopyOut(Arguments.RestartArguments, *arguments);
    }
}

void InstallationRun::DeleteTemporaryFiles() {
    platform::FileService& files = Machine.Files();
    for (const std::string& path : Pieces.Files) {
        files.DeleteFileA(path);
    }
    Pieces.Files.clear();
    if (State) {
        for (const std::string& path : State->TempFiles) {
            files.DeleteFileA(path);
        }
        State->TempFiles.clear();
    }
}

} // namespace vorn
