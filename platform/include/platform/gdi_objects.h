// Owners for GDI handles: objects deleted with DeleteObject, memory device contexts
// deleted with DeleteDC, and the select/draw/select-back/delete helper.
#pragma once

#include "platform/gdi.h"
#include "platform/unique_handle.h"

#include <utility>

namespace platform {

/// Releases a pen, brush, region, bitmap or font through the service that made it.
template <typename Object = HGDIOBJ> struct GdiObjectTraits {
    using Handle = Object;
    static constexpr Handle Null = nullptr;
    GdiService* Gdi = nullptr;
    void Release(Handle object) { Gdi->DeleteObject(object); }
};

/// Releases a memory device context through the service that made it.
struct DeviceContextTraits {
    using Handle = HDC;
    static constexpr Handle Null = nullptr;
    GdiService* Gdi = nullptr;
    void Release(Handle dc) { Gdi->DeleteDC(dc); }
};

/// Owns one GDI object of the given handle type and deletes it with DeleteObject.
template <typename Object = HGDIOBJ> using UniqueGdiObject = UniqueHandle<GdiObjectTraits<Object>>;
/// Owns a memory device context and deletes it with DeleteDC.
using UniqueDeviceContext = UniqueHandle<DeviceContextTraits>;

/// The owner of an object `gdi` made (null when the creation failed).
template <typename Object> UniqueGdiObject<Object> OwnObject(GdiService& gdi, Object object) {
    return UniqueGdiObject<Object>(object, GdiObjectTraits<Object>{&gdi});
}

/// The owner of a device context `gdi` made (null when the creation failed).
inline UniqueDeviceContext OwnDc(GdiService& gdi, HDC dc) {
    return UniqueDeviceContext(dc, DeviceContextTraits{&gdi});
}

/// Selects a newly made object into a device context for the lifetime of the scope;
/// on leaving it selects the previous object back and then deletes the new one, the
/// order GDI requires (a selected object must not be deleted). A null object (a failed
/// creation) is not selected, so drawing uses the device context's current object.
template <typename Object> class ScopedSelection {
public:
    ScopedSelection(GdiService& gdi, HDC dc, UniqueGdiObject<Object> object)
        : Gdi(gdi), Dc(dc), Owned(std::move(object)) {
        if (Owned) {
            Previous = Gdi.SelectObject(Dc, Owned.Get());
        }
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    ~ScopedSelection() {
        if (Previous != nullptr) {
            Gdi.SelectObject(Dc, Previous);
        }
        // Owned's own destructor deletes the new object after this.
    }

    Object Get() const { return Owned.Get(); }

private:
    GdiService& Gdi;
    HDC Dc;
    UniqueGdiObject<Object> Owned;
    HGDIOBJ Previous = nullptr;
};

} // namespace platform
