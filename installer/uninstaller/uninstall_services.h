// The machine services the uninstaller works through, and what it asks of its user
// interface while it removes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class DdeService;
class FileService;
class LibraryService;
class MessageBoxService;
class ProcessService;
class ProfileService;
class RegistryService;
class ServiceControlService;
class SystemInfoService;
} // namespace platform

namespace rescind {

/// All outlive the run that uses them.
struct UninstallServices {
    platform::FileService& Files;
    platform::RegistryService& Registry;
    platform::ProfileService& Profile;
    platform::SystemInfoService& System;
    platform::ProcessService& Processes;
    platform::ServiceControlService& ServiceControl;
    platform::DdeService& Dde;
    platform::LibraryService& Libraries;
    platform::MessageBoxService& Boxes;
};

enum class SharedFileAnswer { Remove, Keep, KeepAll };
enum class RunningServerAnswer { Abort, Retry, Ignore };

/// The removal's window onto the user: the wizard's status text and progress bar, its
/// cancel button and the questions it asks.
class RemovalUi {
public:
    virtual ~RemovalUi() = default;
    /// `message` is a status text followed by the item it names.
    virtual void Status(std::string_view message) = 0;
    virtual void Progress(int done, int total) = 0;
    /// The user asked to cancel; the removal stops at the next item.
    virtual bool Cancelled() = 0;
    /// The shared-file dialog: `question` holds both of its texts.
    virtual SharedFileAnswer AskSharedFile(std::string_view question) = 0;
    /// Whether a window of the class is open (the InterBase server's "IB_Server").
    virtual bool WindowClassExists(std::string_view windowClass) = 0;
    virtual RunningServerAnswer AskServerRunning(std::string_view message) = 0;
    /// Lets time pass (a service stopping).
    virtual void Pause(std::uint32_t milliseconds) = 0;
};

/// The user interface of a removal nobody watches: no questions (shared files are kept,
/// a running database server aborts), no cancel, no pauses.
class QuietRemovalUi final : public RemovalUi {
public:
    void Status(std::string_view) override {}
    void Progress(int, int) override {}
    bool Cancelled() override { return false; }
    SharedFileAnswer AskSharedFile(std::string_view) override { return SharedFileAnswer::Keep; }
    bool WindowClassExists(std::string_view) override { return false; }
    RunningServerAnswer AskServerRunning(std::string_view) override {
        return RunningServerAnswer::Abort;
    }
    void Pause(std::uint32_t) override {}
};

} // namespace rescind
