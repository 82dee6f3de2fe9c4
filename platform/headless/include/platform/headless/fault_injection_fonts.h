// Font calls that fail on purpose at a chosen use of a chosen call.
#pragma once

#include "platform/font_resources.h"
#include "platform/headless/fault_injection.h"

namespace platform {

enum class FontCall {
    AddFontResourceA,
    CreateScalableFontResourceA,
};

/// Passes every call to `inner` unless the plan fails it: then the call does nothing and
/// returns its failure value (0 or false).
class FaultInjectingFonts final : public FontResourceService {
public:
    explicit FaultInjectingFonts(FontResourceService& inner) : Inner(inner) {}

    FaultPlan<FontCall> Plan;

    int AddFontResourceA(std::string_view fileName) override;
    bool CreateScalableFontResourceA(std::uint32_t hidden, std::string_view fontResource,
                                     std::string_view fontFile,
                                     std::string_view currentPath) override;

private:
    FontResourceService& Inner;
};

} // namespace platform
