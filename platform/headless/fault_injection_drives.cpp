// Volume and network calls that fail on purpose.
#include "platform/headless/fault_injection_drives.h"

namespace platform {

bool FaultInjectingDrives::GetVolumeInformationA(std::string_view rootPathName,
                                                 VolumeInformation& volume) {
    Injected = Plan.Use(DriveCall::GetVolumeInformationA);
    return !Injected && Inner.GetVolumeInformationA(rootPathName, volume);
}

std::uint32_t FaultInjectingDrives::WNetGetConnectionA(std::string_view localName,
                                                       std::span<char> remoteName,
                                                       std::uint32_t& length) {
    Injected = Plan.Use(DriveCall::WNetGetConnectionA);
    return Injected ? *Injected : Inner.WNetGetConnectionA(localName, remoteName, length);
}

std::uint32_t FaultInjectingDrives::WNetGetUserA(std::span<char> userName, std::uint32_t& length) {
    Injected = Plan.Use(DriveCall::WNetGetUserA);
    return Injected ? *Injected : Inner.WNetGetUserA(userName, length);
}

std::uint32_t FaultInjectingDrives::GetLastError() {
    return Injected ? *Injected : Inner.GetLastError();
}

} // namespace platform
