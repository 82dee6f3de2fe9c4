// Dialogs from in-memory templates on Windows: a pass-through to USER32's
// DialogBoxIndirectParamA and CreateDialogIndirectParamA.
#pragma once

#include "platform/dialog_templates.h"

#include <map>
#include <vector>

namespace platform {

/// A wizard frame's picture: a packed bitmap drawn in a band at the frame's left edge.
struct WizardPicture {
    std::vector<std::uint8_t> Bitmap;
    std::size_t BitsOffset = 0;
    int Band = 0;
};

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
    bool SetWizardPicture(std::uintptr_t frame, std::span<const std::uint8_t> packedBitmap,
                          std::size_t bitsOffset, int band) override;
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
    /// The pictures of the frames that show one, by frame.
    std::map<std::uintptr_t, WizardPicture> Pictures;
};

} // namespace platform
