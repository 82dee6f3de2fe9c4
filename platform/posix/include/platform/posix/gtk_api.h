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
using UniqueCursor = UniqueHandle<GObjectTraits<GdkCursor>>;

/// Destroys a top-level widget the caller made (a dialog).
struct WidgetTraits {
    using Handle = GtkWidget*;
    static constexpr Handle Null = nullptr;
    void Release(Handle widget) { gtk_widget_destroy(widget); }
};
using UniqueWidget = UniqueHandle<WidgetTraits>;

/// Frees a null-terminated array of strings allocated by GLib.
struct GStrvTraits {
    using Handle = gchar**;
    static constexpr Handle Null = nullptr;
    void Release(Handle strings) { g_strfreev(strings); }
};
using UniqueGStrv = UniqueHandle<GStrvTraits>;

/// Frees a list (not its items) allocated by GLib.
struct GListTraits {
    using Handle = GList*;
    static constexpr Handle Null = nullptr;
    void Release(Handle list) { g_list_free(list); }
};
using UniqueGList = UniqueHandle<GListTraits>;

/// Frees a block allocated by GLib (file names, error texts).
struct GFreeTraits {
    using Handle = char*;
    static constexpr Handle Null = nullptr;
    void Release(Handle text) { g_free(text); }
};
using UniqueGString = UniqueHandle<GFreeTraits>;

} // namespace platform
