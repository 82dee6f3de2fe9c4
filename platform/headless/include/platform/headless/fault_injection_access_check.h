// File security calls that fail on purpose at a chosen use of a chosen call.
#pragma once

#include "platform/access_check.h"
#include "platform/headless/fault_injection.h"

namespace platform {

enum class AccessCheckCall {
    GetFileSecurityA,
    CheckAccess,
};

/// Passes every call to `inner` unless the plan fails it: then the call reads nothing,
/// returns false and GetLastError reports the planned error.
class FaultInjectingAccessCheck final : public AccessCheckService {
public:
    explicit FaultInjectingAccessCheck(AccessCheckService& inner) : Inner(inner) {}

    FaultPlan<AccessCheckCall> Plan;

    bool GetFileSecurityA(std::string_view path, SecurityDescriptor& descriptor) override;
    bool CheckAccess(const SecurityDescriptor& descriptor, std::uint32_t desiredAccess,
                     bool& granted) override;
    std::uint32_t GetLastError() override;

private:
    AccessCheckService& Inner;
    std::optional<std::uint32_t> Injected;
};

} // namespace platform
