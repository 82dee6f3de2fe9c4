// The system requirement tests of the built-in function f12 and the administrator
// check they share with the rest of the engine.
#pragma once

#include "engine.h"

#include <cstdint>

namespace vorn {

/// True on systems other than Windows NT; on Windows NT true only when the library
/// "%TEMP%\%W32INST_PATH_%" loads and its entry "IsAdmin" answers non-zero.
bool IsAdmin(Engine& engine);

/// Whether requirement `test` (the low five bits of f12's requirement number) holds on
/// the engine's machine.
bool RequirementHolds(Engine& engine, unsigned test);

/// f12: fields requirement, message text, title. The requirement number's bit 5 (32)
/// keeps the test's sense, without it the test is negated. Returns 1 when the result
/// holds, else 0; when it holds and the text is not empty the text is shown under the
/// title (OK only).
std::int32_t f12(Engine& engine, const DllCallBlock& block);

} // namespace vorn
