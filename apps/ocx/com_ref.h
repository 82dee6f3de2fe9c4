// Owners of COM interface pointers and of BSTRs, released once.
#pragma once

#include "com_api.h"
#include "platform/unique_handle.h"

namespace plandra::ocx {

template <typename Interface> struct ComTraits {
    using Handle = Interface*;
    static constexpr Handle Null = nullptr;
    void Release(Handle pointer) { pointer->Release(); }
};

/// One reference to a COM object.
template <typename Interface> using ComRef = platform::UniqueHandle<ComTraits<Interface>>;

struct BstrTraits {
    using Handle = BSTR;
    static constexpr Handle Null = nullptr;
    void Release(Handle text) { ::SysFreeString(text); }
};
using UniqueBstr = platform::UniqueHandle<BstrTraits>;

} // namespace plandra::ocx
