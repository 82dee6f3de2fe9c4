// The engine's exports: VornMain over the machine this build runs against, the setter
// that names the sandbox machine, and FileWrite and FileRead for the setup program's
// decompressor.
#include "engine.h"
#include "engine_display.h"
#include "install_context.h"
#include "installation_run.h"
#include "platform/machine_services.h"
#include "running_engine.h"
#include "written_copy.h"

#include <cstdio>
#include <string>

namespace {

platform::MachineLocation NextMachine;
// The machine of the run in progress, for FileWrite and FileRead.
platform::MachineServices* RunningMachine = nullptr;

// The progress window and billboards of the run in progress, for UpdateScreen and
// DisplayGraphics; null between runs.
vorn::EngineDisplay* RunningDisplay() {
    return vorn::RunningEngine != nullptr ? vorn::RunningEngine->Display : nullptr;
}

} // namespace

extern "C" {

void PLATFORM_WINAPI VornSetMachine(const char* machineFolder, const char* setupProgram) {
    NextMachine.Folder = machineFolder != nullptr ? machineFolder : "";
    NextMachine.SetupProgram = setupProgram != nullptr ? setupProgram : "";
}

std::uint32_t PLATFORM_WINAPI FileWrite(std::uintptr_t file, const void* buffer,
                                        std::uint32_t count) {
    if (RunningMachine == nullptr || (buffer == nullptr && count != 0)) {
        return 0;
    }
    std::uint32_t written = 0;
    RunningMachine->Files().WriteFile(
        static_cast<platform::FileHandle>(file),
        std::span<const char>(static_cast<const char*>(buffer), count), written);
    if (vorn::ExtractingCopy != nullptr) {
        vorn::ExtractingCopy->Note(file, buffer, written);
    }
    return written;
}

std::uint32_t PLATFORM_WINAPI FileRead(std::uintptr_t file, void* buffer, std::uint32_t count) {
    if (RunningMachine == nullptr || buffer == nullptr) {
        return 0;
    }
    std::uint32_t read = 0;
    RunningMachine->Files().ReadFile(static_cast<platform::FileHandle>(file),
                                     std::span<char>(static_cast<char*>(buffer), count), read);
    return read;
}

std::int32_t PLATFORM_WINAPI VornMain(vorn::InstallContext* context, const char* commandLine,
                                      std::int32_t* exitAction, char* restartProgram,
                                      char* restartArguments) {
    if (exitAction != nullptr) {
        *exitAction = vorn::exit_action::None;
    }
    // Nothing may escape into the setup program: a failure here ends the run as a
    // failed start-up.
    try {
        platform::OpenedMachine machine = platform::OpenMachineServices(NextMachine);
        if (!machine.Services) {
            std::fprintf(stderr, "VornMain: %s\n", machine.Error.c_str());
            return 0;
        }
        RunningMachine = machine.Services.get();
        std::int32_t result = vorn::RunInstallation(
            context, {commandLine, exitAction, restartProgram, restartArguments},
            *machine.Services);
        RunningMachine = nullptr;
        return result;
    } catch (...) {
        RunningMachine = nullptr;
        return 0;
    }
}

void PLATFORM_WINAPI UpdateScreen(std::int32_t wait) {
    if (vorn::EngineDisplay* display = RunningDisplay()) {
        display->UpdateScreen(wait != 0);
    }
}

void PLATFORM_WINAPI DisplayGraphics(std::uintptr_t, std::uintptr_t dc) {
    if (vorn::EngineDisplay* display = RunningDisplay(); display != nullptr && dc != 0) {
        display->PaintGraphics(reinterpret_cast<platform::HDC>(dc));
    }
}

} // extern "C"
