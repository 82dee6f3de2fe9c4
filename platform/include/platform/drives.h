// What the machine knows about its drives beyond the file calls: volume labels and
// serial numbers, the network shares behind mapped drives and the network's user name,
// with the Win32 names, arguments, results and error codes of their ANSI forms
// (KERNEL32's GetVolumeInformationA, MPR's WNetGetConnectionA and WNetGetUserA).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

namespace winerror {
inline constexpr std::uint32_t NotReady = 21;            ///< ERROR_NOT_READY
inline constexpr std::uint32_t MoreData = 234;           ///< ERROR_MORE_DATA
inline constexpr std::uint32_t ConnectionUnavail = 1201; ///< ERROR_CONNECTION_UNAVAIL
inline constexpr std::uint32_t NoNetwork = 1222;         ///< ERROR_NO_NETWORK
inline constexpr std::uint32_t NotConnected = 2250;      ///< ERROR_NOT_CONNECTED
} // namespace winerror

/// The facts of one volume that GetVolumeInformationA gives.
struct VolumeInformation {
    std::string Label;
    std::uint32_t SerialNumber = 0;
};

class DriveService {
public:
    virtual ~DriveService() = default;

    /// The label and serial number of the volume whose root is `rootPathName` ("C:\").
    /// False and the last error set when there is no such drive or no disc in it.
    virtual bool GetVolumeInformationA(std::string_view rootPathName,
                                       VolumeInformation& volume) = 0;
    /// The share ("\\SERVER\SHARE") that the local device `localName` ("X:") is
    /// connected to, with a zero, into `remoteName`; `length` gets its size with the zero.
    /// Returns 0, winerror::NotConnected for a device that is no network drive,
    /// winerror::ConnectionUnavail for one remembered but not connected, or
    /// winerror::MoreData (with the size needed in `length`) for a buffer too small.
    virtual std::uint32_t WNetGetConnectionA(std::string_view localName, std::span<char> remoteName,
                                             std::uint32_t& length) = 0;
    /// The network's name of the current user, with a zero, as WNetGetUserA(NULL, ...)
    /// gives it; 0, winerror::NoNetwork without a network, winerror::MoreData as above.
    virtual std::uint32_t WNetGetUserA(std::span<char> userName, std::uint32_t& length) = 0;

    virtual std::uint32_t GetLastError() = 0;
};

} // namespace platform
