// The sandbox machine's registry: the registry held in memory, loaded from registry.reg
// and written back to it after every change.
#include "platform/posix/sandbox_registry.h"

#include "platform/unique_handle.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

// A registry of a few thousand keys is well under a megabyte; far more than this is not
// a machine's registry but a reason to stop before memory runs out.
constexpr std::size_t MaxRegistryBytes = 64u << 20;
// What a user without administrator rights may open a machine-wide key for: reading,
// generic read and execute, or the most that is allowed (which is reading).
constexpr std::uint32_t ReadOnlyAccess = reg::KeyRead | 0x80000000u | 0x20000000u | 0x02000000u;

struct DescriptorCloser {
    using Handle = int;
    static constexpr Handle Null = -1;
    void Release(Handle descriptor) { ::close(descriptor); }
};
using UniqueDescriptor = UniqueHandle<DescriptorCloser>;

bool WriteAll(int descriptor, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(descriptor, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The whole text goes to a temporary file beside `path`, which then takes its place: a
// crash at any moment leaves either the old file or the new one.
bool WriteAtomically(const fs::path& path, std::string_view text) {
    const std::string temporary = path.string() + ".new";
    bool written = false;
    {
        UniqueDescriptor file(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        written = file && WriteAll(file.Get(), text);
    }
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool ReadWhole(const fs::path& path, std::string& text, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path.string();
        return false;
    }
    // Read in pieces, so that the text takes the file's size and not the limit's: filling
    // 64 MB of zeros first cost every run of a setup a tenth of a second.
    text.clear();
    std::array<char, 65536> piece;
    while (file.read(piece.data(), static_cast<std::streamsize>(piece.size())) ||
           file.gcount() > 0) {
        text.append(piece.data(), static_cast<std::size_t>(file.gcount()));
        if (text.size() > MaxRegistryBytes) {
            error = path.string() + " is larger than 64 MB";
            return false;
        }
    }
    if (file.bad()) {
        error = "cannot read " + path.string();
        return false;
    }
    return true;
}

RegistryFamily FamilyOf(const MachineDescription& machine) {
    return machine.Family == WindowsFamily::Windows95 ? RegistryFamily::Windows95
                                                      : RegistryFamily::WindowsNT;
}

} // namespace

SandboxRegistry::OpenResult SandboxRegistry::Open(const SandboxMachine& machine) {
    const fs::path file = machine.Folder() / FileName;
    std::unique_ptr<SandboxRegistry> registry(
        new SandboxRegistry(file, FamilyOf(machine.Description())));
    registry->Restricted =
        machine.Description().Family == WindowsFamily::WindowsNT && !machine.Description().Admin;
    std::error_code missing;
    if (!fs::exists(file, missing)) {
        return {std::move(registry), {}};
    }
    std::string text;
    std::string error;
    if (!ReadWhole(file, text, error)) {
        return {nullptr, error};
    }
    if (!registry->Memory.Load(text, error)) {
        return {nullptr, file.string() + " " + error};
    }
    return {std::move(registry), {}};
}

bool SandboxRegistry::WriteFresh(const fs::path& folder, const MachineDescription& machine,
                                 std::string& error) {
    HeadlessRegistry fresh(FamilyOf(machine));
    const auto make = [&fresh](HKEY root, std::string_view path) {
        HKEY key = nullptr;
        fresh.RegCreateKeyExA(root, path, reg::OptionNonVolatile, reg::KeyAllAccess, key, nullptr);
        return UniqueRegistryKey(key, RegistryKeyTraits{&fresh});
    };
    const auto set = [&](HKEY root, std::string_view path, std::string_view name,
                         std::uint32_t type, std::string_view text) {
        const std::string data = std::string(text) + '\0';
        fresh.RegSetValueExA(make(root, path).Get(), name, type, data);
    };
    const std::string version =
        std::to_string(machine.MajorVersion) + "." + std::to_string(machine.MinorVersion);
    const std::string windows = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    set(HKEY_LOCAL_MACHINE, windows, "ProgramFilesDir", reg::Sz, "C:\\Program Files");
    set(HKEY_LOCAL_MACHINE, windows, "CommonFilesDir", reg::Sz, "C:\\Program Files\\Common Files");
    for (const char* key : {"\\App Paths", "\\SharedDLLs", "\\Uninstall", "\\Run", "\\RunOnce"}) {
        make(HKEY_LOCAL_MACHINE, windows + key);
    }
    std::string owner = windows;
    if (machine.Family == WindowsFamily::Windows95) {
        set(HKEY_LOCAL_MACHINE, windows, "Version", reg::Sz, "Windows 95");
        set(HKEY_LOCAL_MACHINE, windows, "VersionNumber", reg::Sz,
            version + "." + std::to_string(machine.BuildNumber));
        set(HKEY_LOCAL_MACHINE, windows + "\\Setup", "SharedDir", reg::Sz,
            machine.WindowsDirectory);
    } else {
        owner = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
        set(HKEY_LOCAL_MACHINE, owner, "CurrentVersion", reg::Sz, version);
        set(HKEY_LOCAL_MACHINE, owner, "CurrentBuildNumber", reg::Sz,
            std::to_string(machine.BuildNumber));
        const std::string environment =
            "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
        set(HKEY_LOCAL_MACHINE, environment, "Path", reg::ExpandSz,
            "%SystemRoot%\\system32;%SystemRoot%");
        set(HKEY_LOCAL_MACHINE, environment, "ComSpec", reg::ExpandSz,
            "%SystemRoot%\\system32\\cmd.exe");
        make(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services");
    }
    set(HKEY_LOCAL_MACHINE, owner, "RegisteredOwner", reg::Sz, machine.UserName);
    set(HKEY_LOCAL_MACHINE, owner, "RegisteredOrganization", reg::Sz, "");
    set(HKEY_CURRENT_USER, "Control Panel\\International", "sLanguage", reg::Sz, "ENU");
    make(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion");
    make(HKEY_USERS, ".DEFAULT");
    make(HKEY_CURRENT_CONFIG, "Software");
    if (!WriteAtomically(folder / FileName, fresh.Text())) {
        error = "cannot write " + (folder / FileName).string();
        return false;
    }
    return true;
}

SandboxRegistry::~SandboxRegistry() {
    if (Unsaved) {
        WriteAtomically(File, Memory.Text());
    }
}

long SandboxRegistry::Saved(long status) {
    if (status != reg::Success) {
        return status;
    }
    Unsaved = !WriteAtomically(File, Memory.Text());
    return Unsaved ? reg::RegistryIoFailed : reg::Success;
}

bool SandboxRegistry::Protected(HKEY key) const {
    return Restricted && (key == HKEY_LOCAL_MACHINE || key == HKEY_CLASSES_ROOT ||
                          key == HKEY_CURRENT_CONFIG || MachineWide.count(key) != 0);
}

long SandboxRegistry::Opened(HKEY key, long status, HKEY result) {
    if (status == reg::Success && Protected(key)) {
        MachineWide.insert(result);
    }
    return status;
}

long SandboxRegistry::RegOpenKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                                    std::uint32_t access, HKEY& result) {
    if (Protected(key) && (access & ~ReadOnlyAccess) != 0) {
        result = nullptr;
        return reg::AccessDenied;
    }
    return Opened(key, Memory.RegOpenKeyExA(key, subKey, options, access, result), result);
}

long SandboxRegistry::RegCreateKeyExA(HKEY key, std::string_view subKey, std::uint32_t options,
                                      std::uint32_t access, HKEY& result,
                                      std::uint32_t* disposition) {
    if (Protected(key)) {
        // An existing key opens for reading; nothing new may be made.
        const long status = RegOpenKeyExA(key, subKey, options, access, result);
        if (status == reg::Success && disposition != nullptr) {
            *disposition = reg::OpenedExistingKey;
        }
        return status == reg::FileNotFound ? reg::AccessDenied : status;
    }
    std::uint32_t outcome = reg::OpenedExistingKey;
    long status = Memory.RegCreateKeyExA(key, subKey, options, access, result, &outcome);
    if (disposition != nullptr && status == reg::Success) {
        *disposition = outcome;
    }
    if (outcome == reg::CreatedNewKey) {
        status = Saved(status);
    }
    return status;
}

long SandboxRegistry::RegSetValueExA(HKEY key, std::string_view valueName, std::uint32_t type,
                                     std::span<const char> data) {
    if (Protected(key)) {
        return reg::AccessDenied;
    }
    return Saved(Memory.RegSetValueExA(key, valueName, type, data));
}

long SandboxRegistry::RegQueryValueExA(HKEY key, std::string_view valueName, std::uint32_t* type,
                                       char* data, std::uint32_t* dataSize) {
    return Memory.RegQueryValueExA(key, valueName, type, data, dataSize);
}

long SandboxRegistry::RegDeleteValueA(HKEY key, std::string_view valueName) {
    if (Protected(key)) {
        return reg::AccessDenied;
    }
    return Saved(Memory.RegDeleteValueA(key, valueName));
}

long SandboxRegistry::RegDeleteKeyA(HKEY key, std::string_view subKey) {
    if (Protected(key)) {
        return reg::AccessDenied;
    }
    return Saved(Memory.RegDeleteKeyA(key, subKey));
}

long SandboxRegistry::RegEnumKeyExA(HKEY key, std::uint32_t index, char* name,
                                    std::uint32_t& nameLength) {
    return Memory.RegEnumKeyExA(key, index, name, nameLength);
}

long SandboxRegistry::RegEnumValueA(HKEY key, std::uint32_t index, char* valueName,
                                    std::uint32_t& valueNameLength, std::uint32_t* type, char* data,
                                    std::uint32_t* dataSize) {
    return Memory.RegEnumValueA(key, index, valueName, valueNameLength, type, data, dataSize);
}

long SandboxRegistry::RegCloseKey(HKEY key) {
    const long status = Memory.RegCloseKey(key);
    if (status == reg::Success) {
        MachineWide.erase(key);
    }
    return status;
}

} // namespace platform
