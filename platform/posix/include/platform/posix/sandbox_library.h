// Libraries on the sandbox machine: files on its drives are loaded from the machine
// folder, and the OLE libraries Windows itself carries are played by the sandbox.
#pragma once

#include "platform/posix/posix_library.h"
#include "platform/posix/sandbox_machine.h"

namespace platform {

/// A name that is a path to an existing file on the machine's drives ("C:\APP\X.DLL")
/// is dlopened from where that file lies in the machine folder, so a library the
/// installation put there can be loaded and called. "OLE2.DLL", "OLE32.DLL" and
/// "OC25.DLL" (any folder, any case) are stand-ins whose OleInitialize answers S_OK and
/// whose OleUninitialize does nothing: the sandbox has no OLE, and a library of its own
/// that registers itself does so without it. Any other name is dlopened as it is.
class SandboxLibraryService final : public LibraryService {
public:
    explicit SandboxLibraryService(const SandboxMachine& machine) : Machine(machine) {}

    ModuleHandle LoadLibraryA(std::string_view fileName) override;
    ModuleHandle LoadLibraryExA(std::string_view fileName, unsigned flags) override;
    ProcAddress GetProcAddress(ModuleHandle module, std::string_view procName) override;
    bool FreeLibrary(ModuleHandle module) override;
    std::int32_t CallEntry(ProcAddress entry, void* argument) override;

private:
    const SandboxMachine& Machine;
    PosixLibraryService Loader;
};

} // namespace platform
