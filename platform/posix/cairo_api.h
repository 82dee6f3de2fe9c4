// The one place the cairo and fontconfig headers come in, with owners for cairo objects.
#pragma once

#include "platform/unique_handle.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

namespace platform {

/// Releases a cairo object with its destroy function.
template <typename Object, void (*Destroy)(Object*)> struct CairoTraits {
    using Handle = Object*;
    static constexpr Handle Null = nullptr;
    void Release(Handle object) { Destroy(object); }
};

using UniqueCairo = UniqueHandle<CairoTraits<cairo_t, cairo_destroy>>;
using UniqueSurface = UniqueHandle<CairoTraits<cairo_surface_t, cairo_surface_destroy>>;
using UniqueFontOptions =
    UniqueHandle<CairoTraits<cairo_font_options_t, cairo_font_options_destroy>>;

} // namespace platform
