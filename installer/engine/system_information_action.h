// Opcode 21: reads one fact about the machine (the date, versions, memory, a file's
// stamp, version and size, the registered owner, drives, volumes and the network) into a
// variable.
#pragma once

#include "script.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

class Engine;

/// The facts by the record's flag byte; 11 and the numbers above 18 name none.
namespace system_item {
inline constexpr std::uint8_t DateTime = 0;
inline constexpr std::uint8_t WindowsVersion = 1;
inline constexpr std::uint8_t DosVersion = 2;
inline constexpr std::uint8_t MemoryKilobytes = 3;
inline constexpr std::uint8_t FileDateTime = 4;
inline constexpr std::uint8_t FileVersion = 5;
inline constexpr std::uint8_t RegisteredOwner = 6;
inline constexpr std::uint8_t RegisteredOrganization = 7;
inline constexpr std::uint8_t DriveType = 8;
inline constexpr std::uint8_t FirstNetworkDrive = 9;
inline constexpr std::uint8_t FirstCdromDrive = 10;
inline constexpr std::uint8_t NetworkPath = 12;
inline constexpr std::uint8_t SetupProgram = 13;
inline constexpr std::uint8_t FileSize = 14;
inline constexpr std::uint8_t VolumeSerial = 15;
inline constexpr std::uint8_t VolumeLabel = 16;
inline constexpr std::uint8_t NetworkUser = 17;
inline constexpr std::uint8_t ServicePack = 18;
} // namespace system_item

/// The text of fact `item` for `parameter` (a path or a drive letter, expanded); empty
/// for the items that name none and for facts the machine cannot give.
std::string SystemInformation(Engine& engine, std::uint8_t item, std::string_view parameter);

/// Puts the action into the engine's action table.
void RegisterSystemInformationActions(Engine& engine);

} // namespace vorn
