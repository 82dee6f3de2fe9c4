// The built-ins that read a value of the machine into a variable: an INI value (f8), a
// registry value (f9), the system folder (f11) and an environment variable (f17).
#pragma once

#include "engine.h"

#include <cstdint>

namespace vorn {

/// Fields: flag, variable, INI file, section, key, default. The variable gets the value,
/// or the default when the key has none; a flag other than "0" cuts it to its folder.
/// True when the key had a value.
std::int32_t f8(Engine& engine, const DllCallBlock& block);
/// Fields: root * 2 + flag, variable, key, default, value name. The variable gets the
/// value's text form (a multi-string's strings separated by 0x7F, as the script writes
/// them), or the default; flag bit 0 cuts it to its folder. True when the value was read.
std::int32_t f9(Engine& engine, const DllCallBlock& block);
/// Field: variable. The variable gets the system folder.
std::int32_t f11(Engine& engine, const DllCallBlock& block);
/// Fields: flag, variable, environment name, default. The variable gets the value (255
/// characters at most), or the default; a flag other than "0" cuts it to its folder.
/// True when the variable exists.
std::int32_t f17(Engine& engine, const DllCallBlock& block);

} // namespace vorn
