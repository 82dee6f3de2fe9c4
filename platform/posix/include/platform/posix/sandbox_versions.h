// The version calls on the sandbox machine: version resources read from program files by
// our own PE reader, and the versioned install, all through the machine's file calls.
#pragma once

#include "platform/files.h"
#include "platform/versions.h"

#include <optional>
#include <string>

namespace platform {

/// Files are read, copied and moved through `files`, so sandbox paths ("C:\WINNT\X.DLL"),
/// files in use and injected faults reach every call. A replaced file is first moved
/// aside and only deleted once the new one is in place, so a failed install leaves the
/// old file whole. A file in use that cannot step aside gives VIF_CANNOTDELETE,
/// VIF_SHARINGVIOLATION and VIF_FILEINUSE, with the copy left (VIF_TEMPFILE) for a
/// replacement at the next start.
class SandboxVersions final : public VersionService {
public:
    SandboxVersions(FileService& files, std::string windowsDirectory, std::string systemDirectory)
        : Files(files), WindowsDirectory(std::move(windowsDirectory)),
          SystemDirectory(std::move(systemDirectory)) {}

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
    std::uint32_t GetLastError() override { return LastError; }

private:
    /// The file's version block; nothing, with the last error set, when it has none.
    std::optional<std::string> ReadBlock(std::string_view fileName);
    bool Exists(const std::string& path);
    /// Whether another open handle keeps the file from being opened alone.
    bool InUse(const std::string& path);
    /// The refusal bits of putting `source` in the place of `existing`.
    std::uint32_t Compare(const std::string& source, const std::string& existing);
    /// Puts `temporary` in the place of `destination`; the failure bits, 0 when done.
    std::uint32_t Replace(const std::string& temporary, const std::string& destination);

    FileService& Files;
    std::string WindowsDirectory;
    std::string SystemDirectory;
    std::uint32_t LastError = 0;
};

} // namespace platform
