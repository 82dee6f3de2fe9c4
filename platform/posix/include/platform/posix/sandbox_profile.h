// The profile (INI file) calls on the sandbox machine, reading and writing INI files
// through its file calls by Windows' rules.
#pragma once

#include "platform/files.h"
#include "platform/ini_text.h"
#include "platform/profile.h"

#include <string>

namespace platform {

/// INI files are read and written through `files`, so sandbox paths and injected faults
/// reach them. A rewrite goes to a temporary file beside the INI file that then replaces
/// it, so a write that fails (a full disk) leaves the old file whole.
class SandboxProfile final : public ProfileService {
public:
    /// `windowsDirectory` holds WIN.INI and the files named without a folder.
    SandboxProfile(FileService& files, std::string windowsDirectory)
        : Files(files), WindowsDirectory(std::move(windowsDirectory)) {}

    std::uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName,
                                           const char* defaultValue, std::span<char> returnedString,
                                           std::string_view fileName) override;
    std::uint32_t GetPrivateProfileIntA(std::string_view appName, std::string_view keyName,
                                        std::int32_t defaultValue,
                                        std::string_view fileName) override;
    std::uint32_t GetPrivateProfileSectionA(std::string_view appName,
                                            std::span<char> returnedString,
                                            std::string_view fileName) override;
    bool WritePrivateProfileStringA(const char* appName, const char* keyName, const char* string,
                                    std::string_view fileName) override;
    bool WritePrivateProfileSectionA(std::string_view appName, const char* string,
                                     std::string_view fileName) override;
    std::uint32_t GetProfileStringA(const char* appName, const char* keyName,
                                    const char* defaultValue,
                                    std::span<char> returnedString) override;
    std::uint32_t GetProfileIntA(std::string_view appName, std::string_view keyName,
                                 std::int32_t defaultValue) override;
    bool WriteProfileStringA(const char* appName, const char* keyName, const char* string) override;

    std::uint32_t GetLastError() override { return LastError; }

private:
    std::string FullPath(std::string_view fileName) const;
    /// Reads the file; a missing file is an empty document (and `found` false).
    bool Load(const std::string& path, IniText& document, bool& found);
    bool Save(const std::string& path, const IniText& document);

    FileService& Files;
    std::string WindowsDirectory;
    std::uint32_t LastError = 0;
};

/// The digits of a profile value as GetPrivateProfileIntA reads them.
std::uint32_t ProfileTextToInt(std::string_view text);

} // namespace platform
