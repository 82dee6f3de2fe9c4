// Volumes and network drives on Windows: a pass-through to KERNEL32 and MPR.
#pragma once

#include "platform/drives.h"

namespace platform {

class Win32Drives final : public DriveService {
public:
    bool GetVolumeInformationA(std::string_view rootPathName, VolumeInformation& volume) override;
    std::uint32_t WNetGetConnectionA(std::string_view localName, std::span<char> remoteName,
                                     std::uint32_t& length) override;
    std::uint32_t WNetGetUserA(std::span<char> userName, std::uint32_t& length) override;
    std::uint32_t GetLastError() override;
};

} // namespace platform
