// Volume and network calls that fail on purpose at a chosen use of a chosen call.
#pragma once

#include "platform/drives.h"
#include "platform/headless/fault_injection.h"

namespace platform {

enum class DriveCall {
    GetVolumeInformationA,
    WNetGetConnectionA,
    WNetGetUserA,
};

/// Passes every call to `inner` unless the plan fails it: then the call writes nothing
/// and fails with the planned error (false and GetLastError, or the error as result).
class FaultInjectingDrives final : public DriveService {
public:
    explicit FaultInjectingDrives(DriveService& inner) : Inner(inner) {}

    FaultPlan<DriveCall> Plan;

    bool GetVolumeInformationA(std::string_view rootPathName, VolumeInformation& volume) override;
    std::uint32_t WNetGetConnectionA(std::string_view localName, std::span<char> remoteName,
                                     std::uint32_t& length) override;
    std::uint32_t WNetGetUserA(std::span<char> userName, std::uint32_t& length) override;
    std::uint32_t GetLastError() override;

private:
    DriveService& Inner;
    std::optional<std::uint32_t> Injected;
};

} // namespace platform
