// The registry of the sandbox machine: held in memory and kept in the machine folder as
// registry.reg, a REGEDIT4 file a person can read and edit.
#pragma once

#include "platform/headless/headless_registry.h"
#include "platform/posix/sandbox_machine.h"

#include <filesystem>
#include <memory>
#include <set>
#include <string>

namespace platform {

/// Follows the rules of the machine's family (see RegistryFamily). Every change is
/// written to the file at once, through a temporary file that then replaces it, so a
/// crash leaves the old file or the new one, never half of one; a change that cannot be
/// written stays in memory, goes to the file with the next one (or when the registry is
/// closed), and its call returns reg::RegistryIoFailed. Only one SandboxRegistry may have a machine
/// open at a time. On a Windows NT machine whose user is no administrator (machine.ini's
/// Admin=0) the machine-wide keys (HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT below it, and
/// HKEY_CURRENT_CONFIG) can be read but not changed: opening them for writing, creating or
/// deleting keys and setting or deleting values there give reg::AccessDenied, as NT's
/// default rights do. A Windows 95 machine checks no rights.
class SandboxRegistry final : public RegistryService {
public:
    static constexpr const char* FileName = "registry.reg";

    struct OpenResult {
        std::unique_ptr<SandboxRegistry> Registry;
        /// Why the registry could not be read: the file and the line at fault.
        std::string Error;
    };
    /// Loads the machine's registry.reg; a machine without one has an empty registry
    /// until its first change.
    static OpenResult Open(const SandboxMachine& machine);
    /// Writes the registry.reg of a fresh machine into `folder`: the keys Windows of
    /// that family has and installers read (program folders, registered owner, search
    /// path, language, shared DLL counts).
    static bool WriteFresh(const std::filesystem::path& folder, const MachineDescription& machine,
                           std::string& error);

    SandboxRegistry(const SandboxRegistry&) = delete;
    SandboxRegistry& operator=(const SandboxRegistry&) = delete;
    ~SandboxRegistry() override;

    using RegistryService::RegQueryValueExA;
    long RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                       std::uint32_t access, HKEY& result) override;
    long RegCreateKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                         std::uint32_t access, HKEY& result, std::uint32_t* disposition) override;
    long RegSetValueExA(HKEY key, std::string_view valueName, std::uint32_t type,
                        std::span<const char> data) override;
    long RegQueryValueExA(HKEY key, std::string_view valueName, std::uint32_t* type, char* data,
                          std::uint32_t* dataSize) override;
    long RegDeleteValueA(HKEY key, std::string_view valueName) override;
    long RegDeleteKeyA(HKEY key, std::string_view subKey) override;
    long RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                       std::uint32_t& nameLength) override;
    long RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                       std::uint32_t& valueNameLength, std::uint32_t* type, char* data,
                       std::uint32_t* dataSize) override;
    long RegCloseKey(HKEY key) override;

private:
    SandboxRegistry(std::filesystem::path file, RegistryFamily family)
        : Memory(family), File(std::move(file)) {}
    /// Writes the registry to its file when `status` says a change was made; the status
    /// the changing call returns.
    long Saved(long status);
    /// Whether changes below `key` are refused for want of administrator rights.
    bool Protected(HKEY key) const;
    /// Opens or creates a key below `key`, remembering handles to machine-wide keys.
    long Opened(HKEY key, long status, HKEY result);

    HeadlessRegistry Memory;
    std::filesystem::path File;
    /// A change the file does not hold yet.
    bool Unsaved = false;
    /// The user may not change machine-wide keys (NT without administrator rights).
    bool Restricted = false;
    /// Open handles to keys below the machine-wide roots.
    std::set<HKEY> MachineWide;
};

} // namespace platform
