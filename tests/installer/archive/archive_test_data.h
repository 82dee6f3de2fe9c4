// Small setup archives for the archive tests.
#pragma once

#include "installer/archive/setup_archive.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace archive_test {

inline std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

/// A script whose header has the fields up to the first-disk offset, then `records`.
inline std::vector<std::uint8_t> Script(const std::string& records = "records") {
    std::string script(17, '\0');
    script += std::string("\0LIB\0C:\\INSTALL.LOG\0MS Sans Serif\0", 34);
    script += std::string("\x08\x00\0\0\0\0\x01", 7);
    return Bytes(script + records);
}

/// Contents that deflate poorly, so that they span several small disks.
inline std::vector<std::uint8_t> Noise(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::uint8_t& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    return bytes;
}

inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Files() {
    return {{"readme.txt", Bytes("Read me first.\r\n")}, {"plandra.ocx", Noise(5000, 7)}};
}

} // namespace archive_test
