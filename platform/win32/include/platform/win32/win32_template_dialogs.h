// Dialogs from in-memory templates on Windows: a pass-through to USER32's
// DialogBoxIndirectParamA and CreateDialogIndirectParamA.
#pragma once

#include "platform/dialog_templates.h"

namespace platform {

class Win32TemplateDialogs final : public TemplateDialogService {
public:
    std::intptr_t DialogBoxIndirectParamA(std::span<const std::uint8_t> dialogTemplate,
                                          std::uintptr_t owner,
                                          DialogProcedure& procedure) override;
    std::intptr_t RunModelessIndirect(std::span<const std::uint8_t> dialogTemplate,
                                      std::uintptr_t parent, DialogProcedure& procedure) override;
    std::uintptr_t CreateWizardFrame(std::string_view className, std::string_view title, int width,
                                     int height, std::uintptr_t owner,
                                     FrameProcedure& procedure) override;
    bool DestroyWizardFrame(std::uintptr_t frame) override;
    std::uintptr_t CreateFontIndirectA(const LogFontA& font) override;
    bool DeleteObject(std::uintptr_t font) override;
    bool WinHelpA(std::uintptr_t window, std::string_view helpFile, std::uint32_t command,
                  std::uintptr_t data) override;
    std::string LastError() const override { return Error; }

private:
    /// The template checked and copied to 32-bit aligned memory; empty with Error set when
    /// it is broken.
    std::vector<std::uint32_t> Checked(std::span<const std::uint8_t> dialogTemplate);

    std::string Error;
};

} // namespace platform
