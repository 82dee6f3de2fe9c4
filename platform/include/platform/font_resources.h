// The font calls that make an installed font usable, with the Win32 names, arguments
// and results of their ANSI forms (GDI32's AddFontResourceA and
// CreateScalableFontResourceA).
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

namespace wm {
inline constexpr std::uint32_t FontChange = 29; ///< WM_FONTCHANGE
} // namespace wm

class FontResourceService {
public:
    virtual ~FontResourceService() = default;

    /// Adds the fonts of a font file (or of a font resource file made below) to the
    /// system's font table; returns how many were added, 0 on failure.
    virtual int AddFontResourceA(std::string_view fileName) = 0;
    /// Makes the font resource file `fontResource` (".FOT") that names the TrueType file
    /// `fontFile`; `currentPath` is the folder a relative `fontFile` lies in. Fails when
    /// the resource file exists already.
    virtual bool CreateScalableFontResourceA(std::uint32_t hidden, std::string_view fontResource,
                                             std::string_view fontFile,
                                             std::string_view currentPath) = 0;
};

} // namespace platform
