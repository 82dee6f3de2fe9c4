// Installing ODBC drivers and data sources (opcodes 25 and 26) and DirectX (f30): the
// system's own installers, loaded by name and left out when they are not there.
#pragma once

#include "dll_call_block.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

class Engine;

namespace odbc_flag {
/// Opcode 26: the progress window is closed before the data source is configured.
inline constexpr std::uint8_t CloseProgress = 0x01;
/// The 32-bit installer library ODBCCP32.DLL instead of ODBCINST.DLL (32-bit systems).
inline constexpr std::uint8_t Library32 = 0x02;
/// Opcode 26: a system data source, seen by every user, instead of the user's own.
inline constexpr std::uint8_t SystemDataSource = 0x04;
} // namespace odbc_flag

/// SQLConfigDataSource's requests.
namespace odbc_request {
inline constexpr std::uint16_t AddDataSource = 1;       ///< ODBC_ADD_DSN
inline constexpr std::uint16_t AddSystemDataSource = 4; ///< ODBC_ADD_SYS_DSN
} // namespace odbc_request

/// The attribute list ODBC takes: every 0x7F becomes a zero byte and a second zero
/// ends the list.
std::string OdbcAttributeList(std::string_view text);

/// Registers the handlers of opcodes 25 (install the driver manager, then the driver:
/// strings INF file, driver attributes, variable that receives the driver's directory)
/// and 26 (configure a data source: strings driver name, attributes). Neither runs in
/// test mode; a missing installer library and failed calls change nothing.
void RegisterOdbcActions(Engine& engine);

/// f30: fields library, messages. Runs the library's DirectXSetup (else DirectXSetupA)
/// for the DirectX files in the library's directory, with the main window as parent of
/// its messages when the second field is a number other than 0, else with none. A
/// result below 0, or a library without the entry, logs "DirectX: Could not install,
/// error %d." (-1 when the entry is missing) and is false; a result asking for a restart
/// sets "RESTART" to "S".
std::int32_t f30(Engine& engine, const DllCallBlock& block);

} // namespace vorn
