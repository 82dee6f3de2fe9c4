// The automation variant as the control's hosts and property bags pass it, and the
// objects a variant can refer to.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace platform {

/// The automation Boolean (VT_BOOL), kept apart from Integer so that a variant
/// remembers which of the two it holds.
struct VariantBool {
    bool Value = false;
    bool operator==(const VariantBool&) const = default;
};

class Dispatchable;

/// An object reference (VT_DISPATCH). Null is Nothing; two references are equal when
/// they name the same object, as the Is operator compares them.
using ObjectRef = std::shared_ptr<Dispatchable>;

/// Empty, Integer (16-bit), Long (32-bit), Single, Double, Boolean, String (8-bit
/// ANSI text) or Object; the kinds the control's members and stored properties use.
using Variant = std::variant<std::monostate, std::int16_t, std::int32_t, float, double, VariantBool,
                             std::string, ObjectRef>;

/// How a member is reached, as IDispatch::Invoke's flags say.
enum class InvokeKind {
    Method,
    PropertyGet,
    PropertyPut,
    PropertyPutRef,
};

/// An object a script host reaches by member name (IDispatch): the control's layer
/// collection and its layers.
class Dispatchable {
public:
    virtual ~Dispatchable() = default;
    /// Calls the member `name` (without regard to case). `args` are the caller's, by
    /// reference, in order; by-reference parameters receive their new values. An empty
    /// name is the default member. Failures are thrown as the object's own error.
    virtual Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) = 0;
};

} // namespace platform
