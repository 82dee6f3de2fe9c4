// Libraries loaded at run time on Linux: dlopen, dlsym and dlclose.
#pragma once

#include "platform/library.h"

namespace platform {

class PosixLibraryService final : public LibraryService {
public:
    ModuleHandle LoadLibraryA(std::string_view fileName) override;
    /// The flags have no Linux meaning: the dynamic loader's own rules find dependencies.
    ModuleHandle LoadLibraryExA(std::string_view fileName, unsigned flags) override;
    ProcAddress GetProcAddress(ModuleHandle module, std::string_view procName) override;
    bool FreeLibrary(ModuleHandle module) override;
    std::int32_t CallEntry(ProcAddress entry, void* argument) override;
};

} // namespace platform
