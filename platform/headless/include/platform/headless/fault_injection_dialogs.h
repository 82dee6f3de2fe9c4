// Template dialogs that fail on purpose at a chosen use, for tests of the engine's
// "Internal Error" paths.
#pragma once

#include "platform/dialog_templates.h"
#include "platform/headless/fault_injection.h"

namespace platform {

enum class DialogCall {
    DialogBoxIndirectParamA,
    RunModelessIndirect,
    CreateWizardFrame,
    CreateFontIndirectA
};

/// Passes every call to `inner` unless the plan fails it: then a dialog returns -1 (and
/// LastError says "injected failure"), a frame or a font 0. The planned error is not used.
class FaultInjectingDialogs final : public TemplateDialogService {
public:
    explicit FaultInjectingDialogs(TemplateDialogService& inner) : Inner(inner) {}

    FaultPlan<DialogCall> Plan;

    std::intptr_t DialogBoxIndirectParamA(std::span<const std::uint8_t> dialogTemplate,
                                          std::uintptr_t owner,
                                          DialogProcedure& procedure) override;
    std::intptr_t RunModelessIndirect(std::span<const std::uint8_t> dialogTemplate,
                                      std::uintptr_t parent, DialogProcedure& procedure) override;
    std::uintptr_t CreateWizardFrame(std::string_view className, std::string_view title, int width,
                                     int height, std::uintptr_t owner,
                                     FrameProcedure& procedure) override;
    bool DestroyWizardFrame(std::uintptr_t frame) override {
        return Inner.DestroyWizardFrame(frame);
    }
    std::uintptr_t CreateFontIndirectA(const LogFontA& font) override;
    bool DeleteObject(std::uintptr_t font) override { return Inner.DeleteObject(font); }
    bool WinHelpA(std::uintptr_t window, std::string_view helpFile, std::uint32_t command,
                  std::uintptr_t data) override {
        return Inner.WinHelpA(window, helpFile, command, data);
    }
    std::string LastError() const override {
        return Injected ? "injected failure" : Inner.LastError();
    }

private:
    bool Fails(DialogCall call) {
        Injected = Plan.Use(call).has_value();
        return Injected;
    }

    TemplateDialogService& Inner;
    bool Injected = false;
};

} // namespace platform
