// Libraries loaded at run time on Linux.
#include "platform/posix/posix_library.h"

#include "posix_api.h"

#include <string>

namespace platform {

ModuleHandle PosixLibraryService::LoadLibraryA(std::string_view fileName) {
    std::string fileNameZ(fileName);
    return static_cast<ModuleHandle>(dlopen(fileNameZ.c_str(), RTLD_NOW | RTLD_LOCAL));
}

ModuleHandle PosixLibraryService::LoadLibraryExA(std::string_view fileName, unsigned) {
    return LoadLibraryA(fileName);
}

ProcAddress PosixLibraryService::GetProcAddress(ModuleHandle module, std::string_view procName) {
    if (module == nullptr) {
        return nullptr;
    }
    std::string procNameZ(procName);
    return reinterpret_cast<ProcAddress>(dlsym(module, procNameZ.c_str()));
}

bool PosixLibraryService::FreeLibrary(ModuleHandle module) {
    return module != nullptr && dlclose(module) == 0;
}

std::int32_t PosixLibraryService::CallEntry(ProcAddress entry, void* argument) {
    using Entry = std::int32_t (*)(void*);
    return reinterpret_cast<Entry>(entry)(argument);
}

std::unique_ptr<LibraryService> MakeSystemLibraryService() {
    return std::make_unique<PosixLibraryService>();
}

} // namespace platform
