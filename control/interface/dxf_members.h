// The member table of the dispatch interface _DXF: one place from which the COM
// server and any scripting host learn the members and dispatch to them by name.
#pragma once

#include "automation_variant.h"

#include <span>
#include <string_view>

namespace plandra {

class DXF;

/// DISPIDs of the standard members, as containers know them.
inline constexpr Long DispIdBackColor = -501;
inline constexpr Long DispIdAboutBox = -552;

enum class MemberKind {
    Method,
    Property,
    /// A public field: read and written like a property.
    Field,
};

enum class InvokeKind {
    Method,
    PropertyGet,
    PropertyPut,
    PropertyPutRef,
};

struct ParamInfo {
    std::string_view Name;
    /// The automation type, or the enumeration's name for an enumerated parameter.
    std::string_view TypeName;
    VarType Type;
    bool ByValue = false;
    bool Optional = false;
    /// The value of an optional parameter the caller leaves out; Empty when it has none.
    Variant Default{};
};

/// How a member is reached; arguments are the caller's, by reference, in order.
using MethodInvoker = Variant (*)(DXF& control, std::span<Variant> args);
using GetInvoker = Variant (*)(const DXF& control);
using LetInvoker = void (*)(DXF& control, const Variant& value);

struct MemberInfo {
    std::string_view Name;
    MemberKind Kind;
    /// Position in the interface's slot order (1-based; later members keep theirs).
    int Slot;
    Long DispId;
    std::span<const ParamInfo> Params;
    /// The result's automation type or enumeration or class name; empty for none.
    std::string_view ResultTypeName;
    VarType Result;
    std::string_view Help;
    bool Hidden = false;
    bool Browsable = true;
    MethodInvoker Call = nullptr;
    GetInvoker Get = nullptr;
    LetInvoker Let = nullptr;
    /// Assignable by reference (an object); dispatched by the COM server itself.
    bool SetByReference = false;
};

/// The members in slot order.
std::span<const MemberInfo> DXFMembers();

/// The member called `name` (without regard to case, as automation names are), or null.
const MemberInfo* FindMember(std::string_view name);

/// Dispatches by name as IDispatch::Invoke does. Missing optional arguments take their
/// defaults; by-reference arguments receive their new values. Errors: 438 "Object
/// doesn't support this property or method" for an unknown name or a kind the member
/// does not have, 450 "Wrong number of arguments or invalid property assignment",
/// and the member's own errors.
Variant Invoke(DXF& control, std::string_view name, InvokeKind kind, std::span<Variant> args);

} // namespace plandra
