// Libraries without a loader.
#include "platform/headless/headless_library.h"

namespace platform {

namespace {

// Handles are the library's index + 1, so that null stays "not loaded".
ModuleHandle HandleOf(std::size_t index) {
    return reinterpret_cast<ModuleHandle>(static_cast<std::uintptr_t>(index + 1));
}

} // namespace

void HeadlessLibraryService::AddLibrary(std::string fileName,
                                        std::map<std::string, Entry> exports) {
    Library library{std::move(fileName), {}, 0};
    for (auto& [name, entry] : exports) {
        library.Exports.emplace(name, entry);
    }
    Libraries.push_back(std::move(library));
}

ModuleHandle HeadlessLibraryService::Load(std::string_view fileName) {
    for (std::size_t i = 0; i < Libraries.size(); ++i) {
        if (Libraries[i].FileName == fileName) {
            ++Libraries[i].References;
            return HandleOf(i);
        }
    }
    return nullptr;
}

ModuleHandle HeadlessLibraryService::LoadLibraryA(std::string_view fileName) {
    Loads.push_back("A:" + std::string(fileName));
    return Load(fileName);
}

ModuleHandle HeadlessLibraryService::LoadLibraryExA(std::string_view fileName, unsigned) {
    Loads.push_back("Ex:" + std::string(fileName));
    return FailLoadLibraryEx ? nullptr : Load(fileName);
}

HeadlessLibraryService::Library* HeadlessLibraryService::Find(ModuleHandle module) {
    auto index = reinterpret_cast<std::uintptr_t>(module);
    if (index == 0 || index > Libraries.size() || Libraries[index - 1].References == 0) {
        return nullptr;
    }
    return &Libraries[index - 1];
}

ProcAddress HeadlessLibraryService::GetProcAddress(ModuleHandle module, std::string_view procName) {
    Library* library = Find(module);
    if (library == nullptr) {
        return nullptr;
    }
    auto found = library->Exports.find(procName);
    return found == library->Exports.end() ? nullptr : reinterpret_cast<ProcAddress>(found->second);
}

bool HeadlessLibraryService::FreeLibrary(ModuleHandle module) {
    Library* library = Find(module);
    if (library == nullptr) {
        return false;
    }
    --library->References;
    return true;
}

std::int32_t HeadlessLibraryService::CallEntry(ProcAddress entry, void* argument) {
    return reinterpret_cast<Entry>(entry)(argument);
}

int HeadlessLibraryService::References(std::string_view fileName) const {
    for (const Library& library : Libraries) {
        if (library.FileName == fileName) {
            return library.References;
        }
    }
    return 0;
}

} // namespace platform
