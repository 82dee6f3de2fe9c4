// Whether the installing user may write a file, asked the way Windows NT asks it: the
// file's security descriptor (GetFileSecurityA) checked against the user's own token
// (ImpersonateSelf, OpenThreadToken, AccessCheck with a zero generic mapping,
// RevertToSelf). Machines of the Windows 95 family keep no security on files.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

namespace access {
/// FILE_GENERIC_WRITE: the specific rights a write needs, so no generic mapping is asked.
inline constexpr std::uint32_t FileGenericWrite = 0x00120116;
} // namespace access

namespace winerror {
inline constexpr std::uint32_t CallNotImplemented = 120; ///< ERROR_CALL_NOT_IMPLEMENTED
} // namespace winerror

/// A file's security descriptor as GetFileSecurityA gives it (owner, group and DACL), in
/// the form the same service's CheckAccess reads.
using SecurityDescriptor = std::vector<std::uint8_t>;

class AccessCheckService {
public:
    virtual ~AccessCheckService() = default;

    /// The owner, group and DACL of the file or folder at `path`. False with the last
    /// error set when they cannot be read (no such file, a volume without security, a
    /// system without it).
    virtual bool GetFileSecurityA(std::string_view path, SecurityDescriptor& descriptor) = 0;
    /// Checks `desiredAccess` against `descriptor` for the user the thread runs as: sets
    /// `granted`. False with the last error set when the check itself could not be made.
    virtual bool CheckAccess(const SecurityDescriptor& descriptor, std::uint32_t desiredAccess,
                             bool& granted) = 0;
    virtual std::uint32_t GetLastError() = 0;
};

} // namespace platform
