// The profile (INI file) calls the engine and the uninstaller make, with the Win32
// names, arguments and results of their ANSI forms.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace platform {

/// Where Win32 takes a null pointer ("every section", "delete the key"), the argument
/// is a pointer here too; the buffers are the caller's, and nothing is written past
/// their end. A file name without a folder is looked for in the Windows folder.
class ProfileService {
public:
    virtual ~ProfileService() = default;

    /// The value of `keyName` in `appName` without surrounding quotes, else the default
    /// without trailing blanks; returns the characters copied, the terminating zero left
    /// out, and cuts a value that does not fit (returning size - 1). With a null
    /// `appName` the section names, with a null `keyName` the section's key names, each
    /// ended by a zero and the list by a second one; a list that does not fit is cut and
    /// ended by two zeros, returning size - 2.
    virtual std::uint32_t GetPrivateProfileStringA(const char* appName, const char* keyName,
                                                   const char* defaultValue,
                                                   std::span<char> returnedString,
                                                   std::string_view fileName) = 0;
    /// The value read as a number (decimal, or with 0x, 0o or 0b before it, a sign
    /// allowed, digits up to the first other character); `defaultValue` when the key is
    /// missing or empty.
    virtual std::uint32_t GetPrivateProfileIntA(std::string_view appName, std::string_view keyName,
                                                std::int32_t defaultValue,
                                                std::string_view fileName) = 0;
    /// The section's lines "key=value", each ended by a zero, the list by a second.
    virtual std::uint32_t GetPrivateProfileSectionA(std::string_view appName,
                                                    std::span<char> returnedString,
                                                    std::string_view fileName) = 0;
    /// Sets a key, creating the section and the file as needed. A null `string` deletes
    /// the key, a null `keyName` the whole section.
    virtual bool WritePrivateProfileStringA(const char* appName, const char* keyName,
                                            const char* string, std::string_view fileName) = 0;

    /// Replaces the section's lines with `string`, a list of "key=value" texts each ended
    /// by a zero and the list by a second (a text without "=" is left out), creating the
    /// section and the file as needed; a null `string` deletes the section.
    virtual bool WritePrivateProfileSectionA(std::string_view appName, const char* string,
                                             std::string_view fileName) = 0;

    /// The same on WIN.INI.
    virtual std::uint32_t GetProfileStringA(const char* appName, const char* keyName,
                                            const char* defaultValue,
                                            std::span<char> returnedString) = 0;
    virtual std::uint32_t GetProfileIntA(std::string_view appName, std::string_view keyName,
                                         std::int32_t defaultValue) = 0;
    virtual bool WriteProfileStringA(const char* appName, const char* keyName,
                                     const char* string) = 0;

    virtual std::uint32_t GetLastError() = 0;
};

} // namespace platform
