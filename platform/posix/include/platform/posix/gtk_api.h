// The one place the GTK headers come in, with an owner for GObject references.
#pragma once

#include "platform/unique_handle.h"

#include <gtk/gtk.h>

namespace platform {

/// Drops one GObject reference.
template <typename Object> struct GObjectTraits {
    using Handle = Object*;
    static constexpr Handle Null = nullptr;
    void Release(Handle object) { g_object_unref(object); }
};

using UniquePixbuf = UniqueHandle<GObjectTraits<GdkPixbuf>>;

/// Frees a block allocated by GLib (file names, error texts).
struct GFreeTraits {
    using Handle = char*;
    static constexpr Handle Null = nullptr;
    void Release(Handle text) { g_free(text); }
};
using UniqueGString = UniqueHandle<GFreeTraits>;

} // namespace platform
