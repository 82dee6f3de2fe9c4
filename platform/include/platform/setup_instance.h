// What a setup program tells the install engine it starts about itself: the instance
// word (word 1) of the context block.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <string>

namespace platform {

/// On Windows the instance word is the setup program's module handle (HINSTANCE): the
/// engine asks the system for the program's path and works on the system's own files.
/// On the sandbox machine the word points to this block instead, owned by the setup
/// program for the whole run: the program's path as the engine is to report it, the
/// machine folder, and the machine's file service. Both sides use that one service, so
/// a file the engine opens can be handed to the setup program's decompress function.
struct SetupInstance {
    std::string ProgramPath;
    std::string MachineFolder;
    FileService* Files = nullptr;
};

/// The running program's module handle (GetModuleHandleA(nullptr)) on Windows; 0 elsewhere.
std::uintptr_t ProgramInstanceHandle();
/// The running program's full path; empty when the system cannot tell.
std::string ProgramPath();

} // namespace platform
