// Service control on the sandbox machine: services live in its registry, as on Windows,
// and whether they run in a list in its machine folder.
#pragma once

#include "platform/posix/sandbox_machine.h"
#include "platform/registry.h"
#include "platform/service_control.h"

#include <map>
#include <string>
#include <vector>

namespace platform {

/// A service is a key under HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services with a
/// "Type" value; CreateServiceA writes Type, Start, ErrorControl, ImagePath, DisplayName
/// and ObjectName there. The services that run are listed, one name a line, in
/// running_services.txt in the machine folder (SetRunning writes it); stopping one takes
/// it off. DeleteService sets the key's "DeleteFlag" as Windows does, and the key goes
/// once the service is stopped and its last handle closed. Without administrator rights
/// only connecting, querying and interrogating are allowed; a Windows 95 family machine
/// has no service manager (svc::CallNotImplemented).
class SandboxServiceControl final : public ServiceControlService {
public:
    static constexpr const char* RunningFile = "running_services.txt";

    /// Services are read from and written to `registry`, the machine's registry.
    SandboxServiceControl(const SandboxMachine& machine, RegistryService& registry)
        : Machine(machine), Registry(registry) {}
    SandboxServiceControl(const SandboxServiceControl&) = delete;
    SandboxServiceControl& operator=(const SandboxServiceControl&) = delete;

    /// Lists the service as running or takes it off the list.
    static bool SetRunning(const SandboxMachine& machine, std::string_view serviceName,
                           bool running);

    ServiceHandle OpenSCManagerA(const char* machineName, const char* databaseName,
                                 std::uint32_t desiredAccess) override;
    ServiceHandle OpenServiceA(ServiceHandle manager, std::string_view serviceName,
                               std::uint32_t desiredAccess) override;
    ServiceHandle CreateServiceA(ServiceHandle manager, std::string_view serviceName,
                                 std::string_view displayName, std::uint32_t desiredAccess,
                                 std::uint32_t serviceType, std::uint32_t startType,
                                 std::uint32_t errorControl,
                                 std::string_view binaryPathName) override;
    bool ControlService(ServiceHandle service, std::uint32_t control,
                        ServiceStatus& status) override;
    bool QueryServiceStatus(ServiceHandle service, ServiceStatus& status) override;
    bool DeleteService(ServiceHandle service) override;
    bool CloseServiceHandle(ServiceHandle handle) override;
    std::uint32_t GetLastError() override { return LastError; }

private:
    struct OpenHandle {
        bool Manager = false;
        std::string Name;
        std::uint32_t Access = 0;
    };

    ServiceHandle FailHandle(std::uint32_t error) {
        LastError = error;
        return NullService;
    }
    bool Fail(std::uint32_t error) {
        LastError = error;
        return false;
    }
    OpenHandle* Find(ServiceHandle handle, bool manager);
    ServiceHandle Add(OpenHandle handle);
    /// The service's DWORD value; false when the service or the value is missing.
    bool ReadNumber(const std::string& name, std::string_view value, std::uint32_t& number);
    bool IsRunning(const std::string& name) const;
    ServiceStatus StatusOf(const std::string& name);
    /// Removes a service marked for deletion once it is stopped and has no handle.
    void RemoveIfDeleted(const std::string& name);

    const SandboxMachine& Machine;
    RegistryService& Registry;
    std::map<std::intptr_t, OpenHandle> Handles;
    std::intptr_t NextHandle = 0x300;
    std::uint32_t LastError = 0;
};

} // namespace platform
