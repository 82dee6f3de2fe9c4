// Font calls that fail on purpose.
#include "platform/headless/fault_injection_fonts.h"

namespace platform {

int FaultInjectingFonts::AddFontResourceA(std::string_view fileName) {
    return Plan.Use(FontCall::AddFontResourceA) ? 0 : Inner.AddFontResourceA(fileName);
}

bool FaultInjectingFonts::CreateScalableFontResourceA(std::uint32_t hidden,
                                                      std::string_view fontResource,
                                                      std::string_view fontFile,
                                                      std::string_view currentPath) {
    return !Plan.Use(FontCall::CreateScalableFontResourceA) &&
           Inner.CreateScalableFontResourceA(hidden, fontResource, fontFile, currentPath);
}

} // namespace platform
