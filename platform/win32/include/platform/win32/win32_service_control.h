// Service control on Windows: a pass-through to ADVAPI32.
#pragma once

#include "platform/service_control.h"

namespace platform {

class Win32ServiceControl final : public ServiceControlService {
public:
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
};

} // namespace platform
