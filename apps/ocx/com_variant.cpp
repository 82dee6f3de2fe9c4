// Conversions between the control's variants and VARIANTs, and dispatch by DISPID.
#include "com_variant.h"

#include "com_ref.h"
#include "layer_objects.h"

#include <new>

namespace plandra::ocx {
namespace {

constexpr UINT SystemCodePage = 1252;

ControlError TypeMismatch() {
    return ControlError::Runtime(RuntimeError::TypeMismatch);
}

Variant FromObject(IUnknown* unknown) {
    if (unknown == nullptr) {
        return ObjectRef();
    }
    PlandraObject* ours = nullptr;
    if (FAILED(unknown->QueryInterface(IidPlandraObject, reinterpret_cast<void**>(&ours)))) {
        throw TypeMismatch();
    }
    ComRef<PlandraObject> owner(ours);
    return ours->Object();
}

// A value of a kind the control has no counterpart of, changed into one it has.
Variant Coerced(VARIANT& value, VARTYPE to) {
    if (FAILED(::VariantChangeType(&value, &value, 0, to))) {
        throw TypeMismatch();
    }
    return to == VT_I4 ? Variant(std::int32_t(value.lVal)) : Variant(value.dblVal);
}

void FillException(const ControlError& error, EXCEPINFO* exception) {
    if (exception == nullptr) {
        return;
    }
    *exception = EXCEPINFO{};
    exception->bstrSource = AllocBstr(error.Source);
    exception->bstrDescription = AllocBstr(error.Description);
    exception->scode = HresultOf(error.Number);
}

// The value handed back through a by-reference argument, in the argument's own type.
void WriteBack(const Variant& value, VARIANT& target) {
    if (target.vt == (VT_VARIANT | VT_BYREF)) {
        ::VariantClear(target.pvarVal);
        ToVariant(value, target.pvarVal);
        return;
    }
    if ((target.vt & VT_BYREF) == 0) {
        return;
    }
    VARIANT converted;
    ToVariant(value, &converted);
    const VARTYPE type = target.vt & ~VT_BYREF;
    if (FAILED(::VariantChangeType(&converted, &converted, 0, type))) {
        ::VariantClear(&converted);
        return;
    }
    switch (type) {
    case VT_I2:
        *target.piVal = converted.iVal;
        break;
    case VT_I4:
        *target.plVal = converted.lVal;
        break;
    case VT_R4:
        *target.pfltVal = converted.fltVal;
        break;
    case VT_R8:
        *target.pdblVal = converted.dblVal;
        break;
    case VT_BOOL:
        *target.pboolVal = converted.boolVal;
        break;
    case VT_BSTR:
        ::SysFreeString(*target.pbstrVal);
        *target.pbstrVal = converted.bstrVal;
        return;
    default:
        break;
    }
    ::VariantClear(&converted);
}

bool IsMissing(const VARIANT& value) {
    return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

InvokeKind KindOf(WORD flags) {
    if ((flags & DISPATCH_PROPERTYPUTREF) != 0) {
        return InvokeKind::PropertyPutRef;
    }
    if ((flags & DISPATCH_PROPERTYPUT) != 0) {
        return InvokeKind::PropertyPut;
    }
    return (flags & DISPATCH_METHOD) != 0 ? InvokeKind::Method : InvokeKind::PropertyGet;
}

} // namespace

std::wstring WideText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(
                          ::MultiByteToWideChar(SystemCodePage, 0, text.data(), size, nullptr, 0)),
                      L'\0');
    ::MultiByteToWideChar(SystemCodePage, 0, text.data(), size, wide.data(),
                          static_cast<int>(wide.size()));
    return wide;
}

std::string AnsiText(const wchar_t* text, std::size_t length) {
    if (text == nullptr || length == 0) {
        return {};
    }
    const int size = static_cast<int>(length);
    std::string ansi(static_cast<std::size_t>(::WideCharToMultiByte(SystemCodePage, 0, text, size,
                                                                    nullptr, 0, nullptr, nullptr)),
                     '\0');
    ::WideCharToMultiByte(SystemCodePage, 0, text, size, ansi.data(), static_cast<int>(ansi.size()),
                          nullptr, nullptr);
    return ansi;
}

BSTR AllocBstr(std::string_view text) {
    const std::wstring wide = WideText(text);
    BSTR result = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (result == nullptr) {
        throw std::bad_alloc();
    }
    return result;
}

Variant FromVariant(const VARIANT& value) {
    VARIANT local;
    ::VariantInit(&local);
    if (FAILED(::VariantCopyInd(&local, const_cast<VARIANT*>(&value)))) {
        throw TypeMismatch();
    }
    struct Clear {
        VARIANT& Value;
        ~Clear() { ::VariantClear(&Value); }
    } clear{local};
    switch (local.vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR:
        return {};
    case VT_I2:
        return std::int16_t(local.iVal);
    case VT_I4:
        return std::int32_t(local.lVal);
    case VT_R4:
        return local.fltVal;
    case VT_R8:
        return local.dblVal;
    case VT_BOOL:
        return VariantBool{local.boolVal != VARIANT_FALSE};
    case VT_BSTR:
        return AnsiText(local.bstrVal, ::SysStringLen(local.bstrVal));
    case VT_DISPATCH:
    case VT_UNKNOWN:
        return FromObject(local.punkVal);
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
        return Coerced(local, VT_I4);
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL:
        return Coerced(local, VT_R8);
    default:
        throw TypeMismatch();
    }
}

void ToVariant(const Variant& value, VARIANT* out) {
    ::VariantInit(out);
    std::visit(
        [&](const auto& held) {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::int16_t>) {
                out->vt = VT_I2;
                out->iVal = held;
            } else if constexpr (std::is_same_v<Held, std::int32_t>) {
                out->vt = VT_I4;
                out->lVal = held;
            } else if constexpr (std::is_same_v<Held, float>) {
                out->vt = VT_R4;
                out->fltVal = held;
            } else if constexpr (std::is_same_v<Held, double>) {
                out->vt = VT_R8;
                out->dblVal = held;
            } else if constexpr (std::is_same_v<Held, VariantBool>) {
                out->vt = VT_BOOL;
                out->boolVal = held.Value ? VARIANT_TRUE : VARIANT_FALSE;
            } else if constexpr (std::is_same_v<Held, std::string>) {
                out->bstrVal = AllocBstr(held);
                out->vt = VT_BSTR;
            } else if constexpr (std::is_same_v<Held, ObjectRef>) {
                out->pdispVal = held == nullptr ? nullptr : NewDispatchFor(held);
                out->vt = VT_DISPATCH;
            }
        },
        value);
}

HRESULT HresultOf(std::int32_t number) {
    return number < 0 ? static_cast<HRESULT>(number)
                      : MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number & 0xFFFF);
}

HRESULT InvokeMemberCall(std::string_view name, std::span<const ParamInfo> params,
                         const MemberCall& call, WORD flags, DISPPARAMS* dispParams,
                         VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (dispParams == nullptr) {
        return E_INVALIDARG;
    }
    const InvokeKind kind = KindOf(flags);
    const bool put = kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef;
    const UINT named = dispParams->cNamedArgs;
    if (named > (put ? 1u : 0u) ||
        (named == 1 && dispParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) {
        return DISP_E_NONAMEDARGS;
    }
    // The arguments arrive last first; trailing missing ones are left out, missing ones
    // before a given one take their parameter's default.
    const UINT count = dispParams->cArgs;
    std::vector<VARIANT*> given;
    for (UINT i = count; i > 0; --i) {
        given.push_back(&dispParams->rgvarg[i - 1]);
    }
    while (!given.empty() && IsMissing(*given.back())) {
        given.pop_back();
    }
    try {
        std::vector<Variant> args;
        for (std::size_t i = 0; i < given.size(); ++i) {
            if (argumentError != nullptr) {
                *argumentError = static_cast<UINT>(count - 1 - i);
            }
            args.push_back(IsMissing(*given[i]) && i < params.size() ? params[i].Default
                                                                     : FromVariant(*given[i]));
        }
        Variant value;
        if (params.empty() && !args.empty() && !put) {
            value = call(name, kind, {});
            const auto* object = std::get_if<ObjectRef>(&value);
            if (object == nullptr || *object == nullptr) {
                throw WrongArgumentCount();
            }
            value = (*object)->Invoke("", kind, args);
        } else {
            value = call(name, kind, args);
            for (std::size_t i = 0; i < args.size() && i < params.size(); ++i) {
                if (!params[i].ByValue && !IsMissing(*given[i])) {
                    WriteBack(args[i], *given[i]);
                }
            }
        }
        if (result != nullptr) {
            ToVariant(value, result);
        }
        return S_OK;
    } catch (const ControlError& error) {
        FillException(error, exception);
        return DISP_E_EXCEPTION;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& error) {
        // Nothing may cross into the host as a C++ exception.
        FillException(ControlError(static_cast<std::int32_t>(E_FAIL), "Plandra", error.what()),
                      exception);
        return DISP_E_EXCEPTION;
    }
}

} // namespace plandra::ocx
