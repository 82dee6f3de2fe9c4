// Screenshots for tests/installer/engine/capture_dialogs.sh: with VORN_CAPTURE_DIR set (a
// Unix folder, seen through Wine's Z: drive) a test asks the script to capture the
// screen and waits, handling its thread's messages so that its windows paint, until the
// script has taken the picture.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <windows.h>

namespace vorn::testing {

/// Asks for NAME.png; false, at once, when no capture runs.
inline bool CaptureScreen(const char* name) {
    const char* folder = std::getenv("VORN_CAPTURE_DIR");
    if (folder == nullptr) {
        return false;
    }
    std::string request = std::string("Z:") + folder + "/capture.txt";
    for (char& c : request) {
        c = c == '/' ? '\\' : c;
    }
    std::ofstream(request) << name;
    const DWORD until = ::GetTickCount() + 10000;
    while (::GetTickCount() < until &&
           ::GetFileAttributesA(request.c_str()) != INVALID_FILE_ATTRIBUTES) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::Sleep(50);
    }
    return true;
}

} // namespace vorn::testing
