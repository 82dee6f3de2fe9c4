// Edits of INI files as the script makes them (opcode 5): keys set or removed, whole
// sections removed, each change logged with the value the uninstaller puts back.
#pragma once

#include "script.h"

#include <string>
#include <string_view>

namespace vorn {

class Engine;

/// An old value as the log keeps it, so that writing it back reads the same: reading a
/// key drops the quotes around its value and the blanks at its ends, so a value that
/// begins or ends with a blank, or that is itself quoted, is put in quotes.
std::string RestorableIniValue(std::string_view value);

/// Opcode 5. Skipped in test mode and without a machine.
int EditIniAction(Engine& engine, ActionRecord& record);

} // namespace vorn
