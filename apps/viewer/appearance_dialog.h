// The Appearance property page as a GTK dialog, which the viewer's Settings button opens.
#pragma once

#include "control/interface/dxf_control.h"
#include "platform/message_box.h"
#include "platform/user_settings.h"

#include <gtk/gtk.h>

namespace plandra::viewer {

/// Shows the page for `control` until the user closes it: Apply and OK write the page to
/// the control (OK then closes), Cancel and the close box leave the control as it was
/// since the last Apply. True when anything was applied.
bool RunAppearanceDialog(GtkWindow* parent, DXF& control, platform::UserSettingsService& settings,
                         platform::MessageBoxService& messageBox);

} // namespace plandra::viewer
