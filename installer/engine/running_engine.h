// The engine of the installation in progress, for the exports that the setup program
// and support libraries call without naming a run.
#pragma once

namespace vorn {

class Engine;

/// Null outside a run.
inline Engine* RunningEngine = nullptr;

/// Makes an engine the running one for its lifetime.
class RunningEngineScope {
public:
    explicit RunningEngineScope(Engine& engine) { RunningEngine = &engine; }
    ~RunningEngineScope() { RunningEngine = nullptr; }
    RunningEngineScope(const RunningEngineScope&) = delete;
    RunningEngineScope& operator=(const RunningEngineScope&) = delete;
};

} // namespace vorn
