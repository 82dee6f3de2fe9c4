// Service control that fails on purpose at a chosen use of a chosen call.
#pragma once

#include "platform/headless/fault_injection.h"
#include "platform/service_control.h"

namespace platform {

enum class ServiceControlCall {
    OpenSCManagerA,
    OpenServiceA,
    CreateServiceA,
    ControlService,
    QueryServiceStatus,
    DeleteService,
    CloseServiceHandle,
};

/// Passes every call to `inner` unless the plan fails it: then nothing changes, the
/// call returns its failure value (NullService or false) and GetLastError reports the
/// planned error; a failed CloseServiceHandle leaves the handle open in `inner`.
class FaultInjectingServiceControl final : public ServiceControlService {
public:
    explicit FaultInjectingServiceControl(ServiceControlService& inner) : Inner(inner) {}

    FaultPlan<ServiceControlCall> Plan;

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
    std::uint32_t GetLastError() override;

private:
    bool Fails(ServiceControlCall call);

    ServiceControlService& Inner;
    std::optional<std::uint32_t> Injected;
};

} // namespace platform
