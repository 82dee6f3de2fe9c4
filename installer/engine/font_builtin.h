// f10: makes an installed font usable and registers it, logging the registration so that
// the uninstaller takes it back.
#pragma once

#include "engine.h"

#include <cstdint>

namespace vorn {

/// Fields: font file (a name in the fonts folder: the Windows folder's "Fonts" on
/// version-4 systems, else the system folder), font name. Before version 4 a ".TTF"
/// file gets a ".FOT" resource file beside it (logged as a copied file), and that is
/// what is loaded and registered. The name goes to the registry's font list on version-4
/// systems, else to WIN.INI [Fonts], logged as the registry value or INI entry it
/// changed; every window then hears WM_FONTCHANGE. False when the font cannot be loaded
/// or registered; skipped (true) in test mode.
std::int32_t f10(Engine& engine, const DllCallBlock& block);

} // namespace vorn
