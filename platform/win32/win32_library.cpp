// Libraries loaded at run time on Windows: a pass-through to the Win32 loader.
#include "platform/win32/win32_library.h"

#include "win32_api.h"

#include <string>

namespace platform {

namespace {

HMODULE Native(ModuleHandle module) {
    return reinterpret_cast<HMODULE>(module);
}
ModuleHandle Wrapped(HMODULE module) {
    return reinterpret_cast<ModuleHandle>(module);
}

} // namespace

ModuleHandle Win32LibraryService::LoadLibraryA(std::string_view fileName) {
    std::string fileNameZ(fileName);
    return Wrapped(::LoadLibraryA(fileNameZ.c_str()));
}

ModuleHandle Win32LibraryService::LoadLibraryExA(std::string_view fileName, unsigned flags) {
    std::string fileNameZ(fileName);
    return Wrapped(::LoadLibraryExA(fileNameZ.c_str(), nullptr, flags));
}

ProcAddress Win32LibraryService::GetProcAddress(ModuleHandle module, std::string_view procName) {
    if (module == nullptr) {
        return nullptr;
    }
    std::string procNameZ(procName);
    // ProcAddress is void (*)(), the one function type compilers let any entry
    // convert to and back without a cast warning; CallEntry restores the real type.
    return reinterpret_cast<ProcAddress>(::GetProcAddress(Native(module), procNameZ.c_str()));
}

bool Win32LibraryService::FreeLibrary(ModuleHandle module) {
    return module != nullptr && ::FreeLibrary(Native(module)) != FALSE;
}

ModuleHandle Win32LibraryService::GetModuleHandleA(std::string_view moduleName) {
    std::string moduleNameZ(moduleName);
    return Wrapped(::GetModuleHandleA(moduleNameZ.c_str()));
}

std::int32_t Win32LibraryService::CallEntry(ProcAddress entry, void* argument) {
    using Entry = INT(WINAPI*)(void*);
    return reinterpret_cast<Entry>(entry)(argument);
}

std::int32_t Win32LibraryService::CallEntryWithoutArguments(ProcAddress entry) {
    using Entry = INT(WINAPI*)();
    return reinterpret_cast<Entry>(entry)();
}

std::int32_t
Win32LibraryService::CallEntryWithArguments(ProcAddress entry,
                                            std::span<const std::uintptr_t> arguments) {
    using A = std::uintptr_t;
    const A* a = arguments.data();
    switch (arguments.size()) {
    case 0:
        return CallEntryWithoutArguments(entry);
    case 1:
        return reinterpret_cast<INT(WINAPI*)(A)>(entry)(a[0]);
    case 2:
        return reinterpret_cast<INT(WINAPI*)(A, A)>(entry)(a[0], a[1]);
    case 3:
        return reinterpret_cast<INT(WINAPI*)(A, A, A)>(entry)(a[0], a[1], a[2]);
    case 4:
        return reinterpret_cast<INT(WINAPI*)(A, A, A, A)>(entry)(a[0], a[1], a[2], a[3]);
    case 5:
        return reinterpret_cast<INT(WINAPI*)(A, A, A, A, A)>(entry)(a[0], a[1], a[2], a[3], a[4]);
    default:
        return -1;
    }
}

std::unique_ptr<LibraryService> MakeSystemLibraryService() {
    return std::make_unique<Win32LibraryService>();
}

} // namespace platform
