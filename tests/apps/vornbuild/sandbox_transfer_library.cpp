// A transfer library for setups run on a sandbox machine: "t1" copies a file of the
// machine named by VORN_MACHINE from the source to the target, both the machine's own
// paths. A source that is not there is error 2, named in the library's error text.
#include "platform/posix/sandbox_machine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

extern "C" __attribute__((visibility("default"))) std::int32_t
t1(std::int32_t*, const char* source, const char* target, std::uintptr_t, std::uint32_t*,
   std::intptr_t, std::uint32_t, std::uint32_t, std::uint32_t, char* errorText) {
    if (source == nullptr) {
        return 0; // The run's end.
    }
    const char* folder = std::getenv("VORN_MACHINE");
    auto machine = platform::SandboxMachine::Open(folder != nullptr ? folder : "").Machine;
    const platform::SandboxPath from = machine ? machine->Resolve(source) : platform::SandboxPath{};
    const platform::SandboxPath to = machine ? machine->Resolve(target) : platform::SandboxPath{};
    if (!machine || from.Error != 0 || !from.Exists || to.Error != 0) {
        std::snprintf(errorText, 256, "%s not found", source);
        return -2;
    }
    std::error_code error;
    std::filesystem::copy_file(from.Native, to.Native,
                               std::filesystem::copy_options::overwrite_existing, error);
    return error ? -5 : 0;
}
