// File security on Windows: a pass-through to ADVAPI32.
#pragma once

#include "platform/access_check.h"

namespace platform {

class Win32AccessCheck final : public AccessCheckService {
public:
    bool GetFileSecurityA(std::string_view path, SecurityDescriptor& descriptor) override;
    bool CheckAccess(const SecurityDescriptor& descriptor, std::uint32_t desiredAccess,
                     bool& granted) override;
    std::uint32_t GetLastError() override;
};

} // namespace platform
