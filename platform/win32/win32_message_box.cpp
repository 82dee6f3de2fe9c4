// Message boxes on Windows: a pass-through to MessageBoxA.
#include "platform/win32/win32_message_box.h"

#include "win32_api.h"

#include <string>

namespace platform {

int Win32MessageBox::MessageBoxA(std::string_view text, std::string_view caption, unsigned type) {
    std::string textZ(text);
    std::string captionZ(caption);
    return ::MessageBoxA(nullptr, textZ.c_str(), captionZ.c_str(), type);
}

} // namespace platform
