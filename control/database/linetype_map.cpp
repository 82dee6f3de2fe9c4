// The linetype map.
#include "linetype_map.h"

#include <array>
#include <utility>

namespace plandra {

Integer PenStyleFromLinetype(std::string_view linetypeName) {
    static constexpr std::array<std::pair<std::string_view, Integer>, 13> Map{{
        {"CONTINUOUS", 0},
        {"DASHED", 1},
        {"DASHED2", 1},
        {"DASHEDX2", 1},
        {"DOT", 2},
        {"DOT2", 2},
        {"DOTX2", 2},
        {"DASHDOT", 3},
        {"DASHDOT2", 3},
        {"DASHDOTX2", 3},
        {"PHANTOM", 4},
        {"PHANTOM2", 4},
        {"PHANTOMX2", 4},
    }};
    for (const auto& [name, style] : Map) {
        if (name == linetypeName) {
            return style;
        }
    }
    return 0;
}

} // namespace plandra
