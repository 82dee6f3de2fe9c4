// Member tables of the control's dispatch interfaces and dispatch by name through
// them, shared by the control and its layer objects.
#pragma once

#include "automation_variant.h"
#include "control/database/control_error.h"
#include "platform/ansi_text.h"

#include <span>
#include <string_view>
#include <vector>

namespace plandra {

/// DISPID_VALUE: the default member, which a host reaches without a name.
inline constexpr Long DispIdValue = 0;

enum class MemberKind {
    Method,
    Property,
    /// A public field: read and written like a property.
    Field,
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

/// One member of an object's dispatch interface and how it is reached; arguments are
/// the caller's, by reference, in order.
template <typename Object> struct MemberInfoOf {
    using MethodInvoker = Variant (*)(Object& object, std::span<Variant> args);
    using GetInvoker = Variant (*)(const Object& object);
    using LetInvoker = void (*)(Object& object, const Variant& value);

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
    /// A method, or a property read that needs the object itself (one that creates
    /// what it returns).
    MethodInvoker Call = nullptr;
    GetInvoker Get = nullptr;
    LetInvoker Let = nullptr;
    /// An object member: Let is reached by assignment by reference (Set), not by value.
    bool SetByReference = false;
};

/// 438 "Object doesn't support this property or method".
ControlError MemberNotSupported();
/// 450 "Wrong number of arguments or invalid property assignment".
ControlError WrongArgumentCount();

/// The caller's arguments followed by the defaults of the optional parameters it left
/// out; 450 when there are too few or too many.
std::vector<Variant> CompletedArguments(std::span<const ParamInfo> params,
                                        std::span<const Variant> args);
/// Hands the new values of the by-reference parameters back to the caller's arguments.
void ReturnByReference(std::span<const ParamInfo> params, std::span<Variant> completed,
                       std::span<Variant> args);

/// The member called `name` (without regard to case, as automation names are), the
/// default member for an empty name, or null.
template <typename Object>
const MemberInfoOf<Object>* FindMemberIn(std::span<const MemberInfoOf<Object>> members,
                                         std::string_view name) {
    for (const MemberInfoOf<Object>& member : members) {
        if (name.empty() ? member.DispId == DispIdValue
                         : platform::EqualsIgnoringCase(member.Name, name)) {
            return &member;
        }
    }
    return nullptr;
}

/// Dispatches by name as IDispatch::Invoke does. Missing optional arguments take their
/// defaults; by-reference arguments receive their new values. Errors: 438 for an
/// unknown name or a kind the member does not have, 450 for a wrong number of
/// arguments, and the member's own errors.
template <typename Object>
Variant InvokeMember(std::span<const MemberInfoOf<Object>> members, Object& object,
                     std::string_view name, InvokeKind kind, std::span<Variant> args) {
    const MemberInfoOf<Object>* member = FindMemberIn(members, name);
    if (member == nullptr) {
        throw MemberNotSupported();
    }
    switch (kind) {
    case InvokeKind::Method:
    case InvokeKind::PropertyGet:
        // Hosts read a property with a method call and call a method without
        // arguments as a property read; both are the same member.
        if (member->Call != nullptr) {
            std::vector<Variant> completed = CompletedArguments(member->Params, args);
            Variant result = member->Call(object, completed);
            ReturnByReference(member->Params, completed, args);
            return result;
        }
        if (member->Get != nullptr) {
            if (!args.empty()) {
                throw WrongArgumentCount();
            }
            return member->Get(object);
        }
        throw MemberNotSupported();
    case InvokeKind::PropertyPut:
    case InvokeKind::PropertyPutRef:
        if (member->Let == nullptr ||
            member->SetByReference != (kind == InvokeKind::PropertyPutRef)) {
            throw MemberNotSupported();
        }
        if (args.size() != 1) {
            throw WrongArgumentCount();
        }
        member->Let(object, args[0]);
        return {};
    }
    throw MemberNotSupported();
}

} // namespace plandra
