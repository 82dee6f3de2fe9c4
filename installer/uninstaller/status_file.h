// The status (MIF) file the uninstaller leaves in the Windows folder for software
// distribution tools: what was removed, when, and whether it succeeded.
#pragma once

#include "item_lists.h"
#include "removal_engine.h"
#include "string_table.h"
#include "uninstall_services.h"

#include <string>

namespace rescind {

/// The file's text: the template with %1% to %8% replaced.
std::string StatusFileText(const ItemLists& lists, const RemovalReport& report,
                           const StringTable& strings, std::string_view dateTime);

/// Writes the file when the log names one ("Uninstall MIF: "), as a plain name in the
/// Windows folder; a name with a folder or a device name in it is not written.
bool WriteStatusFile(const ItemLists& lists, const RemovalReport& report,
                     const UninstallServices& services, const StringTable& strings,
                     std::string_view dateTime);

} // namespace rescind
