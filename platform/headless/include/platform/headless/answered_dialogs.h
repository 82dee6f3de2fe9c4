// Template dialogs without a display: each dialog is filled by its procedure, recorded,
// and answered from a list of answers, as a user would answer it.
#pragma once

#include "platform/dialog_templates.h"

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class AnsweredDialogs final : public TemplateDialogService {
public:
    explicit AnsweredDialogs(std::vector<DialogAnswer> answers)
        : Answers(answers.begin(), answers.end()) {}

    /// Every dialog shown: its caption and the texts of its controls after it was filled.
    struct ShownDialog {
        std::string Caption;
        std::vector<std::pair<int, std::string>> Texts;
    };
    std::vector<ShownDialog> Shown;
    /// WinHelpA calls as "command file".
    std::vector<std::string> HelpCalls;
    std::size_t LiveFonts() const { return Fonts.size(); }
    std::size_t LiveFrames() const { return Frames.size(); }

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
    std::intptr_t Run(std::span<const std::uint8_t> dialogTemplate, DialogProcedure& procedure);

    std::deque<DialogAnswer> Answers;
    std::string Error;
    std::uintptr_t NextHandle = 0x1000;
    std::set<std::uintptr_t> Fonts;
    std::set<std::uintptr_t> Frames;
};

} // namespace platform
