// The state an install engine run shares.
#include "engine.h"

#include "builtin_functions.h"
#include "execute_program_action.h"
#include "file_installation.h"
#include "odbc_actions.h"
#include "registry_actions.h"
#include "system_information_action.h"

#include <algorithm>

namespace vorn {

Engine::Engine(Script script, EngineServices services)
    : Program(script), Services(services), Builtins(StandardBuiltins()) {
    RegisterFileActions(*this);
    RegisterRegistryIniActions(*this);
    RegisterSystemInformationActions(*this);
    RegisterProgramActions(*this);
    RegisterOdbcActions(*this);
}

Engine::~Engine() = default;

std::string_view Engine::Message(std::size_t index, std::string_view fallback) const {
    return Messages != nullptr ? Messages->Text(index) : fallback;
}

void Engine::KeepLibrary(platform::UniqueLibrary module) {
    // A library loaded again holds one more reference; one kept reference is enough,
    // and `module` drops the other on leaving.
    if (std::none_of(KeptLibraries.begin(), KeptLibraries.end(),
                     [&](const auto& kept) { return kept.Get() == module.Get(); })) {
        KeptLibraries.push_back(std::move(module));
    }
}

} // namespace vorn
