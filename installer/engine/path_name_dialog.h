// The path dialog (template 1539, `PathNameDlg`): a title, a label, a prompt and the path
// to confirm or change.
#pragma once

#include "platform/dialog_template.h"

#include <array>
#include <optional>
#include <string>

namespace vorn {

class Engine;

namespace path_dialog {
inline constexpr int Number = 1539;
inline constexpr int Path = 1000;
inline constexpr int Prompt = 1001;
inline constexpr int Label = 1002;
/// The path control of a dialog without a prompt.
inline constexpr int AlternativePath = 1004;
} // namespace path_dialog

struct PathRequest {
    std::string Title;
    std::string Label;
    std::string Prompt;
    std::string Path;
};

/// Template 1539 for the request: OK and Cancel captioned with messages 27 and 28.
platform::DialogTemplate PathDialogTemplate(const Engine& engine, const PathRequest& request);

struct PathAnswer {
    /// The accepted path; nullopt when the user cancelled (and confirmed it).
    std::optional<std::string> Path;
    /// Why the dialog could not be shown; empty when it was.
    std::string Error;
};

/// Shows the path dialog. OK with an empty path is ignored; Cancel asks the confirm-exit
/// question first.
PathAnswer PathNameDlg(Engine& engine, const PathRequest& request);

/// The predefined directories manual mode confirms, in order: Windows, System, System32,
/// Temp, Source.
using PredefinedDirectories = std::array<std::string, 5>;

/// Manual mode: shows each directory in the path dialog (prompt message 8 + label +
/// message 9, caption message 10) and keeps the accepted paths. False when the user
/// cancelled or a dialog could not be shown (then reported).
bool ConfirmPredefinedDirectories(Engine& engine, PredefinedDirectories& directories);

} // namespace vorn
