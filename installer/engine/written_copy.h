// The copy an installation is extracting, counted and checksummed as the setup program's
// decompressor writes it through the engine's FileWrite, so that it need not be read back
// to be checked.
#pragma once

#include "install_context.h"
#include "platform/files.h"

#include <cstdint>

namespace vorn {

struct WrittenCopy {
    platform::FileHandle File = platform::InvalidFileHandle;
    ChecksumFunction Checksum = nullptr;
    std::uint32_t Value = 0;
    std::uint64_t Size = 0;

    WrittenCopy(platform::FileHandle file, ChecksumFunction checksum)
        : File(file), Checksum(checksum), Value(checksum != nullptr ? checksum(nullptr, 0) : 0) {}

    /// Takes note of `count` bytes written to `file`.
    void Note(std::uintptr_t file, const void* data, std::uint32_t count) {
        if (static_cast<platform::FileHandle>(file) == File && count != 0 && Checksum != nullptr) {
            Value = Checksum(static_cast<const std::uint8_t*>(data), count);
            Size += count;
        }
    }
};

/// The copy being extracted; null outside an extraction.
inline WrittenCopy* ExtractingCopy = nullptr;

/// Makes a copy the one being extracted for its lifetime.
class ExtractingCopyScope {
public:
    explicit ExtractingCopyScope(WrittenCopy& copy) { ExtractingCopy = &copy; }
    ~ExtractingCopyScope() { ExtractingCopy = nullptr; }
    ExtractingCopyScope(const ExtractingCopyScope&) = delete;
    ExtractingCopyScope& operator=(const ExtractingCopyScope&) = delete;
};

} // namespace vorn
