// Service control that fails on purpose at a chosen use of a chosen call.
#include "platform/headless/fault_injection_service_control.h"

namespace platform {

bool FaultInjectingServiceControl::Fails(ServiceControlCall call) {
    Injected = Plan.Use(call);
    return Injected.has_value();
}

ServiceHandle FaultInjectingServiceControl::OpenSCManagerA(const char* machineName,
                                                           const char* databaseName,
                                                           std::uint32_t desiredAccess) {
    return Fails(ServiceControlCall::OpenSCManagerA)
               ? NullService
               : Inner.OpenSCManagerA(machineName, databaseName, desiredAccess);
}

ServiceHandle FaultInjectingServiceControl::OpenServiceA(ServiceHandle manager,
                                                         std::string_view serviceName,
                                                         std::uint32_t desiredAccess) {
    return Fails(ServiceControlCall::OpenServiceA)
               ? NullService
               : Inner.OpenServiceA(manager, serviceName, desiredAccess);
}

ServiceHandle FaultInjectingServiceControl::CreateServiceA(
    ServiceHandle manager, std::string_view serviceName, std::string_view displayName,
    std::uint32_t desiredAccess, std::uint32_t serviceType, std::uint32_t startType,
    std::uint32_t errorControl, std::string_view binaryPathName) {
    return Fails(ServiceControlCall::CreateServiceA)
               ? NullService
               : Inner.CreateServiceA(manager, serviceName, displayName, desiredAccess, serviceType,
                                      startType, errorControl, binaryPathName);
}

bool FaultInjectingServiceControl::ControlService(ServiceHandle service, std::uint32_t control,
                                                  ServiceStatus& status) {
    return !Fails(ServiceControlCall::ControlService) &&
           Inner.ControlService(service, control, status);
}

bool FaultInjectingServiceControl::QueryServiceStatus(ServiceHandle service,
                                                      ServiceStatus& status) {
    return !Fails(ServiceControlCall::QueryServiceStatus) &&
           Inner.QueryServiceStatus(service, status);
}

bool FaultInjectingServiceControl::DeleteService(ServiceHandle service) {
    return !Fails(ServiceControlCall::DeleteService) && Inner.DeleteService(service);
}

bool FaultInjectingServiceControl::CloseServiceHandle(ServiceHandle handle) {
    return !Fails(ServiceControlCall::CloseServiceHandle) && Inner.CloseServiceHandle(handle);
}

std::uint32_t FaultInjectingServiceControl::GetLastError() {
    return Injected ? *Injected : Inner.GetLastError();
}

} // namespace platform
