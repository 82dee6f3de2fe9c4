// The user's settings on Linux: INI files under the user's configuration folder.
#include "platform/headless/ini_user_settings.h"

#include <cstdlib>

namespace platform {

std::unique_ptr<UserSettingsService> CurrentUserSettings() {
    return std::make_unique<IniUserSettings>(
        UserConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}

} // namespace platform
