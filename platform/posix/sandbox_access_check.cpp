// File security on the sandbox machine.
#include "platform/posix/sandbox_access_check.h"

#include "platform/files.h"

#include <algorithm>

namespace platform {

namespace {

constexpr const char* ReadOnlyList = "read_only_for_user.txt";
// The sandbox's descriptor: a mark, then whether the user is denied writing.
constexpr std::uint8_t DescriptorMark = 'S';
constexpr std::uint32_t InvalidSecurityDescriptor = 1338; ///< ERROR_INVALID_SECURITY_DESCR
// The rights that change a file: its data, its attributes, its removal, or all of them.
constexpr std::uint32_t WriteRights = 0x00000116 | 0x00010000 | 0x40000000 | 0x10000000;
// A list longer than this many lines is read no further.
constexpr std::size_t MaxListLines = 4096;

bool Covers(const std::filesystem::path& folder, const std::filesystem::path& entry) {
    auto mismatch = std::mismatch(folder.begin(), folder.end(), entry.begin(), entry.end());
    return mismatch.first == folder.end();
}

} // namespace

bool SandboxAccessCheck::ReadOnlyForUser(const std::filesystem::path& native) const {
    for (const std::string& line : Machine.ListLines(ReadOnlyList, MaxListLines)) {
        const SandboxPath listed = Machine.Resolve(line);
        if (!line.empty() && listed.Error == 0 && listed.Exists && Covers(listed.Native, native)) {
            return true;
        }
    }
    return false;
}

bool SandboxAccessCheck::GetFileSecurityA(std::string_view path, SecurityDescriptor& descriptor) {
    descriptor.clear();
    if (Machine.Description().Family != WindowsFamily::WindowsNT) {
        LastError = winerror::CallNotImplemented;
        return false;
    }
    const SandboxPath entry = Machine.Resolve(path);
    if (entry.Error != 0 || !entry.Exists) {
        LastError = entry.Error != 0 ? entry.Error : winerror::FileNotFound;
        return false;
    }
    descriptor = {DescriptorMark, static_cast<std::uint8_t>(ReadOnlyForUser(entry.Native) ? 1 : 0)};
    return true;
}

bool SandboxAccessCheck::CheckAccess(const SecurityDescriptor& descriptor,
                                     std::uint32_t desiredAccess, bool& granted) {
    granted = false;
    if (descriptor.size() != 2 || descriptor[0] != DescriptorMark) {
        LastError = InvalidSecurityDescriptor;
        return false;
    }
    granted = descriptor[1] == 0 || (desiredAccess & WriteRights) == 0;
    return true;
}

} // namespace platform
