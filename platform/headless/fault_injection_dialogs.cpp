// Template dialogs that fail on purpose.
#include "platform/headless/fault_injection_dialogs.h"

namespace platform {

std::intptr_t
FaultInjectingDialogs::DialogBoxIndirectParamA(std::span<const std::uint8_t> dialogTemplate,
                                               std::uintptr_t owner, DialogProcedure& procedure) {
    return Fails(DialogCall::DialogBoxIndirectParamA)
               ? -1
               : Inner.DialogBoxIndirectParamA(dialogTemplate, owner, procedure);
}

std::intptr_t
FaultInjectingDialogs::RunModelessIndirect(std::span<const std::uint8_t> dialogTemplate,
                                           std::uintptr_t parent, DialogProcedure& procedure) {
    return Fails(DialogCall::RunModelessIndirect)
               ? -1
               : Inner.RunModelessIndirect(dialogTemplate, parent, procedure);
}

std::uintptr_t FaultInjectingDialogs::CreateWizardFrame(std::string_view className,
                                                        std::string_view title, int width,
                                                        int height, std::uintptr_t owner,
                                                        FrameProcedure& procedure) {
    return Fails(DialogCall::CreateWizardFrame)
               ? 0
               : Inner.CreateWizardFrame(className, title, width, height, owner, procedure);
}

std::uintptr_t FaultInjectingDialogs::CreateFontIndirectA(const LogFontA& font) {
    return Fails(DialogCall::CreateFontIndirectA) ? 0 : Inner.CreateFontIndirectA(font);
}

} // namespace platform
