// The uninstaller's services on Windows itself, for Rescind32.exe and its tests.
#pragma once

#include "installer/uninstaller/uninstall_services.h"
#include "platform/win32/win32_dde.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_library.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_service_control.h"
#include "platform/win32/win32_system_info.h"

namespace rescind {

/// Every Win32 service and their bundle; `boxes` answers the message boxes and must
/// outlive this.
struct Win32Services {
    explicit Win32Services(platform::MessageBoxService& boxes)
        : Bundle{Files,          Registry, Profile,   System, Processes,
                 ServiceControl, Dde,      Libraries, boxes} {}
    Win32Services(const Win32Services&) = delete;
    Win32Services& operator=(const Win32Services&) = delete;

    platform::Win32Files Files;
    platform::Win32Registry Registry;
    platform::Win32Profile Profile;
    platform::Win32SystemInfo System;
    platform::Win32Processes Processes;
    platform::Win32ServiceControl ServiceControl;
    platform::Win32Dde Dde;
    platform::Win32LibraryService Libraries;
    UninstallServices Bundle;
};

} // namespace rescind
