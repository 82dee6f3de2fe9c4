// Libraries on the sandbox machine.
#include "platform/posix/sandbox_library.h"

#include "platform/ansi_text.h"

#include <array>
#include <string>

namespace platform {

namespace {

std::int32_t OleInitialize(void*) {
    return 0;
}

std::int32_t OleUninitialize(void*) {
    return 0;
}

// The OLE stand-ins; their handles are addresses in StandInHandles, which no loaded
// library can have.
constexpr std::array<std::string_view, 3> OleLibraries{"OLE2.DLL", "OLE32.DLL", "OC25.DLL"};
std::array<char, OleLibraries.size()> StandInHandles{};

ModuleHandle StandIn(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of("\\/");
    const std::string_view name =
        slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    for (std::size_t i = 0; i < OleLibraries.size(); ++i) {
        if (EqualsIgnoringCase(name, OleLibraries[i])) {
            return reinterpret_cast<ModuleHandle>(&StandInHandles[i]);
        }
    }
    return nullptr;
}

bool IsStandIn(ModuleHandle module) {
    const auto* at = reinterpret_cast<const char*>(module);
    return at >= StandInHandles.data() && at < StandInHandles.data() + StandInHandles.size();
}

bool IsWindowsPath(std::string_view name) {
    return (name.size() >= 2 && name[1] == ':') || name.find('\\') != std::string_view::npos;
}

} // namespace

ModuleHandle SandboxLibraryService::LoadLibraryA(std::string_view fileName) {
    if (ModuleHandle standIn = StandIn(fileName)) {
        return standIn;
    }
    if (IsWindowsPath(fileName)) {
        const SandboxPath path = Machine.Resolve(fileName);
        if (path.Error == 0 && path.Exists) {
            return Loader.LoadLibraryA(path.Native.string());
        }
    }
    return Loader.LoadLibraryA(fileName);
}

ModuleHandle SandboxLibraryService::LoadLibraryExA(std::string_view fileName, unsigned) {
    return LoadLibraryA(fileName);
}

ProcAddress SandboxLibraryService::GetProcAddress(ModuleHandle module, std::string_view procName) {
    if (!IsStandIn(module)) {
        return Loader.GetProcAddress(module, procName);
    }
    if (procName == "OleInitialize") {
        return reinterpret_cast<ProcAddress>(&OleInitialize);
    }
    if (procName == "OleUninitialize") {
        return reinterpret_cast<ProcAddress>(&OleUninitialize);
    }
    return nullptr;
}

bool SandboxLibraryService::FreeLibrary(ModuleHandle module) {
    return IsStandIn(module) || Loader.FreeLibrary(module);
}

std::int32_t SandboxLibraryService::CallEntry(ProcAddress entry, void* argument) {
    return Loader.CallEntry(entry, argument);
}

} // namespace platform
