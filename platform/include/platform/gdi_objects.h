// Owners for GDI handles: a move-only object owner that calls DeleteObject, a device
// context owner that calls DeleteDC, and the select/draw/select-back/delete helper.
#pragma once

#include <platform/gdi.h>
#include <utility>

namespace platform {

/// Owns one pen, brush, region or bitmap and deletes it with DeleteObject.
class UniqueGdiObject {
public:
    UniqueGdiObject() = default;
    UniqueGdiObject(GdiService& gdi, HGDIOBJ object) : Gdi(&gdi), Object(object) {}
    UniqueGdiObject(UniqueGdiObject&& other) noexcept
        : Gdi(other.Gdi), Object(std::exchange(other.Object, nullptr)) {}
    UniqueGdiObject& operator=(UniqueGdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            Gdi = other.Gdi;
            Object = std::exchange(other.Object, nullptr);
        }
        return *this;
    }
    UniqueGdiObject(const UniqueGdiObject&) = delete;
    UniqueGdiObject& operator=(const UniqueGdiObject&) = delete;
    ~UniqueGdiObject() { Reset(); }

    HGDIOBJ Get() const { return Object; }
    explicit operator bool() const { return Object != nullptr; }

    /// Deletes the object now (if any).
    void Reset() {
        if (Object != nullptr) {
            Gdi->DeleteObject(std::exchange(Object, nullptr));
        }
    }

private:
    GdiService* Gdi = nullptr;
    HGDIOBJ Object = nullptr;
};

/// Owns a memory device context and deletes it with DeleteDC.
class UniqueDeviceContext {
public:
    UniqueDeviceContext() = default;
    UniqueDeviceContext(GdiService& gdi, HDC dc) : Gdi(&gdi), Dc(dc) {}
    UniqueDeviceContext(UniqueDeviceContext&& other) noexcept
        : Gdi(other.Gdi), Dc(std::exchange(other.Dc, nullptr)) {}
    UniqueDeviceContext& operator=(UniqueDeviceContext&& other) noexcept {
        if (this != &other) {
            Reset();
            Gdi = other.Gdi;
            Dc = std::exchange(other.Dc, nullptr);
        }
        return *this;
    }
    UniqueDeviceContext(const UniqueDeviceContext&) = delete;
    UniqueDeviceContext& operator=(const UniqueDeviceContext&) = delete;
    ~UniqueDeviceContext() { Reset(); }

    HDC Get() const { return Dc; }
    explicit operator bool() const { return Dc != nullptr; }
    void Reset() {
        if (Dc != nullptr) {
            Gdi->DeleteDC(std::exchange(Dc, nullptr));
        }
    }

private:
    GdiService* Gdi = nullptr;
    HDC Dc = nullptr;
};

/// Selects a newly made object into a device context for the lifetime of the scope;
/// on leaving it selects the previous object back and then deletes the new one, the
/// order GDI requires (a selected object must not be deleted). A null object (a failed
/// creation) is not selected, so drawing uses the device context's current object.
class ScopedSelection {
public:
    ScopedSelection(GdiService& gdi, HDC dc, UniqueGdiObject object)
        : Gdi(gdi), Dc(dc), Object(std::move(object)) {
        if (Object) {
            Previous = Gdi.SelectObject(Dc, Object.Get());
        }
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;
    ~ScopedSelection() {
        if (Previous != nullptr) {
            Gdi.SelectObject(Dc, Previous);
        }
        // Object's own destructor deletes the new object after this.
    }

    HGDIOBJ Get() const { return Object.Get(); }

private:
    GdiService& Gdi;
    HDC Dc;
    UniqueGdiObject Object;
    HGDIOBJ Previous = nullptr;
};

} // namespace platform
