// Version calls that fail on purpose at a chosen use, for tests of the install paths.
#pragma once

#include "platform/headless/fault_injection.h"
#include "platform/versions.h"

namespace platform {

enum class VersionCall {
    GetFileVersionInfoSizeA,
    GetFileVersionInfoA,
    VerQueryValueA,
    VerFindFileA,
    VerInstallFileA,
};

/// Passes every call to `inner` unless the plan fails it. A failed read returns 0 or
/// false with the planned error; a failed VerFindFileA finds nothing (empty folders,
/// VFF_BUFFTOOSMALL); a failed VerInstallFileA returns the planned value itself as its
/// result bits (for example ver::InstallFileInUse), copying nothing.
class FaultInjectingVersions final : public VersionService {
public:
    explicit FaultInjectingVersions(VersionService& inner) : Inner(inner) {}

    FaultPlan<VersionCall> Plan;

    std::uint32_t GetFileVersionInfoSizeA(std::string_view fileName,
                                          std::uint32_t* handle) override;
    bool GetFileVersionInfoA(std::string_view fileName, std::uint32_t handle,
                             std::span<char> data) override;
    bool VerQueryValueA(std::span<char> block, std::string_view subBlock, const char*& buffer,
                        std::uint32_t& length) override;
    std::uint32_t VerFindFileA(std::uint32_t flags, std::string_view fileName, const char* winDir,
                               std::string_view appDir, std::span<char> curDir,
                               std::uint32_t& curDirLength, std::span<char> destDir,
                               std::uint32_t& destDirLength) override;
    std::uint32_t VerInstallFileA(std::uint32_t flags, std::string_view srcFileName,
                                  std::string_view destFileName, std::string_view srcDir,
                                  std::string_view destDir, std::string_view curDir,
                                  std::span<char> tmpFile, std::uint32_t& tmpFileLength) override;
    std::uint32_t GetLastError() override;

private:
    /// Counts the use; true when it is to fail (and the error is set).
    bool Fails(VersionCall call);

    VersionService& Inner;
    std::optional<std::uint32_t> Injected;
};

} // namespace platform
