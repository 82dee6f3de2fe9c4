// The install engine's message box as a dialog of its own (template 114): its text in the
// script's dialog font, measured and laid out by the engine, its buttons and its icon.
#pragma once

#include "platform/gdi.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

/// Dialog template of the box in the engine library's resources, and its controls: the
/// text and the buttons for the first answer, the second answer and Cancel.
inline constexpr int BoxDialogTemplate = 114;
namespace box_control {
inline constexpr int Text = 1005;
inline constexpr std::array<int, 3> Buttons{1, 3, 2};
} // namespace box_control

/// The template's parts in client pixels, as the dialog has them before it is laid out.
struct BoxDialogParts {
    Size Dialog;
    Rect Text;
    Rect Button;
};

/// Where the parts go once the text has been measured: the dialog's client size, the
/// text, the visible buttons left to right, and the icon.
struct BoxDialogPlacement {
    Size Dialog;
    Rect Text;
    std::vector<Rect> Buttons;
    Point Icon;
};

struct BoxDialogRequest {
    std::uintptr_t Owner = 0;
    std::string Title;
    std::string Text;
    /// Captions of buttons 1, 3 and 2; an empty caption hides its button.
    std::array<std::string, 3> Captions;
    /// The MessageBoxA icon value (mb::IconInformation ...), 0 for none.
    unsigned Icon = 0;
    /// The text's font: face name, character set, point size and weight.
    std::string FaceName;
    std::uint8_t CharSet = 0;
    int PointSize = 0;
    int Weight = 0;
};

/// Offered by the install display of a machine that can show windows.
class BoxDialogService {
public:
    virtual ~BoxDialogService() = default;
    /// Shows the box modally: the text is measured with the request's font (word break,
    /// calculate rectangle, within the template's text width), `layOut` places the parts
    /// for `buttons` visible buttons. Returns the number of the button that closed it (1,
    /// 3 or 2; 2 also for the close box), or -1 when the box cannot be shown.
    virtual int
    ShowBoxDialog(const BoxDialogRequest& request,
                  const std::function<BoxDialogPlacement(const BoxDialogParts& parts, Size measured,
                                                         int buttons, bool icon)>& layOut) = 0;
};

} // namespace platform
