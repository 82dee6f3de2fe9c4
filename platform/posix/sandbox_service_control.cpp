// The sandbox machine's services: keys of its registry, a running list in its folder.
#include "platform/posix/sandbox_service_control.h"

#include "platform/ansi_text.h"
#include "platform/files.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace platform {

namespace {

constexpr std::string_view ServicesKey = "SYSTEM\\CurrentControlSet\\Services\\";
constexpr std::uint32_t DatabaseDoesNotExist = 1065; // ERROR_DATABASE_DOES_NOT_EXIST
constexpr std::uint32_t ServerUnavailable = 1722;    // RPC_S_SERVER_UNAVAILABLE
constexpr std::uint32_t ServiceNameLimit = 256;

// What a user without administrator rights may ask of the manager and of a service:
// connect, enumerate, query, interrogate and read.
constexpr std::uint32_t ReadRights = 0x80000000u | 0x20000u;
constexpr std::uint32_t ManagerUserRights =
    ReadRights | svc::ManagerConnect | svc::ManagerEnumerateService | 0x10u;
constexpr std::uint32_t ServiceUserRights =
    ReadRights | 0x1u | svc::QueryStatus | 0x8u | svc::Interrogate | 0x100u;

// The list is read up to 64 KB, far more than a machine's services take; the rest of a
// larger file is not looked at.
std::vector<std::string> ReadRunning(const SandboxMachine& machine) {
    std::ifstream file(machine.Folder() / SandboxServiceControl::RunningFile, std::ios::binary);
    std::string text(64 * 1024, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end > start) {
            names.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

bool IsServiceName(std::string_view name) {
    return !name.empty() && name.size() <= ServiceNameLimit &&
           name.find_first_of("\\/") == std::string_view::npos;
}

std::string KeyOf(std::string_view name) {
    return std::string(ServicesKey) + std::string(name);
}

// Deletes `subKey` of `parent` with everything below it, deepest first, as the NT
// registry deletes only keys without subkeys.
long DeleteTree(RegistryService& registry, HKEY parent, const std::string& subKey) {
    HKEY opened = nullptr;
    long status = registry.RegOpenKeyExA(parent, subKey, 0, reg::KeyAllAccess, opened);
    if (status != reg::Success) {
        return status;
    }
    UniqueRegistryKey key(opened, RegistryKeyTraits{&registry});
    std::array<char, 256> name{};
    for (;;) {
        std::uint32_t length = name.size();
        if (registry.RegEnumKeyExA(key.Get(), 0, name.data(), length) != reg::Success) {
            break;
        }
        if (DeleteTree(registry, key.Get(), std::string(name.data(), length)) != reg::Success) {
            break;
        }
    }
    key.Reset();
    return registry.RegDeleteKeyA(parent, subKey);
}

} // namespace

bool SandboxServiceControl::SetRunning(const SandboxMachine& machine, std::string_view serviceName,
                                       bool running) {
    std::vector<std::string> names = ReadRunning(machine);
    std::erase_if(names,
                  [&](const std::string& name) { return EqualsIgnoringCase(name, serviceName); });
    if (running) {
        names.emplace_back(serviceName);
    }
    std::ofstream file(machine.Folder() / RunningFile, std::ios::binary | std::ios::trunc);
    for (const std::string& name : names) {
        file << name << '\n';
    }
    return static_cast<bool>(file);
}

bool SandboxServiceControl::IsRunning(const std::string& name) const {
    const std::vector<std::string> names = ReadRunning(Machine);
    return std::any_of(names.begin(), names.end(), [&](const std::string& running) {
        return EqualsIgnoringCase(running, name);
    });
}

SandboxServiceControl::OpenHandle* SandboxServiceControl::Find(ServiceHandle handle, bool manager) {
    auto it = Handles.find(static_cast<std::intptr_t>(handle));
    return it == Handles.end() || it->second.Manager != manager ? nullptr : &it->second;
}

ServiceHandle SandboxServiceControl::Add(OpenHandle handle) {
    const std::intptr_t value = NextHandle;
    NextHandle += 4;
    Handles.emplace(value, std::move(handle));
    return ServiceHandle{value};
}

bool SandboxServiceControl::ReadNumber(const std::string& name, std::string_view value,
                                       std::uint32_t& number) {
    HKEY opened = nullptr;
    if (Registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyOf(name), 0, reg::KeyRead, opened) !=
        reg::Success) {
        return false;
    }
    UniqueRegistryKey key(opened, RegistryKeyTraits{&Registry});
    std::uint32_t type = 0;
    std::array<char, 4> data{};
    std::uint32_t size = data.size();
    if (Registry.RegQueryValueExA(key.Get(), value, &type, data.data(), &size) != reg::Success ||
        type != reg::Dword || size != 4) {
        return false;
    }
    number = static_cast<std::uint32_t>(static_cast<unsigned char>(data[0])) |
             static_cast<std::uint32_t>(static_cast<unsigned char>(data[1])) << 8 |
             static_cast<std::uint32_t>(static_cast<unsigned char>(data[2])) << 16 |
             static_cast<std::uint32_t>(static_cast<unsigned char>(data[3])) << 24;
    return true;
}

ServiceStatus SandboxServiceControl::StatusOf(const std::string& name) {
    ServiceStatus status;
    ReadNumber(name, "Type", status.ServiceType);
    const bool running = IsRunning(name);
    status.CurrentState = running ? svc::Running : svc::Stopped;
    status.ControlsAccepted = running ? svc::AcceptStop : 0;
    return status;
}

void SandboxServiceControl::RemoveIfDeleted(const std::string& name) {
    std::uint32_t deleteFlag = 0;
    const bool held = std::any_of(Handles.begin(), Handles.end(), [&](const auto& entry) {
        return !entry.second.Manager && EqualsIgnoringCase(entry.second.Name, name);
    });
    if (!held && ReadNumber(name, "DeleteFlag", deleteFlag) && deleteFlag != 0 &&
        !IsRunning(name)) {
        DeleteTree(Registry, HKEY_LOCAL_MACHINE, KeyOf(name));
    }
}

ServiceHandle SandboxServiceControl::OpenSCManagerA(const char* machineName,
                                                    const char* databaseName,
                                                    std::uint32_t desiredAccess) {
    const MachineDescription& machine = Machine.Description();
    if (machine.Family == WindowsFamily::Windows95) {
        return FailHandle(svc::CallNotImplemented);
    }
    if (machineName != nullptr && *machineName != '\0') {
        std::string_view name(machineName);
        if (name.starts_with("\\\\")) {
            name.remove_prefix(2);
        }
        if (!EqualsIgnoringCase(name, machine.ComputerName)) {
            return FailHandle(ServerUnavailable);
        }
    }
    if (databaseName != nullptr && *databaseName != '\0' &&
        !EqualsIgnoringCase(databaseName, "ServicesActive")) {
        return FailHandle(DatabaseDoesNotExist);
    }
    if (!machine.Admin && (desiredAccess & ~ManagerUserRights) != 0) {
        return FailHandle(winerror::AccessDenied);
    }
    return Add({true, {}, desiredAccess});
}

ServiceHandle SandboxServiceControl::OpenServiceA(ServiceHandle manager,
                                                  std::string_view serviceName,
                                                  std::uint32_t desiredAccess) {
    if (Find(manager, true) == nullptr) {
        return FailHandle(winerror::InvalidHandle);
    }
    if (!IsServiceName(serviceName)) {
        return FailHandle(winerror::InvalidName);
    }
    const std::string name(serviceName);
    std::uint32_t type = 0;
    if (!ReadNumber(name, "Type", type)) {
        return FailHandle(svc::ServiceDoesNotExist);
    }
    if (!Machine.Description().Admin && (desiredAccess & ~ServiceUserRights) != 0) {
        return FailHandle(winerror::AccessDenied);
    }
    return Add({false, name, desiredAccess});
}

ServiceHandle
SandboxServiceControl::CreateServiceA(ServiceHandle manager, std::string_view serviceName,
                                      std::string_view displayName, std::uint32_t desiredAccess,
                                      std::uint32_t serviceType, std::uint32_t startType,
                                      std::uint32_t errorControl, std::string_view binaryPathName) {
    const OpenHandle* opened = Find(manager, true);
    if (opened == nullptr) {
        return FailHandle(winerror::InvalidHandle);
    }
    if ((opened->Access & svc::ManagerCreateService) == 0) {
        return FailHandle(winerror::AccessDenied);
    }
    if (!IsServiceName(serviceName)) {
        return FailHandle(winerror::InvalidName);
    }
    if (binaryPathName.empty()) {
        return FailHandle(winerror::InvalidParameter);
    }
    const std::string name(serviceName);
    std::uint32_t number = 0;
    if (ReadNumber(name, "DeleteFlag", number) && number != 0) {
        return FailHandle(svc::ServiceMarkedForDelete);
    }
    if (ReadNumber(name, "Type", number)) {
        return FailHandle(svc::ServiceExists);
    }
    HKEY created = nullptr;
    long status = Registry.RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyOf(name), reg::OptionNonVolatile,
                                           reg::KeyAllAccess, created, nullptr);
    if (status != reg::Success) {
        return FailHandle(static_cast<std::uint32_t>(status));
    }
    UniqueRegistryKey key(created, RegistryKeyTraits{&Registry});
    const auto setNumber = [&](std::string_view value, std::uint32_t data) {
        const char bytes[4] = {static_cast<char>(data), static_cast<char>(data >> 8),
                               static_cast<char>(data >> 16), static_cast<char>(data >> 24)};
        return Registry.RegSetValueExA(key.Get(), value, reg::Dword, bytes);
    };
    const auto setText = [&](std::string_view value, std::uint32_t type, std::string_view text) {
        std::string data(text);
        data.push_back('\0');
        return Registry.RegSetValueExA(key.Get(), value, type, data);
    };
    const std::string display(displayName.empty() ? serviceName : displayName);
    for (long step :
         {setNumber("Start", startType), setNumber("ErrorControl", errorControl),
          setText("ImagePath", reg::ExpandSz, binaryPathName),
          setText("DisplayName", reg::Sz, display), setText("ObjectName", reg::Sz, "LocalSystem"),
          // Last: the Type value makes the key a service.
          setNumber("Type", serviceType)}) {
        status = status == reg::Success ? step : status;
    }
    if (status != reg::Success) {
        key.Reset();
        DeleteTree(Registry, HKEY_LOCAL_MACHINE, KeyOf(name));
        return FailHandle(static_cast<std::uint32_t>(status));
    }
    return Add({false, name, desiredAccess});
}

bool SandboxServiceControl::ControlService(ServiceHandle service, std::uint32_t control,
                                           ServiceStatus& status) {
    const OpenHandle* opened = Find(service, false);
    if (opened == nullptr) {
        return Fail(winerror::InvalidHandle);
    }
    const std::uint32_t needed = control == svc::ControlStop          ? svc::Stop
                                 : control == svc::ControlInterrogate ? svc::Interrogate
                                                                      : 0x40u; // PAUSE_CONTINUE
    if ((opened->Access & needed) == 0) {
        return Fail(winerror::AccessDenied);
    }
    const std::string name = opened->Name;
    status = StatusOf(name);
    if (status.CurrentState != svc::Running) {
        return Fail(svc::ServiceNotActive);
    }
    if (control == svc::ControlInterrogate) {
        return true;
    }
    if (control != svc::ControlStop) {
        return Fail(svc::InvalidServiceControl);
    }
    SetRunning(Machine, name, false);
    status = StatusOf(name);
    return true;
}

bool SandboxServiceControl::QueryServiceStatus(ServiceHandle service, ServiceStatus& status) {
    const OpenHandle* opened = Find(service, false);
    if (opened == nullptr) {
        return Fail(winerror::InvalidHandle);
    }
    if ((opened->Access & svc::QueryStatus) == 0) {
        return Fail(winerror::AccessDenied);
    }
    status = StatusOf(opened->Name);
    return true;
}

bool SandboxServiceControl::DeleteService(ServiceHandle service) {
    const OpenHandle* opened = Find(service, false);
    if (opened == nullptr) {
        return Fail(winerror::InvalidHandle);
    }
    if ((opened->Access & svc::Delete) == 0) {
        return Fail(winerror::AccessDenied);
    }
    std::uint32_t deleteFlag = 0;
    if (ReadNumber(opened->Name, "DeleteFlag", deleteFlag) && deleteFlag != 0) {
        return Fail(svc::ServiceMarkedForDelete);
    }
    HKEY key = nullptr;
    long status =
        Registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyOf(opened->Name), 0, reg::KeyAllAccess, key);
    if (status != reg::Success) {
        return Fail(svc::ServiceDoesNotExist);
    }
    UniqueRegistryKey owned(key, RegistryKeyTraits{&Registry});
    const char one[4] = {1, 0, 0, 0};
    status = Registry.RegSetValueExA(owned.Get(), "DeleteFlag", reg::Dword, one);
    return status == reg::Success || Fail(static_cast<std::uint32_t>(status));
}

bool SandboxServiceControl::CloseServiceHandle(ServiceHandle handle) {
    auto it = Handles.find(static_cast<std::intptr_t>(handle));
    if (it == Handles.end()) {
        return Fail(winerror::InvalidHandle);
    }
    const OpenHandle closed = std::move(it->second);
    Handles.erase(it);
    if (!closed.Manager) {
        RemoveIfDeleted(closed.Name);
    }
    return true;
}

} // namespace platform
