// The Program Manager actions of a script: open the DDE conversation with "PROGMAN"
// (opcode 15), send one command (opcode 4) and end the conversation (opcode 16).
#pragma once

#include "script.h"

#include <string>
#include <string_view>

namespace vorn {

class Engine;

/// Flag bits of a Program Manager command record.
namespace progman_flag {
/// The window-state argument the closing part carries on systems other than Windows 95.
inline constexpr std::uint8_t WindowState = 0x01;
/// Close the command: ")]" on the Windows 95 family, ",%d)]" with the window state else.
inline constexpr std::uint8_t Close = 0x02;
} // namespace progman_flag

/// The log lines for a command Program Manager carried out: "Icon Group: " for each
/// group it created, "Icon Name: " and "Icon Cmd: " for each item it added (an item
/// without a name is named as Program Manager names it, after its program file); empty
/// for other commands and for text that is no command.
std::string ProgramManagerLogText(std::string_view commands);

/// Puts opcodes 4, 15 and 16 into the engine's action table.
void RegisterProgramManagerActions(Engine& engine);

int StartProgramManagerAction(Engine& engine, ActionRecord& record);
int ProgramManagerCommandAction(Engine& engine, ActionRecord& record);
int EndProgramManagerAction(Engine& engine, ActionRecord& record);

} // namespace vorn
