// Registry values between their text form and the bytes the registry stores.
#include "registry_value_bytes.h"

#include "platform/ansi_text.h"
#include "platform/registry.h"

namespace vorn {

std::uint32_t RegistryValueType(int typeNumber) {
    switch (typeNumber) {
    case 1:
        return platform::reg::ExpandSz;
    case 2:
        return platform::reg::MultiSz;
    case 3:
        return platform::reg::Dword;
    case 4:
        return platform::reg::Binary;
    default:
        return platform::reg::Sz;
    }
}

std::string RegistryValueBytes(int typeNumber, const std::vector<std::string>& strings) {
    const std::string first = strings.empty() ? std::string() : strings.front();
    switch (RegistryValueType(typeNumber)) {
    case platform::reg::MultiSz: {
        std::string joined;
        for (const std::string& each : strings) {
            joined += each;
            joined += '\0';
        }
        return joined + '\0';
    }
    case platform::reg::Dword: {
        std::uint32_t number = 0;
        for (char c : platform::TrimBlanks(first)) {
            if (c < '0' || c > '9') {
                break;
            }
            number = number * 10 + static_cast<std::uint32_t>(c - '0');
        }
        std::string bytes(4, '\0');
        for (std::size_t byte = 0; byte < 4; ++byte) {
            bytes[byte] = static_cast<char>((number >> (8 * byte)) & 0xFF);
        }
        return bytes;
    }
    case platform::reg::Binary: {
        std::string bytes;
        int high = -1;
        for (char c : first) {
            const int digit = platform::HexDigitValue(c);
            if (digit < 0) {
                continue;
            }
            if (high < 0) {
                high = digit;
            } else {
                bytes += static_cast<char>(high * 16 + digit);
                high = -1;
            }
        }
        return bytes;
    }
    default:
        return first + '\0';
    }
}

} // namespace vorn
