// Libraries without a loader: in-process fakes that tests register by file name.
#pragma once

#include "platform/library.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace platform {

class HeadlessLibraryService final : public LibraryService {
public:
    /// An export of a fake library: a plain function taking the caller's pointer.
    using Entry = std::int32_t (*)(void* argument);

    /// Makes `fileName` loadable (exact name) with the given exports.
    void AddLibrary(std::string fileName, std::map<std::string, Entry> exports);

    ModuleHandle LoadLibraryA(std::string_view fileName) override;
    ModuleHandle LoadLibraryExA(std::string_view fileName, unsigned flags) override;
    ProcAddress GetProcAddress(ModuleHandle module, std::string_view procName) override;
    bool FreeLibrary(ModuleHandle module) override;
    std::int32_t CallEntry(ProcAddress entry, void* argument) override;

    /// References held on a library, as the loader counts them.
    int References(std::string_view fileName) const;

    /// When set, LoadLibraryExA fails, so callers fall back to LoadLibraryA.
    bool FailLoadLibraryEx = false;
    /// Every load attempt, in order: "A:" or "Ex:" followed by the file name.
    std::vector<std::string> Loads;

private:
    struct Library {
        std::string FileName;
        std::map<std::string, Entry, std::less<>> Exports;
        int References = 0;
    };
    Library* Find(ModuleHandle module);
    ModuleHandle Load(std::string_view fileName);

    std::vector<Library> Libraries;
};

} // namespace platform
