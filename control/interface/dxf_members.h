// The member table of the dispatch interface _DXF: one place from which the COM
// server and any scripting host learn the members and dispatch to them by name.
#pragma once

#include "member_dispatch.h"

#include <span>
#include <string_view>

namespace plandra {

class DXF;

/// DISPIDs of the standard members, as containers know them.
inline constexpr Long DispIdBackColor = -501;
inline constexpr Long DispIdAboutBox = -552;

/// How a member of the control is reached.
using MemberInfo = MemberInfoOf<DXF>;
using MethodInvoker = MemberInfo::MethodInvoker;
using GetInvoker = MemberInfo::GetInvoker;
using LetInvoker = MemberInfo::LetInvoker;

/// The members in slot order.
std::span<const MemberInfo> DXFMembers();

/// The member called `name` (without regard to case, as automation names are), or null.
const MemberInfo* FindMember(std::string_view name);

/// Dispatches by name as IDispatch::Invoke does (see InvokeMember). colLayers and
/// Layers give the control's layer collection as an object.
Variant Invoke(DXF& control, std::string_view name, InvokeKind kind, std::span<Variant> args);

} // namespace plandra
