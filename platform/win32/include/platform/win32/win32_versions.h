// The version calls on Windows: pass-throughs to VERSION.DLL.
#pragma once

#include "platform/versions.h"

namespace platform {

class Win32Versions final : public VersionService {
public:
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
};

} // namespace platform
