// Opcode 21: one fact about the machine into a variable.
#include "system_information_action.h"

#include "date_rules.h"
#include "engine.h"
#include "install_context.h"
#include "installer/log/local_clock.h"
#include "platform/ansi_text.h"
#include "platform/machine_services.h"
#include "version_compare.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace vorn {

namespace {

constexpr std::uint8_t GetSystemInformation = 21;

template <typename... Args> std::string Format(const char* format, Args... args) {
    std::array<char, 96> text{};
    const int written = std::snprintf(text.data(), text.size(), format, args...);
    return written > 0 ? std::string(text.data()) : std::string();
}

bool IsWindowsNt(const platform::OsVersionInfo& version) {
    return version.PlatformId == platform::sysinfo::PlatformNT;
}

platform::OsVersionInfo Version(platform::MachineServices& machine) {
    platform::OsVersionInfo version;
    machine.System().GetVersionExA(version);
    return version;
}

// The build number alone: the 95 family repeats the version in its high word.
long BuildNumber(const platform::OsVersionInfo& version) {
    return static_cast<long>(IsWindowsNt(version) ? version.BuildNumber
                                                  : version.BuildNumber & 0xFFFFu);
}

// The DOS that the system carries: 7.0 under Windows 95, 7.10 under 98, 8.0 under Me;
// Windows NT's DOS boxes report 5.50.
std::string DosVersion(const platform::OsVersionInfo& version) {
    if (IsWindowsNt(version) || version.MajorVersion < 4) {
        return "5.50";
    }
    if (version.MinorVersion >= 90) {
        return "8.0";
    }
    return Format("%d.%d", 7, static_cast<int>(version.MinorVersion));
}

// "MM/DD/YY H:MM:SS" of the file's last-write stamp as local DOS date and time.
std::string FileDateTime(platform::FileService& files, std::string_view path) {
    std::optional<DosStamp> stamp = ReadDosStamp(files, path);
    if (!stamp) {
        return {};
    }
    return Format("%02d/%02d/%02d %d:%02d:%02d", (stamp->Date >> 5) & 0x0F, stamp->Date & 0x1F,
                  ((stamp->Date >> 9) + 80) % 100, stamp->Time >> 11, (stamp->Time >> 5) & 0x3F,
                  (stamp->Time & 0x1F) * 2);
}

std::string FileVersion(platform::MachineServices& machine, std::string_view path) {
    std::optional<VersionRecord> record =
        ReadVersionRecord(machine.Versions(), machine.Files(), path);
    if (!record) {
        return {};
    }
    return Format("%d.%d.%d.%d", static_cast<int>(record->VersionMs >> 16),
                  static_cast<int>(record->VersionMs & 0xFFFF),
                  static_cast<int>(record->VersionLs >> 16),
                  static_cast<int>(record->VersionLs & 0xFFFF));
}

std::string FileSize(platform::FileService& files, std::string_view path) {
    platform::FindData found;
    platform::UniqueFind search(files.FindFirstFileA(path, found), platform::FindCloser{&files});
    if (!search || (found.FileAttributes & platform::file::AttributeDirectory) != 0) {
        return {};
    }
    return Format("%ld", static_cast<long>(static_cast<std::int32_t>(found.FileSizeLow)));
}

// The registered owner or organization. 32-bit code cannot read the string table of the
// 16-bit USER.EXE, so the 95 family's copy of the two texts in its registry is read.
std::string Registered(platform::MachineServices& machine, std::string_view valueName) {
    const bool nt = IsWindowsNt(Version(machine));
    platform::RegistryService& registry = machine.Registry();
    platform::HKEY key = nullptr;
    if (registry.RegOpenKeyExA(platform::HKEY_LOCAL_MACHINE,
                               nt ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                                  : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                               0, platform::reg::KeyRead, key) != platform::reg::Success) {
        return {};
    }
    platform::UniqueRegistryKey owned(key, platform::RegistryKeyTraits{&registry});
    unsigned long type = 0;
    unsigned long size = 256;
    std::string value;
    if (registry.RegQueryValueExA(key, valueName, type, value, size) != platform::reg::Success ||
        type != platform::reg::Sz) {
        return {};
    }
    value.resize(value.find('\0') == std::string::npos ? value.size() : value.find('\0'));
    while (!value.empty() && value.back() == ' ') {
        value.pop_back();
    }
    return value;
}

// "X:\" of a parameter that starts with a drive letter; empty otherwise.
std::string DriveRoot(std::string_view parameter) {
    if (parameter.empty() || !std::isalpha(static_cast<unsigned char>(parameter[0])) ||
        (parameter.size() > 1 && parameter[1] != ':')) {
        return {};
    }
    return std::string(1, platform::UpperAnsi(parameter[0])) + ":\\";
}

std::string DriveTypeLetter(platform::FileService& files, std::string_view parameter) {
    const std::string root = DriveRoot(parameter);
    if (root.empty()) {
        return {};
    }
    switch (files.GetDriveTypeA(root.c_str())) {
    case platform::file::DriveRemovable:
        return "F";
    case platform::file::DriveFixed:
        return "H";
    case platform::file::DriveRemote:
        return "N";
    case platform::file::DriveCdrom:
        return "C";
    case platform::file::DriveRamdisk:
        return "R";
    default:
        return {};
    }
}

std::string FirstDriveOfType(platform::FileService& files, std::uint32_t type) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if (files.GetDriveTypeA(root.c_str()) == type) {
            return root.substr(0, 2);
        }
    }
    return {};
}

// The share behind a path on a mapped drive, followed by the rest of the path.
std::string NetworkPath(platform::DriveService* drives, std::string_view path) {
    if (drives == nullptr || path.size() < 2 || path[1] != ':') {
        return std::string(path);
    }
    std::array<char, 256> share{};
    std::uint32_t length = 0;
    if (drives->WNetGetConnectionA(path.substr(0, 2), share, length) != 0) {
        return std::string(path);
    }
    return std::string(share.data()) + std::string(path.substr(2));
}

std::optional<platform::VolumeInformation> Volume(platform::DriveService* drives,
                                                  std::string_view parameter) {
    const std::string root = DriveRoot(parameter);
    platform::VolumeInformation volume;
    if (drives == nullptr || root.empty() || !drives->GetVolumeInformationA(root, volume)) {
        return std::nullopt;
    }
    return volume;
}

// An eight-plus-three label ("DISK0001.ABC") reads without its dot.
std::string JoinedLabel(std::string label) {
    if (label.size() > 8 && label[8] == '.') {
        label.erase(8, 1);
    }
    return label;
}

std::string NetworkUser(platform::DriveService* drives) {
    std::array<char, 256> name{};
    std::uint32_t length = 0;
    if (drives == nullptr || drives->WNetGetUserA(name, length) != 0) {
        return {};
    }
    return name.data();
}

// "Service Pack 3" gives "3"; a version without a digit in its text gives the parameter.
std::string ServicePack(const platform::OsVersionInfo& version, std::string_view parameter) {
    const std::size_t digit = version.CSDVersion.find_first_of("0123456789");
    return digit == std::string::npos ? std::string(parameter) : version.CSDVersion.substr(digit);
}

std::string Now(platform::FileService& files) {
    return DateTimeText(LocalNow(files));
}

int GetSystemInformationAction(Engine& engine, ActionRecord& record) {
    const std::string_view name = record.Once(0);
    // An empty name would be the "%%" variable, which must stay a percent sign.
    if (name.empty()) {
        return 0;
    }
    const std::string parameter = engine.Variables.Expand(record.Once(1), PathSize);
    engine.Variables.GetVariable(name, MissingVariable::CreateEmpty);
    engine.Variables.SetVariable(name, SystemInformation(engine, record.Flags(), parameter));
    return 0;
}

} // namespace

std::string SystemInformation(Engine& engine, std::uint8_t item, std::string_view parameter) {
    platform::MachineServices* machine = engine.Services.Machine;
    if (machine == nullptr) {
        return {};
    }
    platform::FileService& files = machine->Files();
    platform::DriveService* drives = machine->Drives();
    switch (item) {
    case system_item::DateTime:
        return Now(files);
    case system_item::WindowsVersion: {
        const platform::OsVersionInfo version = Version(*machine);
        return Format("%ld.%ld.%ld", static_cast<long>(version.MajorVersion),
                      static_cast<long>(version.MinorVersion), BuildNumber(version));
    }
    case system_item::DosVersion:
        return DosVersion(Version(*machine));
    case system_item::MemoryKilobytes: {
        platform::MemoryStatus memory;
        machine->System().GlobalMemoryStatus(memory);
        return Format("%u", static_cast<unsigned>(memory.TotalPhys / 1024));
    }
    case system_item::FileDateTime:
        return FileDateTime(files, parameter);
    case system_item::FileVersion:
        return FileVersion(*machine, parameter);
    case system_item::RegisteredOwner:
        return Registered(*machine, "RegisteredOwner");
    case system_item::RegisteredOrganization:
        return Registered(*machine, "RegisteredOrganization");
    case system_item::DriveType:
        return DriveTypeLetter(files, parameter);
    case system_item::FirstNetworkDrive:
        return FirstDriveOfType(files, platform::file::DriveRemote);
    case system_item::FirstCdromDrive:
        return FirstDriveOfType(files, platform::file::DriveCdrom);
    case system_item::NetworkPath:
        return NetworkPath(drives, parameter);
    case system_item::SetupProgram:
        return machine->ModuleFileName(
            engine.Services.Context != nullptr ? engine.Services.Context->SetupInstance : 0);
    case system_item::FileSize:
        return FileSize(files, parameter);
    case system_item::VolumeSerial: {
        std::optional<platform::VolumeInformation> volume = Volume(drives, parameter);
        return volume
                   ? Format("%04x-%04x", volume->SerialNumber >> 16, volume->SerialNumber & 0xFFFFu)
                   : std::string();
    }
    case system_item::VolumeLabel: {
        std::optional<platform::VolumeInformation> volume = Volume(drives, parameter);
        return volume ? JoinedLabel(volume->Label) : std::string();
    }
    case system_item::NetworkUser:
        return NetworkUser(drives);
    case system_item::ServicePack:
        return ServicePack(Version(*machine), parameter);
    default:
        return {};
    }
}

void RegisterSystemInformationActions(Engine& engine) {
    engine.Actions[GetSystemInformation] = &GetSystemInformationAction;
}

} // namespace vorn
