// Starting programs and documents, and the file query that goes with it.
#pragma once

#include "platform/window_handle.h"

#include <cstdint>
#include <string_view>

namespace platform {

namespace sw {
inline constexpr int ShowNormal = 1; ///< SW_SHOWNORMAL
} // namespace sw

/// GetFileAttributesA's answer for a file that does not exist.
inline constexpr std::uint32_t InvalidFileAttributes = 0xFFFFFFFFu;

class ShellService {
public:
    virtual ~ShellService() = default;
    /// Opens `file` with `verb`; a result above 32 means success.
    virtual std::intptr_t ShellExecuteA(HWND owner, std::string_view verb, std::string_view file,
                                        std::string_view parameters, std::string_view directory,
                                        int show) = 0;
    /// Starts the program of `commandLine`; a result above 31 means success.
    virtual unsigned WinExec(std::string_view commandLine, int show) = 0;
    virtual std::uint32_t GetFileAttributesA(std::string_view fileName) = 0;
};

} // namespace platform
