// The run's start and end around the display: critical-error boxes off, CTL3D for the
// setup program's dialogs, and at the end the help file closed and a last tick.
#include "installation_run.h"

namespace vorn {

namespace {

using Ctl3dFunction = std::int32_t(PLATFORM_WINAPI*)(std::uintptr_t instance);

std::int32_t CallCtl3d(platform::LibraryService& libraries, platform::ModuleHandle module,
                       std::string_view name, std::uintptr_t instance) {
    platform::ProcAddress entry = libraries.GetProcAddress(module, name);
    return entry != nullptr ? reinterpret_cast<Ctl3dFunction>(entry)(instance) : 0;
}

} // namespace

void InstallationRun::StartSupportLibraries() {
    if (platform::InstallDisplayService* display = Machine.Display()) {
        display->FailCriticalErrors();
    }
    platform::LibraryService& libraries = Machine.Libraries();
    // The copy the archive carried for this system, else the system's own.
    const std::string& copy =
        Pieces.PathOf(WindowsNt ? EmbeddedPiece::Ctl3dWindowsNt : EmbeddedPiece::Ctl3dWindows95);
    Ctl3d = platform::UniqueLibrary(libraries.LoadLibraryA(copy.empty() ? "CTL3D32.DLL" : copy),
                                    platform::LibraryTraits{&libraries});
    if (!Ctl3d) {
        return;
    }
    CallCtl3d(libraries, Ctl3d.Get(), "Ctl3dRegister", Context.SetupInstance);
    if (!Windows95 && !Version4) {
        CallCtl3d(libraries, Ctl3d.Get(), "Ctl3dAutoSubclass", Context.SetupInstance);
    }
}

void InstallationRun::EndSupportLibraries() {
    platform::InstallDisplayService* display = Machine.Display();
    if (display != nullptr) {
        if (const std::string help = State->Variables.GetVariable("HELPFILE"); !help.empty()) {
            display->CloseHelpFile(Context.MainWindow, help);
        }
        Context.TimerWait = 1;
        display->WaitForTick(Context.MainWindow, EngineTimerId, ShutDownTickMilliseconds,
                             Context.TimerWait);
    }
    if (Ctl3d) {
        CallCtl3d(Machine.Libraries(), Ctl3d.Get(), "Ctl3dUnregister", Context.SetupInstance);
        Ctl3d = {};
    }
}

} // namespace vorn
