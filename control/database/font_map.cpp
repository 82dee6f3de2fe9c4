// The font map.
#include "font_map.h"

#include "platform/ansi_text.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace plandra {

namespace {

bool IsProportionalStyle(std::string_view style) {
    static constexpr std::array<std::string_view, 9> Proportional{
        "ROMANC", "ROMAND", "SIMPLEX", "DUPLEX", "COMPLEX", "GOTHICE", "ROMANS", "ROMANT", "TITLE"};
    return std::find(Proportional.begin(), Proportional.end(), style) != Proportional.end();
}

} // namespace

float MapTextStyleToFont(std::string& styleName, const FontChoices& fonts) {
    if (IsProportionalStyle(platform::UpperAnsi(platform::TrimBlanks(styleName)))) {
        styleName = fonts.PropFontName;
        return fonts.PropFontScalar;
    }
    styleName = fonts.MonoFontName;
    return fonts.MonoFontScalar;
}

} // namespace plandra
