// Dialogs without a display: each shown form is recorded and answered from a script.
#include "platform/headless/scripted_dialogs.h"

namespace platform {

void ScriptedDialogs::ShowModal(ModalForm& form) {
    form.Load();
    Forms.push_back({std::string(form.Name()), std::string(form.Caption()), form.Labels()});
    while (!form.Unloaded()) {
        if (Answers.empty()) {
            form.Close();
            return;
        }
        const std::string button = Answers.front();
        Answers.pop_front();
        form.Click(button);
    }
}

} // namespace platform
