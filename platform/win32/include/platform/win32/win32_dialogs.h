// Modal forms on the Windows desktop: each shown as a real window with its labels and
// buttons, until it unloads.
#pragma once

#include "platform/dialogs.h"

namespace platform {

/// Builds a plain window for the form: its labels one under the other, its buttons in
/// a row beneath them (the first one is the default, pressed by Enter), the whole
/// centred on the screen and owned by the thread's active window, which is disabled
/// while the form shows. Escape and the close box call Close. The form's labels are
/// read again after every click, so a click may change what they say.
class Win32Dialogs final : public DialogService {
public:
    void ShowModal(ModalForm& form) override;
};

} // namespace platform
