// File security on Windows.
#include "platform/win32/win32_access_check.h"

#include "platform/unique_handle.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"

#include <array>
#include <string>

namespace platform {

namespace {

constexpr SECURITY_INFORMATION WhatIsRead =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
// A descriptor larger than this is not believed.
constexpr DWORD MaxDescriptorBytes = 64 * 1024;

struct TokenTraits {
    using Handle = HANDLE;
    static constexpr Handle Null = nullptr;
    void Release(Handle handle) { ::CloseHandle(handle); }
};

// The thread runs as its own process's user until the object goes.
class SelfImpersonation {
public:
    SelfImpersonation() : Active(::ImpersonateSelf(SecurityImpersonation) != FALSE) {}
    ~SelfImpersonation() {
        if (Active) {
            ::RevertToSelf();
        }
    }
    SelfImpersonation(const SelfImpersonation&) = delete;
    SelfImpersonation& operator=(const SelfImpersonation&) = delete;
    bool Active;
};

} // namespace

bool Win32AccessCheck::GetFileSecurityA(std::string_view path, SecurityDescriptor& descriptor) {
    const std::string name(path);
    DWORD needed = 0;
    descriptor.assign(256, 0);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::GetFileSecurityA(name.c_str(), WhatIsRead, descriptor.data(),
                               static_cast<DWORD>(descriptor.size()), &needed)) {
            return true;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed > MaxDescriptorBytes) {
            break;
        }
        descriptor.assign(needed, 0);
    }
    descriptor.clear();
    return false;
}

bool Win32AccessCheck::CheckAccess(const SecurityDescriptor& descriptor,
                                   std::uint32_t desiredAccess, bool& granted) {
    granted = false;
    if (descriptor.empty()) {
        ::SetLastError(ERROR_INVALID_SECURITY_DESCR);
        return false;
    }
    SelfImpersonation self;
    if (!self.Active) {
        return false;
    }
    HANDLE rawToken = nullptr;
    if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, &rawToken)) {
        return false;
    }
    UniqueHandle<TokenTraits> token(rawToken);
    GENERIC_MAPPING mapping{};
    std::array<BYTE, 1024> privileges{};
    DWORD privilegesLength = static_cast<DWORD>(privileges.size());
    DWORD grantedAccess = 0;
    BOOL status = FALSE;
    // The descriptor came from GetFileSecurityA and stays unchanged; AccessCheck only reads it.
    auto* securityDescriptor = const_cast<std::uint8_t*>(descriptor.data());
    if (!::AccessCheck(securityDescriptor, token.Get(), desiredAccess, &mapping,
                       reinterpret_cast<PPRIVILEGE_SET>(privileges.data()), &privilegesLength,
                       &grantedAccess, &status)) {
        return false;
    }
    granted = status != FALSE;
    return true;
}

std::uint32_t Win32AccessCheck::GetLastError() {
    return ::GetLastError();
}

} // namespace platform
