// Start-up and script start of an installation run.
#include "installation_run.h"

#include "answer_file.h"
#include "custom_dialog_set.h"
#include "extract_modes.h"
#include "fonts_directory.h"
#include "installer/log/local_clock.h"
#include "language_dialog.h"
#include "main_loop.h"
#include "path_name_dialog.h"
#include "platform/ansi_text.h"
#include "platform/system_info.h"
#include "running_engine.h"
#include "script_interpreter.h"
#include "status_file.h"
#include "user_language.h"

#include <string_view>

namespace vorn {

namespace {

/// Context option bit 20: the language dialog stays open even for the user's language.
constexpr std::uint32_t LanguageDialogAlwaysShown = 0x100000;

std::string WithoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') {
        path.pop_back();
    }
    return path;
}

std::string DirectoryOf(std::string_view path) {
    std::size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? std::string_view()
                                                       : path.substr(0, slash));
}

} // namespace

std::int32_t RunInstallation(InstallContext* context, const EntryArguments& arguments,
                             platform::MachineServices& machine) {
    if (arguments.ExitAction != nullptr) {
        *arguments.ExitAction = exit_action::None;
    }
    if (context == nullptr || context->Script == nullptr || context->ScriptLength == 0) {
        machine.Boxes().MessageBoxA(DefaultErrorText, DefaultErrorTitle,
                                    platform::mb::Ok | platform::mb::IconExclamation);
        return 0;
    }
    auto run = std::make_unique<InstallationRun>(*context, arguments, machine);
    return run->Run();
}

InstallationRun::InstallationRun(InstallContext& context, const EntryArguments& arguments,
                                 platform::MachineServices& machine)
    : Context(context), Arguments(arguments), Machine(machine), Host(context, machine.Messages()),
      Presenter(machine.Boxes(), machine.BoxDialogs()), TempFiles(machine.Files()),
      Paths(machine.Files()), Log(machine.Files()) {}

InstallationRun::~InstallationRun() {
    // Before the libraries go: the update-display library is told that the run ended.
    if (Display) {
        Display->EndRun();
    }
    // The setup program must not see the table after it is gone.
    Context.Messages = nullptr;
    if (WizardClassRegistered) {
        Machine.Messages().UnregisterClassA(WizardClassName);
    }
}

std::int32_t InstallationRun::Run() {
    // The script is copied with room for the end-of-script record the run writes after
    // it, so the caller's buffer is never written past the length it gave.
    ScriptBytes.assign(Context.Script, Context.Script + Context.ScriptLength);
    ScriptBytes.push_back(op::EndOfScript);
    State = std::make_unique<Engine>(Script(ScriptBytes, 1, 0),
                                     EngineServices{Host, Machine.Libraries(), Presenter, Log,
                                                    TempFiles, &Paths, &Machine, &Context});
    Log.UseVariables(State->Variables);
    RunningEngineScope running(*State);
    Display = std::make_unique<EngineDisplay>(*State, Context, Machine.Display(), Machine.Sound());
    State->Display = Display.get();
    Host.UseDisplay(Display.get());
    RegisterDisplayActions(*State);
    State->Actions[op::CustomDialogSet] = &CustomDialogSet;
    if (!StartUp()) {
        DeleteTemporaryFiles();
        return 0;
    }
    int result = run::Aborted;
    if (Options.Mode == RunMode::Extract || Options.Mode == RunMode::ExtractZ) {
        // After script start the archive's files are written out; no script runs.
        StartResult start = ScriptStart();
        if (start == StartResult::Failed) {
            DdeServer.reset();
            DeleteTemporaryFiles();
            return 0;
        }
        result = start == StartResult::Ready
                     ? ExtractArchiveFiles(*State, RecordsOffset, Options.ExtractDirectory)
                     : run::Aborted;
    } else {
        switch (ScriptStart()) {
        case StartResult::Failed:
            DdeServer.reset();
            DeleteTemporaryFiles();
            return 0;
        case StartResult::Aborted:
            result = run::Aborted;
            break;
        case StartResult::Ready:
            OpenLog();
            WriteStatusFile(*State, Machine.Files(), Header, WindowsDirectory,
                            LocalNow(Machine.Files()), {false, AbnormalEndText});
            Context.BytesCopied = 0;
            result = RunMainLoop(*State, Context);
            break;
        }
    }
    return ShutDown(result);
}

bool InstallationRun::StartUp() {
    // Without the class the wizard windows cannot open; the run itself goes on.
    WizardClassRegistered = Machine.Messages().RegisterClassA(WizardClassName);
    platform::SystemInfoService& system = Machine.System();
    platform::OsVersionInfo version;
    if (system.GetVersionExA(version)) {
        Version4 = version.MajorVersion >= 4;
        Windows95 = version.PlatformId == platform::sysinfo::PlatformWindows;
        WindowsNt = version.PlatformId == platform::sysinfo::PlatformNT;
    }
    WindowsDirectory = WithoutTrailingBackslash(platform::ReadSystemText(
        [&](std::span<char> buffer) { return system.GetWindowsDirectoryA(buffer); }));
    SystemDirectory = WithoutTrailingBackslash(platform::ReadSystemText(
        [&](std::span<char> buffer) { return system.GetSystemDirectoryA(buffer); }));
    TempDirectory = WithoutTrailingBackslash(platform::ReadSystemText(
        [&](std::span<char> buffer) { return system.GetTempPathA(buffer); }));
    SetupProgram = Machine.ModuleFileName(Context.SetupInstance);
    NoTickWaits = !SetupProgram.empty() && (platform::UpperAnsi(SetupProgram[0]) == 'A' ||
                                            platform::UpperAnsi(SetupProgram[0]) == 'B');

    PieceTargets targets{WindowsDirectory, TempDirectory, WindowsNt};
    if (!ExtractEmbeddedPieces(Context, Machine.Files(), targets, Pieces)) {
        ReportError(*State, DefaultErrorText);
        return false;
    }
    State->Transfer.Path = Pieces.PathOf(EmbeddedPiece::TransferLibrary);
    State->RegistrationProgram = Pieces.PathOf(EmbeddedPiece::RegistrationProgram);
    // The support libraries must have their entries, or the run cannot go on.
    platform::LibraryService& libraries = Machine.Libraries();
    for (auto [piece, entry] : {std::pair{EmbeddedPiece::ExtensionLibrary, "f1"},
                                std::pair{EmbeddedPiece::UpdateDisplayLibrary, "Update"}}) {
        const std::string& path = Pieces.PathOf(piece);
        if (path.empty()) {
            continue;
        }
        platform::UniqueLibrary module(libraries.LoadLibraryA(path),
                                       platform::LibraryTraits{&libraries});
        if (!module || libraries.GetProcAddress(module.Get(), entry) == nullptr) {
            ReportError(*State, DefaultErrorText);
            return false;
        }
        if (piece == EmbeddedPiece::UpdateDisplayLibrary) {
            Display->UseUpdateLibrary(libraries.GetProcAddress(module.Get(), entry));
        }
        PieceLibraries.push_back(std::move(module));
    }
    StartSupportLibraries();

    DdeServer = std::make_unique<VornInstServer>(Machine.Dde(), *State);
    State->DdeInstance = DdeServer->InstanceId();
    std::string_view commandLine =
        Arguments.CommandLine != nullptr ? Arguments.CommandLine : std::string_view();
    Options = ParseCommandLineOptions(commandLine);
    State->Mode = Options.Mode;
    State->ConfirmSelfRegistration = Options.ConfirmSelfRegistration;
    if (!Options.AnswerFile.empty()) {
        auto answers = ReadAnswerFile(
            Machine.Files(), AnswerFilePath(Options.AnswerFile, DirectoryOf(SetupProgram)));
        State->HasAnswerFile = answers.has_value();
        if (answers) {
            State->Answers = std::move(*answers);
        }
    }
    State->Variables.FillPredefined({std::string(commandLine), "", "", "", "", "", "", ""});
    return true;
}

InstallationRun::StartResult InstallationRun::ScriptStart() {
    HeaderReadResult read =
        ReadScriptHeader(std::span<const std::uint8_t>(ScriptBytes.data(), ScriptBytes.size() - 1));
    if (read.Error) {
        ReportError(*State, std::string(DefaultErrorText) + "\n\n" + HeaderErrorText(*read.Error));
        return StartResult::Failed;
    }
    Header = std::move(read.Header);
    RecordsOffset = read.RecordsOffset;
    Presenter.UseFont(Header.FontFace, Header.FontCharacterSet, Header.FontPointSize,
                      (Context.OptionFlags & context_option::BoxTextWeightMask) != 0);
    State->Disks.Base = Pieces.ArchiveBase;
    State->Disks.BytesPerDisk = Header.BytesPerDisk;
    State->Disks.FirstDiskOffset = Header.FirstDiskOffset;
    State->Disks.LibraryBaseName = Header.LibraryBaseName;
    State->Disks.ArchiveIdentifier = Header.ArchiveIdentifier;
    State->Disks.SetupProgram = SetupProgram;
    State->Disks.PromptSet = Pieces.DiskPromptSet;
    std::size_t languages = Header.Texts.size();

    // The default choice is the language whose system name is the user's; the language
    // dialog chooses.
    std::size_t chosen = 0;
    if (languages > 1) {
        std::string user = UserLanguage(Machine.Profile(), Machine.Registry(), WindowsNt);
        LanguageRequest request{Header.LanguageDialogTitle,
                                Header.LanguageDialogPrompt,
                                {},
                                {},
                                Options.Mode != RunMode::Test &&
                                    (Context.OptionFlags & LanguageDialogAlwaysShown) == 0};
        for (std::size_t i = 0; i < Header.Languages.size(); ++i) {
            request.Names.push_back(Header.Languages[i].Name);
            if (!user.empty() && !request.UserLanguage &&
                platform::EqualsIgnoringCase(Header.Languages[i].SystemName, user)) {
                request.UserLanguage = i;
            }
        }
        LanguageChoice choice = LanguageDlg(*State, request);
        if (!choice.Error.empty()) {
            ReportError(*State, std::string(DefaultErrorText) + "\n\n" + choice.Error);
        }
        if (!choice.Index || *choice.Index >= languages) {
            return StartResult::Aborted;
        }
        chosen = *choice.Index;
    }
    const LanguageTexts& texts = Header.Texts[chosen];
    Title = texts.WindowTitle;
    Messages = std::make_unique<MessageTable>(texts.Messages);
    State->Messages = Messages.get();
    Context.Messages = Messages.get();
    State->Program = Script(ScriptBytes, static_cast<std::uint8_t>(languages),
                            static_cast<std::uint8_t>(chosen));
    State->Program.Position = RecordsOffset;
    Display->Configure({Header.TotalBytes, Pieces.ArchiveBase, RecordsOffset, Context.ScriptLength,
                        Header.Flags & 0x0F,
                        !NoTickWaits && (Header.Flags & header_flag::WaitOnTicks) != 0});

    std::string fonts = FontsDirectory(Machine.Registry(), Machine.Files(),
                                       {Version4, WindowsDirectory, SystemDirectory});
    PredefinedDirectories directories{WindowsDirectory, SystemDirectory, SystemDirectory,
                                      TempDirectory, DirectoryOf(SetupProgram)};
    if (Options.Mode == RunMode::Manual && !ConfirmPredefinedDirectories(*State, directories)) {
        return StartResult::Aborted;
    }
    State->Variables.FillPredefined({State->Variables.GetVariable("CMDLINE"),
                                     Header.Languages[chosen].Name, directories[0], directories[1],
                                     directories[2], directories[3], directories[4], fonts});
    return StartResult::Ready;
}

void InstallationRun::OpenLog() {
    RunLogSettings settings;
    settings.Enabled =
        Options.Mode != RunMode::Test && (Header.Flags & header_flag::NoLogFile) == 0;
    settings.TempDirectory = TempDirectory;
    settings.Title = Title;
    settings.Source = SetupProgram;
    settings.LogPath = Header.LogPath;
    std::string uninstallStatus = State->Variables.Expand(Header.UninstallStatusName, PathSize);
    if (!uninstallStatus.empty()) {
        settings.Information = UninstallInfo{uninstallStatus, Header.Manufacturer, Header.Product,
                                             Header.VersionNumber, Header.SerialNumber};
    }
    settings.AdminRights = WindowsNt && Machine.System().IsUserAnAdmin();
    Log.Configure(std::move(settings));
    Log.Open("KTG");
}

} // namespace vorn
