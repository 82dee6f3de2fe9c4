// A move-only owner for one handle that must be released: GDI objects, device
// contexts, files, cairo objects, registry keys, windows, libraries.
#pragma once

#include <utility>

namespace platform {

/// Owns one handle and releases it once, when the owner is reset, reassigned or
/// destroyed. Traits says what a handle is and how it is released:
///
///     struct Traits {
///         using Handle = ...;
///         static constexpr Handle Null = ...;   // the value that owns nothing
///         void Release(Handle handle);          // called only for a non-null handle
///     };
///
/// Release is a member, so a traits object may carry what the release goes through
/// (the GDI service whose DeleteObject must be called); stateless traits cost nothing.
template <typename Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle, Traits traits = Traits{})
        : Releaser(std::move(traits)), Value(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept
        : Releaser(std::move(other.Releaser)), Value(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            Releaser = std::move(other.Releaser);
            Value = other.Release();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return Value; }
    explicit operator bool() const { return Value != Traits::Null; }

    /// Releases the handle held now (if any) and owns the one given instead.
    void Reset(Handle handle = Traits::Null) {
        Handle old = std::exchange(Value, handle);
        if (old != Traits::Null) {
            Releaser.Release(old);
        }
    }

    /// Gives the handle up without releasing it; the caller owns it now.
    [[nodiscard]] Handle Release() { return std::exchange(Value, Traits::Null); }

private:
    [[no_unique_address]] Traits Releaser;
    Handle Value = Traits::Null;
};

} // namespace platform
