// The registry as the script changes it: reading a value as text, writing one from the
// script's text (opcode 10), deleting values and whole keys, and the log record that lets
// the uninstaller put the old value back.
#pragma once

#include "script.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vorn {

class Engine;

/// Value types as the script numbers them.
namespace reg_type {
inline constexpr int String = 0;
inline constexpr int ExpandString = 1;
inline constexpr int MultiString = 2;
inline constexpr int Number = 3;
inline constexpr int Binary = 4;
} // namespace reg_type

/// Reads a value of `key` below root number `root` (0 to 4). `data` receives its text
/// form: a number as "%lu", binary data (and any type the script cannot name) as two
/// hexadecimal digits per byte, a multi-string as its strings each ended by a zero byte
/// (the list's own end left out), any other string as it is. `typeDigit` receives the
/// type's index as a digit ('4' for the types the script cannot name) and `rawNumber`,
/// when given, a number's value. Values larger than `size` bytes are not read. False
/// (both outputs untouched) when there is no such value or it cannot be read.
bool RegistryRead(Engine& engine, int root, std::string_view key, std::string& data,
                  std::string_view valueName, char& typeDigit, std::size_t size,
                  std::uint32_t* rawNumber = nullptr);

/// Creates `key` below root number `root` as needed and sets the value to `data` (its
/// bytes as the registry stores them) with the type of index `typeIndex`. With
/// `reportErrors` a failure shows message 44. True when the value was written.
bool RegistryWrite(Engine& engine, int root, std::string_view key, std::string_view valueName,
                   int typeIndex, std::span<const char> data, bool reportErrors);

/// The bytes the registry stores for a script's text of type `typeIndex`: a number from
/// decimal text, a multi-string from strings separated by 0x7F, binary data from pairs of
/// hexadecimal digits (other characters skipped), any other text with its ending zero.
std::string RegistryBytes(int typeIndex, std::string_view text);

/// A text as one line of the installation log: a carriage return or line feed inside it
/// would end the line early and let the rest pass for a record of its own (a "File
/// Copy:" the uninstaller would delete), so each becomes a blank.
std::string LogLineText(std::string_view text);

/// Opcode 10. Skipped in test mode and without a machine.
int EditRegistryAction(Engine& engine, ActionRecord& record);

/// Puts the registry and INI actions (opcodes 10 and 5) into the engine's action table.
void RegisterRegistryIniActions(Engine& engine);

} // namespace vorn
