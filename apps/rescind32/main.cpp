// rescind32: the uninstaller on Linux, undoing an installation recorded in a log on a
// sandbox machine.
#include "installer/log/local_clock.h"
#include "installer/uninstaller/uninstaller_run.h"
#include "platform/ansi_text.h"
#include "sandbox_services.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view Usage =
    R"(Usage: rescind32 --machine DIR [--program PATH] [--answers PATH] [/A] [/S] [/R] LOG [TITLE]

Undoes the installation recorded in LOG (the Windows path of an INSTALL.LOG on the
sandbox machine DIR): deletes the files and folders it created, puts back INI
entries and registry values, removes Program Manager items, services and the rest,
and says what it left behind and why.

Options:
  --machine DIR    The sandbox machine (made with vornsetup --new-machine).
  --program PATH   The uninstaller's own Windows path on the machine: its settings
                   file (same name, extension INI) is read, and it copies itself
                   to a temporary file when the log names it.
  --answers PATH   The wizard's choices, an INI file on the machine: [Method]
                   Mode=Automatic|Custom and Rollback=0|1; [Selections] one key
                   per page ("Private Files", "System Files", "Directories",
                   "INI Files", "INI Entries", "Registry Values", "Registry
                   Trees", "Registry Restores", "Program Items", "Sub-System",
                   "External Programs", "Services") set to All, None or the
                   numbers of the items to remove ("1,3"). What is not chosen
                   stays on the machine and in the log. Also read with /S.
  /A               Automatic: every recorded change is undone.
  /S               Silent: automatic, no questions (shared files are kept).
  /R               Roll back only the last installation, from its backups.
  -h, --help       Show this text.

Exit status: 0 done, 1 nothing removed (no log, an invalid or unsafe log, no
administrator rights), 2 cancelled, 3 done with items left behind, 64 usage error.
)";

// Message boxes on the console: the text goes to standard error; OK and Cancel boxes
// answer OK, Yes/No boxes No.
class ConsoleMessageBox final : public platform::MessageBoxService {
public:
    int MessageBoxA(std::string_view text, std::string_view caption, unsigned type) override {
        std::cerr << platform::AnsiToUtf8(caption) << ": " << platform::AnsiToUtf8(text) << "\n";
        return (type & 0xF) == platform::mb::YesNo ? platform::id::No : platform::id::Ok;
    }
};

// The removal's progress on the terminal: each status text on a line of its own, after
// the count of items handled so far.
class ConsoleUi final : public rescind::RemovalUi {
public:
    void Status(std::string_view message) override {
        std::string line(platform::TrimBlanks(rescind::ReplaceAll(
            rescind::ReplaceAll(std::string(message), "\r\n", " "), "\n", " ")));
        std::cout << "[" << Done << "/" << Total << "] " << platform::AnsiToUtf8(line) << "\n";
    }
    void Progress(int done, int total) override {
        Done = done;
        Total = total;
    }
    bool Cancelled() override { return false; }
    rescind::SharedFileAnswer AskSharedFile(std::string_view) override {
        return rescind::SharedFileAnswer::Keep;
    }
    bool WindowClassExists(std::string_view) override { return false; }
    rescind::RunningServerAnswer AskServerRunning(std::string_view) override {
        return rescind::RunningServerAnswer::Abort;
    }
    void Pause(std::uint32_t) override {}

private:
    int Done = 0;
    int Total = 0;
};

int UsageError(std::string_view message) {
    std::cerr << "rescind32: " << message << "\nRun 'rescind32 --help' for usage.\n";
    return 64;
}

} // namespace

int main(int argc, char** argv) {
    std::string machine;
    rescind::ProgramContext program;
    std::vector<std::string_view> words;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::cout << Usage;
            return 0;
        }
        const bool valued =
            argument == "--machine" || argument == "--program" || argument == "--answers";
        if (valued && i + 1 == argc) {
            return UsageError(std::string(argument) + " needs a value");
        }
        if (argument == "--machine") {
            machine = argv[++i];
        } else if (argument == "--program") {
            program.ProgramPath = argv[++i];
        } else if (argument == "--answers") {
            program.AnswerFile = argv[++i];
        } else {
            words.push_back(argument);
        }
    }
    if (machine.empty()) {
        return UsageError("--machine DIR is required");
    }
    ConsoleMessageBox boxes;
    rescind::SandboxServices::OpenResult opened = rescind::SandboxServices::Open(machine, boxes);
    if (!opened.Services) {
        std::cerr << "rescind32: " << opened.Error << "\n";
        return 1;
    }
    program.DateTime =
        vorn::LogHeaderDateTimeText(vorn::LocalNow(opened.Services->Services().Files));
    ConsoleUi ui;
    const rescind::RunOutcome outcome = rescind::RunUninstaller(
        rescind::ParseCommandLine(words), program, opened.Services->Services(), ui);
    if (outcome.Report && outcome.Report->LogRemoved) {
        std::cout << "Removed " << platform::AnsiToUtf8(outcome.Title) << "\n";
    }
    if (outcome.Report) {
        for (const rescind::LeftBehind& left : outcome.Report->Left) {
            std::cout << "Left " << platform::AnsiToUtf8(left.Item) << ": "
                      << platform::AnsiToUtf8(left.Reason) << "\n";
        }
    }
    return outcome.ExitCode;
}
