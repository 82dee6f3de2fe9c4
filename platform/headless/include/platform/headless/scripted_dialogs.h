// Dialogs without a display: each shown form is recorded and answered from a script.
#pragma once

#include "platform/dialogs.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class ScriptedDialogs final : public DialogService {
public:
    /// What a form showed, taken after its Load and before the first answer.
    struct Shown {
        std::string Name;
        std::string Caption;
        std::vector<std::pair<std::string, std::string>> Labels;
    };

    /// Clicks the scripted buttons in turn until the form unloads; when the script runs
    /// out first, the form is closed as by its close box.
    void ShowModal(ModalForm& form) override;

    /// Button names to press, oldest first, shared by all forms shown.
    std::deque<std::string> Answers;
    std::vector<Shown> Forms;
};

} // namespace platform
