// The run's main loop.
#include "main_loop.h"

#include "script_interpreter.h"

namespace vorn {

int RunMainLoop(Engine& engine, InstallContext& context) {
    int result = run::Continue;
    bool sectionEntered = false;
    bool cancelled = false;
    auto jumpTo = [&](std::uint32_t offset) {
        sectionEntered = true;
        engine.Loops.Clear();
        engine.Program.Position = offset;
    };
    while (!engine.Services.Host.RunStopped() && result == run::Continue) {
        result = RunActions(engine);
        if (sectionEntered) {
            continue;
        }
        if (result == run::Finished && context.FinishOffset != 0) {
            jumpTo(context.FinishOffset);
            result = run::Continue;
        } else if (result == run::Aborted && context.CancelOffset != 0) {
            cancelled = true;
            context.AbortFlag = 0;
            context.ErrorCode = context_error::None;
            jumpTo(context.CancelOffset);
            result = run::Continue;
        }
    }
    return cancelled ? run::Aborted : result;
}

} // namespace vorn
