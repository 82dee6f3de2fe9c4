// Adding fonts on Windows: a pass-through to GDI32.
#pragma once

#include "platform/font_resources.h"

namespace platform {

class Win32Fonts final : public FontResourceService {
public:
    int AddFontResourceA(std::string_view fileName) override;
    bool CreateScalableFontResourceA(std::uint32_t hidden, std::string_view fontResource,
                                     std::string_view fontFile,
                                     std::string_view currentPath) override;
};

} // namespace platform
