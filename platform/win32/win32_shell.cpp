// Starting programs and documents on Windows: a pass-through to SHELL32 and KERNEL32.
#include "platform/win32/win32_shell.h"

#include "win32_api.h"

#include <string>

namespace platform {

namespace {

// The text as a zero-terminated string, or null for an empty one.
class OptionalText {
public:
    explicit OptionalText(std::string_view text) : Text(text) {}
    const char* Get() const { return Text.empty() ? nullptr : Text.c_str(); }

private:
    std::string Text;
};

} // namespace

std::intptr_t Win32Shell::ShellExecuteA(HWND owner, std::string_view verb, std::string_view file,
                                        std::string_view parameters, std::string_view directory,
                                        int show) {
    const std::string fileZ(file);
    const HINSTANCE result =
        ::ShellExecuteA(reinterpret_cast<::HWND>(owner), OptionalText(verb).Get(), fileZ.c_str(),
                        OptionalText(parameters).Get(), OptionalText(directory).Get(), show);
    return reinterpret_cast<std::intptr_t>(result);
}

unsigned Win32Shell::WinExec(std::string_view commandLine, int show) {
    const std::string commandLineZ(commandLine);
    return ::WinExec(commandLineZ.c_str(), static_cast<UINT>(show));
}

std::uint32_t Win32Shell::GetFileAttributesA(std::string_view fileName) {
    const std::string fileNameZ(fileName);
    return ::GetFileAttributesA(fileNameZ.c_str());
}

} // namespace platform
