// Self-registration of the queued files at the end of the run.
#include "self_registration.h"

#include "builtin_functions.h"
#include "engine.h"
#include "engine_display.h"
#include "engine_message_box.h"
#include "path_parts.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"
#include "version_compare.h"
#include "wait_dialog.h"

#include <string>
#include <utility>
#include <vector>

namespace vorn {

namespace {

// How long one look at the registration program waits before the display is updated.
constexpr std::uint32_t PollMilliseconds = 100;

void UpdateScreen(Engine& engine) {
    if (engine.Display != nullptr) {
        engine.Display->UpdateScreen(false);
    }
}

// The file's directory, a drive's root with its backslash.
std::string DirectoryOf(std::string_view path) {
    std::string directory(DirectoryPart(path));
    if (directory.size() == 2 && directory[1] == ':') {
        directory += '\\';
    }
    return directory;
}

bool EndsWithExe(std::string_view path) {
    return path.size() >= 3 && platform::EqualsIgnoringCase(path.substr(path.size() - 3), "EXE");
}

// Starts the command line in `directory`; the process, or none when it did not start.
platform::UniqueProcess Start(platform::ProcessService& processes, const std::string& commandLine,
                              const std::string& directory) {
    platform::ProcessInformation started;
    if (!processes.CreateProcessA(nullptr, commandLine.c_str(), 0,
                                  directory.empty() ? nullptr : directory.c_str(), {}, started)) {
        return platform::UniqueProcess(platform::NullProcess, {&processes});
    }
    return platform::UniqueProcess(started.Process, {&processes});
}

// A program registers itself when started with "/REGSERVER"; it counts as done once it
// started, whatever it then reports.
bool RegisterProgram(platform::ProcessService& processes, const std::string& path,
                     const std::string& directory) {
    platform::UniqueProcess process = Start(processes, path + " /REGSERVER", directory);
    if (!process) {
        return false;
    }
    processes.WaitForSingleObject(process.Get(), platform::process::Infinite);
    return true;
}

// The archive's registration program loads the image in a process of its own; exit
// code 0 means it registered. The display is kept alive while it runs.
bool RunRegistrationProgram(Engine& engine, platform::ProcessService& processes,
                            const std::string& path, const std::string& directory) {
    platform::UniqueProcess process =
        Start(processes, "\"" + engine.RegistrationProgram + "\" " + path, directory);
    if (!process) {
        return false;
    }
    std::uint32_t exitCode = platform::process::StillActive;
    while (processes.GetExitCodeProcess(process.Get(), exitCode) &&
           exitCode == platform::process::StillActive) {
        UpdateScreen(engine);
        processes.WaitForSingleObject(process.Get(), PollMilliseconds);
    }
    return exitCode == 0;
}

// Loads `path` with its dependencies from its own directory and calls its
// DllRegisterServer between the OLE library's OleInitialize and OleUninitialize;
// `runtime`, when named, is loaded too for the time of the call.
bool RegisterInProcess(platform::LibraryService& libraries, const std::string& path,
                       std::string_view oleLibrary, std::string_view runtime) {
    platform::UniqueLibrary ole(libraries.LoadLibraryA(oleLibrary), {&libraries});
    const platform::ProcAddress initialize =
        ole ? libraries.GetProcAddress(ole.Get(), "OleInitialize") : nullptr;
    if (initialize == nullptr || libraries.CallEntry(initialize, nullptr) < 0) {
        return false;
    }
    bool registered = false;
    {
        platform::UniqueLibrary helper(runtime.empty() ? nullptr : libraries.LoadLibraryA(runtime),
                                       {&libraries});
        platform::UniqueLibrary server(
            libraries.LoadLibraryExA(path, platform::load::WithAlteredSearchPath), {&libraries});
        const platform::ProcAddress entry =
            server ? libraries.GetProcAddress(server.Get(), "DllRegisterServer") : nullptr;
        registered = entry != nullptr && libraries.CallEntryWithoutArguments(entry) == 0;
    }
    if (const platform::ProcAddress uninitialize =
            libraries.GetProcAddress(ole.Get(), "OleUninitialize")) {
        libraries.CallEntryWithoutArguments(uninitialize);
    }
    return registered;
}

bool RegisterFile(Engine& engine, const std::string& path) {
    platform::MachineServices* machine = engine.Services.Machine;
    const std::string directory = DirectoryOf(path);
    if (EndsWithExe(path)) {
        return machine != nullptr && RegisterProgram(machine->Processes(), path, directory);
    }
    if (machine == nullptr || !IsImage32(machine->Files(), path)) {
        // A 16-bit server registers through the 16-bit OLE libraries.
        return RegisterInProcess(engine.Services.Libraries, path, "OLE2.DLL", "OC25.DLL");
    }
    if (!engine.RegistrationProgram.empty()) {
        return RunRegistrationProgram(engine, machine->Processes(), path, directory);
    }
    // Without a registration program in the archive the engine, itself a 32-bit library,
    // loads the image as the program would.
    return RegisterInProcess(engine.Services.Libraries, path, "OLE32.DLL", {});
}

} // namespace

void SelfRegisterQueued(Engine& engine) {
    const std::vector<std::string> queue = std::exchange(engine.SelfRegistrations, {});
    for (const std::string& path : queue) {
        UpdateScreen(engine);
        if (engine.ConfirmSelfRegistration) {
            EngineMessageBox(engine, 0, path, engine.Message(msg::QuestionTitle),
                             box::NoCancel | box::CancelAtOnce);
        }
        const bool registered = RegisterFile(engine, path);
        // The queue holds short forms, which command lines take unquoted; the log names
        // the file as its file record does, so the uninstaller finds the record to mark.
        const std::string logged =
            engine.Services.Paths != nullptr ? engine.Services.Paths->LongPathForm(path) : path;
        engine.Services.Log.AddText(
            std::string(registered ? "Self-Register: " : "Could not Self-Register: ") + logged +
            "\r\n");
    }
}

std::int32_t f29(Engine& engine, const DllCallBlock& block) {
    if (engine.Mode == RunMode::Test) {
        return 1;
    }
    ArgumentFields fields(block);
    if (fields.Text(0) == "1") {
        std::string path = ShortForm(engine, fields.Text(1));
        if (!path.empty() && engine.SelfRegistrations.size() < Engine::MaxSelfRegistrations) {
            engine.SelfRegistrations.push_back(std::move(path));
        }
        return 1;
    }
    // The wait text shows only when there is something to register.
    if (!engine.SelfRegistrations.empty()) {
        WaitDialogScope waiting(engine, fields.Text(1));
        SelfRegisterQueued(engine);
    }
    return 1;
}

} // namespace vorn
