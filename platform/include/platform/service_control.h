// The service control calls the uninstaller makes to stop and delete a Windows NT
// service an installation created, with the Win32 names, arguments, results and error
// codes of their ANSI forms.
#pragma once

#include "platform/unique_handle.h"

#include <cstdint>
#include <string_view>

namespace platform {

/// A service control manager or a service (SC_HANDLE); NullService on failure.
enum class ServiceHandle : std::intptr_t {};
inline constexpr ServiceHandle NullService = ServiceHandle{0};

namespace svc {
inline constexpr std::uint32_t ManagerConnect = 0x1;          ///< SC_MANAGER_CONNECT
inline constexpr std::uint32_t ManagerCreateService = 0x2;    ///< SC_MANAGER_CREATE_SERVICE
inline constexpr std::uint32_t ManagerEnumerateService = 0x4; ///< SC_MANAGER_ENUMERATE_SERVICE
inline constexpr std::uint32_t ManagerAllAccess = 0xF003F;    ///< SC_MANAGER_ALL_ACCESS

inline constexpr std::uint32_t QueryStatus = 0x4;   ///< SERVICE_QUERY_STATUS
inline constexpr std::uint32_t Stop = 0x20;         ///< SERVICE_STOP
inline constexpr std::uint32_t Interrogate = 0x80;  ///< SERVICE_INTERROGATE
inline constexpr std::uint32_t Delete = 0x10000;    ///< DELETE
inline constexpr std::uint32_t AllAccess = 0xF01FF; ///< SERVICE_ALL_ACCESS

inline constexpr std::uint32_t Win32OwnProcess = 0x10; ///< SERVICE_WIN32_OWN_PROCESS
inline constexpr std::uint32_t DemandStart = 3;        ///< SERVICE_DEMAND_START
inline constexpr std::uint32_t ErrorNormal = 1;        ///< SERVICE_ERROR_NORMAL

inline constexpr std::uint32_t ControlStop = 1;        ///< SERVICE_CONTROL_STOP
inline constexpr std::uint32_t ControlInterrogate = 4; ///< SERVICE_CONTROL_INTERROGATE

inline constexpr std::uint32_t Stopped = 1;      ///< SERVICE_STOPPED
inline constexpr std::uint32_t Running = 4;      ///< SERVICE_RUNNING
inline constexpr std::uint32_t AcceptStop = 0x1; ///< SERVICE_ACCEPT_STOP

inline constexpr std::uint32_t CallNotImplemented = 120;      ///< ERROR_CALL_NOT_IMPLEMENTED
inline constexpr std::uint32_t InvalidServiceControl = 1052;  ///< ERROR_INVALID_SERVICE_CONTROL
inline constexpr std::uint32_t ServiceDoesNotExist = 1060;    ///< ERROR_SERVICE_DOES_NOT_EXIST
inline constexpr std::uint32_t ServiceNotActive = 1062;       ///< ERROR_SERVICE_NOT_ACTIVE
inline constexpr std::uint32_t ServiceMarkedForDelete = 1072; ///< ERROR_SERVICE_MARKED_FOR_DELETE
inline constexpr std::uint32_t ServiceExists = 1073;          ///< ERROR_SERVICE_EXISTS
} // namespace svc

/// SERVICE_STATUS.
struct ServiceStatus {
    std::uint32_t ServiceType = 0;
    std::uint32_t CurrentState = 0;
    std::uint32_t ControlsAccepted = 0;
    std::uint32_t Win32ExitCode = 0;
    std::uint32_t ServiceSpecificExitCode = 0;
    std::uint32_t CheckPoint = 0;
    std::uint32_t WaitHint = 0;
};

/// Every call sets the last error on failure, as its Win32 namesake does. Service names
/// are compared ignoring case.
class ServiceControlService {
public:
    virtual ~ServiceControlService() = default;

    /// Connects to the local machine's service control manager (null or empty
    /// `machineName` and `databaseName`). Rights beyond connecting and reading need
    /// administrator rights: without them the call fails with ERROR_ACCESS_DENIED, which
    /// is how the uninstaller tells. The Windows 95 family has no service manager.
    virtual ServiceHandle OpenSCManagerA(const char* machineName, const char* databaseName,
                                         std::uint32_t desiredAccess) = 0;
    virtual ServiceHandle OpenServiceA(ServiceHandle manager, std::string_view serviceName,
                                       std::uint32_t desiredAccess) = 0;
    /// Registers a service whose program is `binaryPathName`; the load order group,
    /// dependencies, account and password, which nothing here sets, are left out.
    virtual ServiceHandle CreateServiceA(ServiceHandle manager, std::string_view serviceName,
                                         std::string_view displayName, std::uint32_t desiredAccess,
                                         std::uint32_t serviceType, std::uint32_t startType,
                                         std::uint32_t errorControl,
                                         std::string_view binaryPathName) = 0;
    /// Sends `control` (svc::ControlStop, ControlInterrogate); `status` receives the
    /// service's status after it.
    virtual bool ControlService(ServiceHandle service, std::uint32_t control,
                                ServiceStatus& status) = 0;
    virtual bool QueryServiceStatus(ServiceHandle service, ServiceStatus& status) = 0;
    /// Marks the service for deletion; it goes once it is stopped and its last handle
    /// is closed.
    virtual bool DeleteService(ServiceHandle service) = 0;
    virtual bool CloseServiceHandle(ServiceHandle handle) = 0;

    virtual std::uint32_t GetLastError() = 0;
};

/// Closes a manager or service handle through the service that gave it.
struct ServiceCloser {
    using Handle = ServiceHandle;
    static constexpr Handle Null = NullService;
    ServiceControlService* Services = nullptr;
    void Release(Handle handle) { Services->CloseServiceHandle(handle); }
};
using UniqueService = UniqueHandle<ServiceCloser>;

} // namespace platform
