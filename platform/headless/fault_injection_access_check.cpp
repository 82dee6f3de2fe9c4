// File security calls that fail on purpose.
#include "platform/headless/fault_injection_access_check.h"

namespace platform {

bool FaultInjectingAccessCheck::GetFileSecurityA(std::string_view path,
                                                 SecurityDescriptor& descriptor) {
    Injected = Plan.Use(AccessCheckCall::GetFileSecurityA);
    if (Injected) {
        descriptor.clear();
        return false;
    }
    return Inner.GetFileSecurityA(path, descriptor);
}

bool FaultInjectingAccessCheck::CheckAccess(const SecurityDescriptor& descriptor,
                                            std::uint32_t desiredAccess, bool& granted) {
    Injected = Plan.Use(AccessCheckCall::CheckAccess);
    if (Injected) {
        granted = false;
        return false;
    }
    return Inner.CheckAccess(descriptor, desiredAccess, granted);
}

std::uint32_t FaultInjectingAccessCheck::GetLastError() {
    return Injected ? *Injected : Inner.GetLastError();
}

} // namespace platform
