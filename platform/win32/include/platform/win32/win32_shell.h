// Starting programs and documents on Windows: a pass-through to SHELL32 and KERNEL32.
#pragma once

#include "platform/shell.h"

namespace platform {

/// An empty verb, parameter list or directory is passed as null, as Win32 callers
/// pass vbNullString: the default verb, no parameters, the current directory.
class Win32Shell final : public ShellService {
public:
    std::intptr_t ShellExecuteA(HWND owner, std::string_view verb, std::string_view file,
                                std::string_view parameters, std::string_view directory,
                                int show) override;
    unsigned WinExec(std::string_view commandLine, int show) override;
    std::uint32_t GetFileAttributesA(std::string_view fileName) override;
};

} // namespace platform
