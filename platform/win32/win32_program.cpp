// The running program on Windows: its module handle and path from the loader.
#include "platform/program.h"
#include "win32_api.h"

namespace platform {

std::uintptr_t ProgramInstanceHandle() {
    return reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
}

std::string ProgramPath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

} // namespace platform
