// Libraries loaded at run time on Windows: a pass-through to the Win32 loader.
#pragma once

#include "platform/library.h"

namespace platform {

class Win32LibraryService final : public LibraryService {
public:
    ModuleHandle LoadLibraryA(std::string_view fileName) override;
    ModuleHandle LoadLibraryExA(std::string_view fileName, unsigned flags) override;
    ProcAddress GetProcAddress(ModuleHandle module, std::string_view procName) override;
    bool FreeLibrary(ModuleHandle module) override;
    ModuleHandle GetModuleHandleA(std::string_view moduleName) override;
    /// Calls the entry as WINAPI (stdcall on 32-bit Windows).
    std::int32_t CallEntry(ProcAddress entry, void* argument) override;
    std::int32_t CallEntryWithoutArguments(ProcAddress entry) override;
    std::int32_t CallEntryWithArguments(ProcAddress entry,
                                        std::span<const std::uintptr_t> arguments) override;
};

} // namespace platform
