// The execute-program action of a script (opcode 7): start a program, optionally wait
// for it to end. It runs in test mode too.
#pragma once

#include "script.h"

#include <cstdint>

namespace vorn {

class Engine;

/// Flag bits of an execute-program record.
namespace execute_flag {
inline constexpr std::uint8_t Maximized = 0x01;
inline constexpr std::uint8_t Wait = 0x02;
inline constexpr std::uint8_t Minimized = 0x04;
} // namespace execute_flag

/// Puts the program actions into the engine's action table: opcode 7 and the Program
/// Manager opcodes 4, 15 and 16.
void RegisterProgramActions(Engine& engine);

/// Strings: program path, arguments, working directory. A program that cannot be
/// started shows message 5 with its path and aborts the run, except in test mode.
int ExecuteProgramAction(Engine& engine, ActionRecord& record);

} // namespace vorn
