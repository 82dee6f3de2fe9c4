// The four last windows the zooms showed, newest first, for ZoomPrevious.
#pragma once

#include "control/database/real_rect.h"

#include <array>

namespace plandra {

/// Works on the control's PrevZoomStack, which the reader fills with the extents
/// after every read.
class ZoomHistory {
public:
    explicit ZoomHistory(std::array<RealRect, 4>& entries) : Entries(entries) {}

    /// AddToPrevZoomStack: every entry moves one older, the oldest is dropped and
    /// `window` becomes the newest.
    void Add(const RealRect& window);
    /// One step back: the newest entry is dropped, the others move one newer and the
    /// oldest becomes `extents`. Returns the new newest entry.
    const RealRect& Previous(const RealRect& extents);

    const RealRect& Newest() const { return Entries[0]; }

private:
    std::array<RealRect, 4>& Entries;
};

} // namespace plandra
