// The state an install engine run shares.
#include "engine.h"

#include "builtin_functions.h"

#include <algorithm>

namespace vorn {

Engine::Engine(Script script, EngineServices services)
    : Program(script), Services(services), Builtins(StandardBuiltins()) {}

Engine::~Engine() {
    for (platform::ModuleHandle module : KeptLibraries) {
        Services.Libraries.FreeLibrary(module);
    }
}

std::string_view Engine::Message(std::size_t index, std::string_view fallback) const {
    return Messages != nullptr ? Messages->Text(index) : fallback;
}

void Engine::KeepLibrary(platform::ModuleHandle module) {
    // A library loaded again holds one more reference; one kept reference is enough.
    if (std::find(KeptLibraries.begin(), KeptLibraries.end(), module) != KeptLibraries.end()) {
        Services.Libraries.FreeLibrary(module);
        return;
    }
    KeptLibraries.push_back(module);
}

} // namespace vorn
