// An owned C stream, closed with fclose.
#pragma once

#include "platform/unique_handle.h"

#include <cstdio>

namespace platform {

struct StdioFileTraits {
    using Handle = std::FILE*;
    static constexpr Handle Null = nullptr;
    void Release(Handle file) { std::fclose(file); }
};

/// Owns a stream from fopen. A caller that must know whether closing succeeded (the
/// last buffered write) closes it itself: std::fclose(file.Release()).
using UniqueStdioFile = UniqueHandle<StdioFileTraits>;

} // namespace platform
