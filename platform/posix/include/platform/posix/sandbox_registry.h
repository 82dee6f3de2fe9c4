// The registry of the sandbox machine: held in memory and kept in the machine folder as
// registry.reg, a REGEDIT4 file a person can read and edit.
#pragma once

#include "platform/headless/headless_registry.h"
#include "platform/posix/sandbox_machine.h"

#include <filesystem>
#include <memory>
#include <string>

namespace platform {

/// Follows the rules of the machine's family (see RegistryFamily). Every change is
/// written to the file at once, through a temporary file that then replaces it, so a
/// crash leaves the old file or the new one, never half of one; a change that cannot be
/// written stays in memory, goes to the file with the next one (or when the registry is
/// closed), and its call returns reg::RegistryIoFailed. Only one SandboxRegistry may have a machine
/// open at a time.
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

    HeadlessRegistry Memory;
    std::filesystem::path File;
    /// A change the file does not hold yet.
    bool Unsaved = false;
};

} // namespace platform
