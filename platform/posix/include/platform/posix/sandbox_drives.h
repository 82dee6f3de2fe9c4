// The sandbox machine's volumes and network, as its machine.ini describes them.
#pragma once

#include "platform/drives.h"
#include "platform/posix/sandbox_machine.h"

#include <map>
#include <string>

namespace platform {

/// Read from machine.ini beside the description: [Volumes] gives a drive's serial
/// number and label ("C=1A2B-3C4D SYSTEM", the label may be left out; a drive without a
/// line has serial 0 and no label), [Network] the network's user ("User=NAME"; without
/// it the machine has no network) and the share of each remote drive ("F=\\SERVER\APPS";
/// a remote drive without one is remembered but not connected). A first word that is
/// not of the form XXXX-XXXX is taken as part of the label.
class SandboxDrives final : public DriveService {
public:
    explicit SandboxDrives(const SandboxMachine& machine);

    bool GetVolumeInformationA(std::string_view rootPathName, VolumeInformation& volume) override;
    std::uint32_t WNetGetConnectionA(std::string_view localName, std::span<char> remoteName,
                                     std::uint32_t& length) override;
    std::uint32_t WNetGetUserA(std::span<char> userName, std::uint32_t& length) override;
    std::uint32_t GetLastError() override { return LastError; }

private:
    const SandboxMachine& Machine;
    std::map<char, VolumeInformation> Volumes;
    std::map<char, std::string> Shares;
    std::string NetworkUser;
    bool HasNetwork = false;
    std::uint32_t LastError = 0;
};

} // namespace platform
