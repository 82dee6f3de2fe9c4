// Service control on Windows: pass-throughs.
#include "platform/win32/win32_service_control.h"

// After our headers: it makes macros of Win32 names.
#include "win32_api.h"
// The service manager's calls, which the lean set leaves out.
#include <string>
#include <winsvc.h>

namespace platform {

namespace {

SC_HANDLE Native(ServiceHandle handle) {
    return reinterpret_cast<SC_HANDLE>(static_cast<std::intptr_t>(handle));
}

ServiceHandle FromNative(SC_HANDLE handle) {
    return ServiceHandle{reinterpret_cast<std::intptr_t>(handle)};
}

ServiceStatus FromNative(const SERVICE_STATUS& native) {
    return {native.dwServiceType,
            native.dwCurrentState,
            native.dwControlsAccepted,
            native.dwWin32ExitCode,
            native.dwServiceSpecificExitCode,
            native.dwCheckPoint,
            native.dwWaitHint};
}

} // namespace

ServiceHandle Win32ServiceControl::OpenSCManagerA(const char* machineName, const char* databaseName,
                                                  std::uint32_t desiredAccess) {
    return FromNative(::OpenSCManagerA(machineName, databaseName, desiredAccess));
}

ServiceHandle Win32ServiceControl::OpenServiceA(ServiceHandle manager, std::string_view serviceName,
                                                std::uint32_t desiredAccess) {
    const std::string nameZ(serviceName);
    return FromNative(::OpenServiceA(Native(manager), nameZ.c_str(), desiredAccess));
}

ServiceHandle
Win32ServiceControl::CreateServiceA(ServiceHandle manager, std::string_view serviceName,
                                    std::string_view displayName, std::uint32_t desiredAccess,
                                    std::uint32_t serviceType, std::uint32_t startType,
                                    std::uint32_t errorControl, std::string_view binaryPathName) {
    const std::string nameZ(serviceName);
    const std::string displayNameZ(displayName);
    const std::string binaryZ(binaryPathName);
    return FromNative(::CreateServiceA(
        Native(manager), nameZ.c_str(), displayNameZ.c_str(), desiredAccess, serviceType, startType,
        errorControl, binaryZ.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
}

bool Win32ServiceControl::ControlService(ServiceHandle service, std::uint32_t control,
                                         ServiceStatus& status) {
    SERVICE_STATUS native{};
    const bool done = ::ControlService(Native(service), control, &native) != FALSE;
    status = FromNative(native);
    return done;
}

bool Win32ServiceControl::QueryServiceStatus(ServiceHandle service, ServiceStatus& status) {
    SERVICE_STATUS native{};
    const bool done = ::QueryServiceStatus(Native(service), &native) != FALSE;
    status = FromNative(native);
    return done;
}

bool Win32ServiceControl::DeleteService(ServiceHandle service) {
    return ::DeleteService(Native(service)) != FALSE;
}

bool Win32ServiceControl::CloseServiceHandle(ServiceHandle handle) {
    return ::CloseServiceHandle(Native(handle)) != FALSE;
}

std::uint32_t Win32ServiceControl::GetLastError() {
    return ::GetLastError();
}

} // namespace platform
