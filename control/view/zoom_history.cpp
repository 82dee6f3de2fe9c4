// The zoom history.
#include "zoom_history.h"

#include <algorithm>

namespace plandra {

void ZoomHistory::Add(const RealRect& window) {
    std::copy_backward(Entries.begin(), Entries.end() - 1, Entries.end());
    Entries[0] = window;
}

const RealRect& ZoomHistory::Previous(const RealRect& extents) {
    std::copy(Entries.begin() + 1, Entries.end(), Entries.begin());
    Entries.back() = extents;
    return Entries[0];
}

} // namespace plandra
