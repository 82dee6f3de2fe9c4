// The handle of a window (HWND), as the services that place or own windows pass it.
#pragma once

namespace platform {

struct Window;
using HWND = Window*;

} // namespace platform
