// Rescind32.exe: the uninstaller on Windows. The wizard asks the user; a silent run ("/S")
// takes its choices from the answer file beside the program (the program's name with the
// extension "ANS") when there is one, or else removes everything.
#include "installer/log/local_clock.h"
#include "installer/uninstaller/uninstall_wizard.h"
#include "installer/uninstaller/uninstaller_run.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/program.h"
#include "platform/program_host.h"
#include "platform/win32/win32_message_box.h"
#include "platform/win32/win32_uninstall_dialogs.h"
#include "win32_services.h"

#include <string_view>
#include <vector>

namespace {

// MessageBoxA styles and answers the shared-file and database-server questions use.
constexpr unsigned YesNoCancel = 0x3;
constexpr unsigned AbortRetryIgnore = 0x2;
constexpr int Abort = 3;
constexpr int Retry = 4;

class MessageBoxUi final : public rescind::RemovalUi {
public:
    MessageBoxUi(platform::MessageBoxService& boxes, const rescind::StringTable& strings)
        : Boxes(boxes), Strings(strings) {}
    void Status(std::string_view) override {}
    void Progress(int, int) override {}
    bool Cancelled() override { return false; }
    rescind::SharedFileAnswer AskSharedFile(std::string_view question) override {
        const int answer =
            Boxes.MessageBoxA(question, Strings.Text(rescind::text::RemoveSharedComponent),
                              YesNoCancel | platform::mb::IconExclamation);
        return answer == platform::id::Yes  ? rescind::SharedFileAnswer::Remove
               : answer == platform::id::No ? rescind::SharedFileAnswer::Keep
                                            : rescind::SharedFileAnswer::KeepAll;
    }
    bool WindowClassExists(std::string_view windowClass) override {
        return platform::TopLevelWindowOfClassExists(windowClass);
    }
    rescind::RunningServerAnswer AskServerRunning(std::string_view message) override {
        const int answer = Boxes.MessageBoxA(message, Strings.Text(rescind::text::Uninstall),
                                             AbortRetryIgnore | platform::mb::IconExclamation);
        return answer == Abort   ? rescind::RunningServerAnswer::Abort
               : answer == Retry ? rescind::RunningServerAnswer::Retry
                                 : rescind::RunningServerAnswer::Ignore;
    }
    void Pause(std::uint32_t milliseconds) override { platform::PauseProgram(milliseconds); }

private:
    platform::MessageBoxService& Boxes;
    const rescind::StringTable& Strings;
};

} // namespace

int main(int argc, char** argv) {
    platform::Win32MessageBox boxes;
    rescind::Win32Services machine(boxes);
    const rescind::UninstallServices& services = machine.Bundle;
    platform::Win32Files& files = machine.Files;
    platform::Win32Profile& profile = machine.Profile;

    rescind::ProgramContext program;
    program.ProgramPath = platform::ProgramPath();
    program.Instance = platform::ProgramInstanceHandle();
    program.DateTime = vorn::LogHeaderDateTimeText(vorn::LocalNow(files));
    if (!program.ProgramPath.empty()) {
        // Read with "/S" only: the wizard asks otherwise.
        std::string answers = rescind::SettingsPath(program.ProgramPath);
        answers.replace(answers.size() - 3, 3, "ANS");
        if (files.GetFileAttributesA(answers) != platform::file::InvalidAttributes) {
            program.AnswerFile = answers;
        }
    }
    const rescind::StringTable strings =
        program.ProgramPath.empty()
            ? rescind::StringTable{}
            : rescind::SettingsStrings(profile, rescind::SettingsPath(program.ProgramPath));
    MessageBoxUi questions(boxes, strings);
    std::vector<std::string_view> words(argv + 1, argv + argc);
    const rescind::CommandLine line = rescind::ParseCommandLine(words);
    const rescind::UninstallSettings settings =
        program.ProgramPath.empty()
            ? rescind::UninstallSettings{}
            : rescind::ReadUninstallSettings(profile, rescind::SettingsPath(program.ProgramPath));
    platform::Win32UninstallDialogs dialogs;
    if (!line.Silent && !line.SecondStage && !settings.NoBackground) {
        const std::string title = line.SecondArgument.empty()
                                      ? strings.Text(rescind::text::Uninstall)
                                      : line.SecondArgument;
        const auto bands = rescind::GradientBands(settings.Look.StartColor, settings.Look.EndColor);
        dialogs.ShowBackground(title, bands);
    }
    rescind::UninstallWizard wizard(dialogs, settings.Look, questions);
    if (!line.Silent) {
        program.Wizard = &wizard;
    }
    rescind::RemovalUi& ui = line.Silent ? static_cast<rescind::RemovalUi&>(questions) : wizard;
    const rescind::RunOutcome outcome = rescind::RunUninstaller(line, program, services, ui);
    platform::BroadcastSettingChange();
    return outcome.ExitCode;
}
