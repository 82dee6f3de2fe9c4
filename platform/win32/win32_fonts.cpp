// Adding fonts on Windows.
#include "platform/win32/win32_fonts.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <string>

namespace platform {

int Win32Fonts::AddFontResourceA(std::string_view fileName) {
    const std::string name(fileName);
    return ::AddFontResourceA(name.c_str());
}

bool Win32Fonts::CreateScalableFontResourceA(std::uint32_t hidden, std::string_view fontResource,
                                             std::string_view fontFile,
                                             std::string_view currentPath) {
    const std::string resource(fontResource);
    const std::string font(fontFile);
    const std::string folder(currentPath);
    return ::CreateScalableFontResourceA(hidden, resource.c_str(), font.c_str(),
                                         folder.empty() ? nullptr : folder.c_str()) != 0;
}

} // namespace platform
