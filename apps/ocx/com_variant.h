// Between the control's variants and automation's VARIANTs, and the control's errors
// as IDispatch exceptions.
#pragma once

#include "com_api.h"
#include "control/database/control_error.h"
#include "control/interface/member_dispatch.h"
#include "ocx_guids.h"

#include <algorithm>
#include <cwchar>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plandra::ocx {

/// What our dispatch objects also answer to: the control's own object behind them, so
/// that an object a host passes back (Set colLayers = ...) is known again.
struct PlandraObject : public IUnknown {
    virtual platform::ObjectRef Object() = 0;
};
inline constexpr GUID IidPlandraObject = GuidOf("DF8972A6-3816-4EB6-8322-7F6E7719BBD6");

/// Code page 1252 text, the system's, to and from UTF-16.
std::wstring WideText(std::string_view text);
std::string AnsiText(const wchar_t* text, std::size_t length);
BSTR AllocBstr(std::string_view text);

/// A VARIANT (by reference or not) as the control's variant; "Type mismatch" for
/// kinds it has no counterpart of and for objects that are not the control's.
Variant FromVariant(const VARIANT& value);
/// Fills `out` (taken as empty); objects become dispatch objects of their own.
void ToVariant(const Variant& value, VARIANT* out);

/// The HRESULT of an error number: 0x80040001 stays itself, a run-time error n
/// becomes 0x800A0000 + n, as automation hosts know them.
HRESULT HresultOf(std::int32_t number);

/// Calls a member by name with the control's variants (InvokeMember of one object).
using MemberCall =
    std::function<Variant(std::string_view name, InvokeKind kind, std::span<Variant> args)>;

/// IDispatch::Invoke for one member: converts the arguments (missing optional ones
/// take their defaults), calls, hands by-reference arguments back, and turns an error
/// into DISP_E_EXCEPTION with its number, source and description in `exception`. A
/// member without parameters called with arguments passes them on to the default
/// member of the object it returns (Layers(1) is Layers.Item(1)).
HRESULT InvokeMemberCall(std::string_view name, std::span<const ParamInfo> params,
                         const MemberCall& call, WORD flags, DISPPARAMS* dispParams,
                         VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

/// IDispatch::GetIDsOfNames through a member table: the member's DISPID, then the
/// positions of the named parameters.
template <typename Object>
HRESULT IdsOfNames(std::span<const MemberInfoOf<Object>> members, LPOLESTR* names, UINT count,
                   DISPID* dispIds) {
    if (names == nullptr || dispIds == nullptr || count == 0) {
        return E_INVALIDARG;
    }
    std::fill(dispIds, dispIds + count, DISPID_UNKNOWN);
    const std::string name = AnsiText(names[0], std::wcslen(names[0]));
    const MemberInfoOf<Object>* member = name.empty() ? nullptr : FindMemberIn(members, name);
    if (member == nullptr) {
        return DISP_E_UNKNOWNNAME;
    }
    dispIds[0] = member->DispId;
    HRESULT found = S_OK;
    for (UINT i = 1; i < count; ++i) {
        const std::string param = AnsiText(names[i], std::wcslen(names[i]));
        found = DISP_E_UNKNOWNNAME;
        for (std::size_t p = 0; p < member->Params.size(); ++p) {
            if (platform::EqualsIgnoringCase(member->Params[p].Name, param)) {
                dispIds[i] = static_cast<DISPID>(p);
                found = S_OK;
            }
        }
        if (found != S_OK) {
            return found;
        }
    }
    return S_OK;
}

/// IDispatch::Invoke through a member table, by DISPID.
template <typename Object>
HRESULT InvokeById(std::span<const MemberInfoOf<Object>> members, Object& object, DISPID dispId,
                   WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                   UINT* argumentError) {
    for (const MemberInfoOf<Object>& member : members) {
        if (member.DispId == dispId) {
            return InvokeMemberCall(
                member.Name, member.Params,
                [&](std::string_view name, InvokeKind kind, std::span<Variant> args) {
                    return InvokeMember(members, object, name, kind, args);
                },
                flags, params, result, exception, argumentError);
        }
    }
    return DISP_E_MEMBERNOTFOUND;
}

} // namespace plandra::ocx
