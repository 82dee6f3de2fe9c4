// The language dialog (template 107, `LanguageDlg`): the script's languages in a list,
// closed at once when the user's own language is among them.
#pragma once

#include "platform/dialog_template.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

class Engine;

/// Controls of the language dialog.
namespace language_dialog {
inline constexpr int Number = 107;
inline constexpr int Prompt = 1001;
inline constexpr int Languages = 1004;
} // namespace language_dialog

struct LanguageRequest {
    std::string Title;
    std::string Prompt;
    std::vector<std::string> Names;
    /// The language whose system name is the user's, selected when the dialog opens.
    std::optional<std::size_t> UserLanguage;
    /// Close at once with OK when the user's language is there (not in test mode, not
    /// with context option bit 20).
    bool CloseOnUserLanguage = true;
};

/// Template 107: prompt 1001, list 1004, OK and Cancel.
platform::DialogTemplate LanguageDialogTemplate(const LanguageRequest& request);

struct LanguageChoice {
    /// The chosen index; nullopt when the dialog did not end with OK.
    std::optional<std::size_t> Index;
    /// Why the dialog could not be shown; empty when it was.
    std::string Error;
};

/// Shows the language dialog with the engine's dialog service.
LanguageChoice LanguageDlg(Engine& engine, const LanguageRequest& request);

} // namespace vorn
