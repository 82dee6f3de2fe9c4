// The running program as the system knows it: its module handle and its own path.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

/// The running program's module handle (GetModuleHandleA(nullptr)) on Windows; 0 elsewhere.
std::uintptr_t ProgramInstanceHandle();
/// The running program's full path; empty when the system cannot tell.
std::string ProgramPath();

} // namespace platform
