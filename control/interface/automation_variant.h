// Conversions of the automation variant, with the coercion rules of automation hosts.
#pragma once

#include "control/database/entity_records.h"
#include "platform/variant.h"

#include <string>

namespace plandra {

using platform::InvokeKind;
using platform::ObjectRef;
using platform::Variant;
using platform::VariantBool;

/// The automation type names of the control's interface, as the member table lists them.
enum class VarType {
    Empty,
    Integer,
    Long,
    Single,
    Double,
    Boolean,
    String,
    Variant,
    Object,
};

/// The kind a variant holds (Empty for std::monostate, Object for a reference).
VarType TypeOf(const Variant& value);

/// Coercions as automation performs them: numbers round half to even into integers,
/// text is read as a number, True is -1. "Type mismatch" (13) for text that is not a
/// number and for an object (the control's objects have no default value to convert),
/// "Overflow" (6) for a value out of range; both as ControlError.
Integer CInt(const Variant& value);
Long CLng(const Variant& value);
float CSng(const Variant& value);
double CDbl(const Variant& value);
bool CBool(const Variant& value);
std::string CStr(const Variant& value);

/// The variant of a Boolean result: True -1, False 0 as VariantBool.
inline Variant BoolVariant(bool value) {
    return VariantBool{value};
}

} // namespace plandra
