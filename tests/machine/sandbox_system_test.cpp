// What only the sandbox machine's system facts, programs and services have: answers
// from machine.ini, programs scripted by programs.ini, services a test sets running,
// and calls that fail on purpose.
#include "platform/headless/fault_injection_processes.h"
#include "platform/headless/fault_injection_service_control.h"
#include "platform/headless/fault_injection_system_info.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_processes.h"
#include "platform/posix/sandbox_registry.h"
#include "platform/posix/sandbox_service_control.h"
#include "platform/posix/sandbox_system_info.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace platform;
namespace fs = std::filesystem;

class SandboxSystemTest : public ::testing::Test {
protected:
    ~SandboxSystemTest() override {
        Registry.reset();
        fs::remove_all(Folder);
    }

    SandboxMachine& Make(const std::string& machineIni) {
        Registry.reset();
        fs::remove_all(Folder);
        fs::create_directories(Folder);
        std::ofstream(Folder / "machine.ini") << machineIni;
        fs::create_directories(Folder / "drive_c" / "WINNT" / "SYSTEM32");
        fs::create_directories(Folder / "drive_c" / "TEMP");
        auto opened = SandboxMachine::Open(Folder);
        EXPECT_EQ(opened.Error, "");
        Machine = std::move(opened.Machine);
        Files = std::make_unique<SandboxFiles>(*Machine);
        Registry = std::move(SandboxRegistry::Open(*Machine).Registry);
        return *Machine;
    }
    void Touch(const std::string& path) {
        UniqueFile file(Files->CreateFileA(path, file::GenericWrite, 0, file::CreateAlways, 0),
                        FileCloser{Files.get()});
        EXPECT_TRUE(file) << path;
    }
    ServiceHandle CreateService(ServiceControlService& services, ServiceHandle manager) {
        return services.CreateServiceA(manager, "Plandra", "", svc::AllAccess, svc::Win32OwnProcess,
                                       svc::DemandStart, svc::ErrorNormal, "C:\\PLANDRA.EXE");
    }

    fs::path Folder = fs::temp_directory_path() / ("system-sandbox-" + std::to_string(::getpid()));
    std::unique_ptr<SandboxMachine> Machine;
    std::unique_ptr<SandboxFiles> Files;
    std::unique_ptr<SandboxRegistry> Registry;
};

TEST_F(SandboxSystemTest, FactsAndRightsComeFromTheMachineDescription) {
    const struct {
        const char* Ini;
        std::uint32_t Build;
        std::uint32_t Platform;
        const char* Comspec;
        const char* Computer;
        std::uint32_t TotalPhys;
        int Width;
        std::uint32_t ManagerError; ///< Of full control over the service manager.
    } cases[] = {
        {"[Machine]\nFamily=95\n[Memory]\nKilobytes=16384", 0x040003B6u, sysinfo::PlatformWindows,
         "C:\\WINDOWS\\COMMAND.COM", "SANDBOX", 16u << 20, 800, svc::CallNotImplemented},
        {"[Machine]\nFamily=NT\nAdmin=0\nComputer=AVERYLONGCOMPUTERNAME\n[Screen]\nWidth=1024\n"
         "[Environment]\ncomspec=C:\\4DOS\\4DOS.COM",
         1381, sysinfo::PlatformNT, "C:\\4DOS\\4DOS.COM", "AVERYLONGCOMPUT", 32u << 20, 1024,
         winerror::AccessDenied},
    };
    for (const auto& c : cases) {
        SandboxMachine& machine = Make(c.Ini);
        SandboxSystemInfo info(machine);
        EXPECT_EQ(info.IsUserAnAdmin(), c.Platform == sysinfo::PlatformWindows);
        SandboxServiceControl services(machine, *Registry);
        EXPECT_EQ(services.OpenSCManagerA(nullptr, nullptr, svc::ManagerAllAccess), NullService);
        EXPECT_EQ(services.GetLastError(), c.ManagerError);
        UniqueService connected(services.OpenSCManagerA(nullptr, nullptr, svc::ManagerConnect),
                                ServiceCloser{&services});
        EXPECT_EQ(static_cast<bool>(connected), c.Platform == sysinfo::PlatformNT);
        OsVersionInfo version;
        ASSERT_TRUE(info.GetVersionExA(version));
        EXPECT_EQ(version.BuildNumber, c.Build);
        EXPECT_EQ(version.PlatformId, c.Platform);
        EXPECT_EQ(ReadSystemText([&](std::span<char> b) {
                      return info.GetEnvironmentVariableA("ComSpec", b);
                  }),
                  c.Comspec);
        std::array<char, 32> name{};
        std::uint32_t size = 0;
        ASSERT_TRUE(info.GetComputerNameA(name, size));
        EXPECT_STREQ(name.data(), c.Computer);
        MemoryStatus memory;
        info.GlobalMemoryStatus(memory);
        EXPECT_EQ(memory.TotalPhys, c.TotalPhys);
        EXPECT_EQ(info.GetSystemMetrics(sysinfo::CxScreen), c.Width);
    }
    MachineDescription reread;
    std::string error;
    ASSERT_TRUE(SandboxMachine::ParseDescription(
        SandboxMachine::DescriptionText(Machine->Description()), reread, error));
    EXPECT_EQ(reread.Environment, Machine->Description().Environment);
}

TEST_F(SandboxSystemTest, ProgramsDoWhatProgramsIniSaysAndEveryStartIsLogged) {
    SandboxMachine& machine = Make("[Machine]\nFamily=NT");
    SandboxProcesses processes(machine, *Files);
    fs::create_directories(Folder / "drive_c" / "Program Files" / "App");
    for (const char* path : {"C:\\Program Files\\App\\Setup.exe", "C:\\OLD.DLL", "C:\\OLD2.DLL",
                             "C:\\WINNT\\SYSTEM32\\TOOL.EXE"}) {
        Touch(path);
    }
    SandboxProgram setup{"c:\\program files\\app\\SETUP.EXE", 0xFFFFFFFFu, 2, "C:\\TEMP\\RAN.TXT",
                         "C:\\OLD.DLL"};
    ASSERT_TRUE(SandboxProcesses::DescribeProgram(machine, setup));

    // An unquoted path with blanks, without its extension.
    const char* commandLine = "C:\\Program Files\\App\\Setup /S";
    ProcessInformation started;
    ASSERT_TRUE(processes.CreateProcessA(nullptr, commandLine, 0, nullptr, {}, started));
    UniqueProcess process(started.Process, ProcessCloser{&processes});
    std::uint32_t exitCode = 0;
    ASSERT_TRUE(processes.GetExitCodeProcess(process.Get(), exitCode));
    EXPECT_EQ(exitCode, process::StillActive);
    EXPECT_EQ(processes.WaitForSingleObject(process.Get(), 100), process::WaitTimeout);
    EXPECT_EQ(Files->GetFileAttributesA("C:\\TEMP\\RAN.TXT"), file::InvalidAttributes);
    ASSERT_TRUE(processes.GetExitCodeProcess(process.Get(), exitCode));
    EXPECT_EQ(exitCode, 0xFFFFFFFFu);
    std::ifstream ran(Folder / "drive_c" / "TEMP" / "RAN.TXT", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(ran), {}),
              std::string(commandLine) + "\r\n");
    EXPECT_EQ(Files->GetFileAttributesA("C:\\OLD.DLL"), file::InvalidAttributes);

    EXPECT_EQ(processes.WinExec("tool /x", process::ShowNormal), 33u) << "found in SYSTEM32";
    std::ofstream(Folder / SandboxProcesses::ProgramsFile, std::ios::app)
        << "[C:\\WINNT\\SYSTEM32\\TOOL.EXE]\nExitCode=lots\n";
    EXPECT_EQ(processes.WinExec("tool", process::ShowNormal), 11u);
    EXPECT_EQ(processes.GetLastError(), process::ErrorBadExeFormat);
    EXPECT_EQ(processes.WinExec(std::string(40000, 'a'), process::ShowNormal), 11u);
    EXPECT_EQ(processes.GetLastError(), winerror::FilenameExcedRange);

    ASSERT_TRUE(Files->MoveFileExA("C:\\OLD2.DLL", nullptr, file::MoveDelayUntilReboot));
    EXPECT_TRUE(processes.ExitWindowsEx(process::ExitReboot, 0xFFFFFFFFu));
    EXPECT_EQ(Files->GetFileAttributesA("C:\\OLD2.DLL"), file::InvalidAttributes);
    const std::vector<std::string> log{"CreateProcessA: " + std::string(commandLine),
                                       "WinExec: tool /x", "WinExec: tool", "ExitWindowsEx: 2"};
    EXPECT_EQ(processes.Log(), log);
}

TEST_F(SandboxSystemTest, ARunningServiceMarkedForDeletionGoesOnceStoppedAndClosed) {
    SandboxMachine& machine = Make("[Machine]\nFamily=NT");
    SandboxServiceControl services(machine, *Registry);
    UniqueService manager(services.OpenSCManagerA(nullptr, nullptr, svc::ManagerAllAccess),
                          ServiceCloser{&services});
    UniqueService service(CreateService(services, manager.Get()), ServiceCloser{&services});
    ASSERT_TRUE(service);
    ASSERT_TRUE(SandboxServiceControl::SetRunning(machine, "PLANDRA", true));
    ServiceStatus status;
    ASSERT_TRUE(services.QueryServiceStatus(service.Get(), status));
    EXPECT_EQ(status.CurrentState, svc::Running);
    ASSERT_TRUE(services.DeleteService(service.Get()));
    service.Reset();
    service.Reset(services.OpenServiceA(manager.Get(), "plandra", svc::Stop));
    ASSERT_TRUE(service) << "a running service stays until it stops";
    ASSERT_TRUE(services.ControlService(service.Get(), svc::ControlStop, status));
    EXPECT_EQ(status.CurrentState, svc::Stopped);
    service.Reset();
    EXPECT_EQ(services.OpenServiceA(manager.Get(), "Plandra", svc::QueryStatus), NullService);
    EXPECT_EQ(services.GetLastError(), svc::ServiceDoesNotExist);
}

TEST_F(SandboxSystemTest, InjectedFaultsFailOneCallAndChangeNothing) {
    SandboxMachine& machine = Make("[Machine]\nFamily=NT");
    SandboxSystemInfo sandboxInfo(machine);
    FaultInjectingSystemInfo info(sandboxInfo);
    info.Plan.FailAt(SystemInfoCall::GetWindowsDirectoryA, 1, winerror::AccessDenied);
    std::array<char, 64> buffer{};
    EXPECT_EQ(info.GetWindowsDirectoryA(buffer), 0u);
    EXPECT_EQ(info.GetLastError(), winerror::AccessDenied);
    EXPECT_STREQ(buffer.data(), "") << "nothing written";
    EXPECT_EQ(info.GetWindowsDirectoryA(buffer), 8u);

    Touch("C:\\SETUP.EXE");
    SandboxProcesses sandboxProcesses(machine, *Files);
    FaultInjectingProcesses processes(sandboxProcesses);
    processes.Plan.FailAt(ProcessCall::CreateProcessA, 1, 8);
    ProcessInformation started;
    EXPECT_FALSE(processes.CreateProcessA(nullptr, "C:\\SETUP.EXE", 0, nullptr, {}, started));
    EXPECT_EQ(processes.GetLastError(), 8u);
    EXPECT_TRUE(sandboxProcesses.Log().empty());

    SandboxServiceControl sandboxServices(machine, *Registry);
    FaultInjectingServiceControl services(sandboxServices);
    services.Plan.FailAt(ServiceControlCall::DeleteService, 1, winerror::AccessDenied);
    UniqueService manager(services.OpenSCManagerA(nullptr, nullptr, svc::ManagerAllAccess),
                          ServiceCloser{&services});
    UniqueService service(CreateService(services, manager.Get()), ServiceCloser{&services});
    EXPECT_FALSE(services.DeleteService(service.Get()));
    EXPECT_EQ(services.GetLastError(), winerror::AccessDenied);
    service.Reset(services.OpenServiceA(manager.Get(), "Plandra", svc::QueryStatus));
    EXPECT_TRUE(service);
}

} // namespace
