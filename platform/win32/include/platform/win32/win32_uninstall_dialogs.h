// The uninstaller's windows on Windows: the background window and the dialogs of the
// program's templates.
#pragma once

#include "platform/uninstall_dialogs.h"

#include <memory>

namespace platform {

class Win32UninstallDialogs final : public UninstallDialogService {
public:
    Win32UninstallDialogs();
    ~Win32UninstallDialogs() override;

    void ShowBackground(std::string_view title, std::span<const ColorRef> bands) override;
    std::unique_ptr<ModelessDialog> CreateWizard(std::string_view title, const UninstallLook& look,
                                                 DialogHandler& handler) override;
    int DialogBoxParamA(int templateId, std::string_view title, DialogHandler& handler) override;
    void EndDialog(DialogControls& dialog, int result) override;
    bool PumpMessages(bool wait) override;
    int MessageBoxA(std::string_view text, std::string_view caption, unsigned type) override;
    std::string GetOpenFileNameA(std::string_view description, std::string_view pattern,
                                 std::string_view fileName) override;

    struct State;

private:
    std::unique_ptr<State> Shown;
};

} // namespace platform
