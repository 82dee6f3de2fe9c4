// File security on the sandbox machine.
#pragma once

#include "platform/access_check.h"
#include "platform/posix/sandbox_machine.h"

namespace platform {

/// Files and folders the installing user may read but not write are named in
/// read_only_for_user.txt in the machine folder, a Windows path a line; a folder named
/// there covers everything under it. Every other existing entry may be written. A machine
/// of the Windows 95 family keeps no security: GetFileSecurityA is not implemented there.
class SandboxAccessCheck final : public AccessCheckService {
public:
    explicit SandboxAccessCheck(const SandboxMachine& machine) : Machine(machine) {}

    bool GetFileSecurityA(std::string_view path, SecurityDescriptor& descriptor) override;
    bool CheckAccess(const SecurityDescriptor& descriptor, std::uint32_t desiredAccess,
                     bool& granted) override;
    std::uint32_t GetLastError() override { return LastError; }

private:
    bool ReadOnlyForUser(const std::filesystem::path& native) const;

    const SandboxMachine& Machine;
    std::uint32_t LastError = 0;
};

} // namespace platform
