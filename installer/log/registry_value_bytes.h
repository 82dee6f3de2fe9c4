// Registry values between their text form, as the script gives them and the log keeps
// them, and the bytes the registry stores: the engine writes new values this way and the
// uninstaller puts old ones back this way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

/// The registry type of a type number: 1 expandable string, 2 multi-string, 3 32-bit
/// number, 4 binary data, any other a string.
std::uint32_t RegistryValueType(int typeNumber);

/// The bytes of a value of that type number from its text: a number read from decimal
/// digits (blanks around the text skipped), binary data from pairs of hexadecimal digits
/// (other characters skipped), a multi-string from `strings`, each ended by a zero and
/// the list by a second one; any other type the first string with its ending zero.
std::string RegistryValueBytes(int typeNumber, const std::vector<std::string>& strings);

} // namespace vorn
