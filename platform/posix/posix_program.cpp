// The running program on Linux: no module handle, its path from /proc.
#include "platform/program.h"

#include <filesystem>
#include <system_error>

namespace platform {

std::uintptr_t ProgramInstanceHandle() {
    return 0;
}

std::string ProgramPath() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

} // namespace platform
