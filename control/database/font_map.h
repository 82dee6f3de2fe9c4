// DXF text style names to one of the two Windows fonts that stand in for them.
#pragma once

#include <string>

namespace plandra {

/// The two fonts texts are drawn with, and the height factor stored with each.
struct FontChoices {
    std::string PropFontName = "Arial";
    float PropFontScalar = 1;
    std::string MonoFontName = "Courier New";
    float MonoFontScalar = 1;
};

/// Replaces the style name in `styleName` by the face name chosen for it and
/// returns the font scalar that goes with that face. The proportional font serves
/// the classic stroke-font styles; every other style gets the fixed-pitch font.
float MapTextStyleToFont(std::string& styleName, const FontChoices& fonts);

} // namespace plandra
