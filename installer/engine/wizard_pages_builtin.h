// The built-in f31: the page sequence of a wizard made of custom dialog sets, the frame
// window the pages run in, and the wizard's picture.
#pragma once

#include "engine.h"

#include <cstdint>

namespace vorn {

/// Fields (separated by 0x7F): options, direction variable, current-page variable, frame
/// width, frame height (pixels), picture value, archive offset, compressed size and
/// uncompressed size of the picture, then one field per page: the page name, optionally
/// followed by tab-separated variable, value and comparison code (as opcode 12; code 0
/// when missing). A page whose variable is empty always holds.
///
/// Switches the wizard style of the dialog sets on with the frame's size, reads the picture
/// (a packed bitmap) from the archive on the first call, and moves the current-page
/// variable to the next page whose condition holds, or to the previous one when the
/// direction variable holds "B". A current page that is not among the pages starts the
/// wizard at the first page that holds; going back from the first page stays there and
/// empties the direction variable, so that the next call goes forward.
/// When no page follows, or with option bit 0, the wizard ends: the frame is closed, the
/// style switched off and the current-page variable emptied. Returns 1 while a page is
/// current, 0 at the end, so the call serves as a While condition around the pages.
/// A picture that cannot be read is reported and left out; the wizard goes on.
std::int32_t f31(Engine& engine, const DllCallBlock& block);

} // namespace vorn
