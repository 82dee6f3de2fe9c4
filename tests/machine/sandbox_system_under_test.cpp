// The system contract tests' machine on Linux: a fresh Windows NT sandbox machine whose
// programs are listed in its programs.ini.
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_processes.h"
#include "platform/posix/sandbox_registry.h"
#include "platform/posix/sandbox_service_control.h"
#include "platform/posix/sandbox_system_info.h"
#include "system_under_test.h"

#include <atomic>
#include <unistd.h>

namespace machine_test {

namespace {

using namespace platform;

class SandboxSystemUnderTest final : public SystemUnderTest {
public:
    SandboxSystemUnderTest() {
        static std::atomic<int> count{0};
        Folder = std::filesystem::temp_directory_path() /
                 ("system-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
        Machine = std::move(SandboxMachine::Create(Folder, WindowsFamily::WindowsNT).Machine);
        FileCalls = std::make_unique<SandboxFiles>(*Machine);
        Registry = std::move(SandboxRegistry::Open(*Machine).Registry);
        Info = std::make_unique<SandboxSystemInfo>(*Machine);
        ProcessCalls = std::make_unique<SandboxProcesses>(*Machine, *FileCalls);
        ServiceCalls = std::make_unique<SandboxServiceControl>(*Machine, *Registry);
        FileCalls->CreateDirectoryA(RootPath);
    }
    ~SandboxSystemUnderTest() override {
        ServiceCalls.reset();
        ProcessCalls.reset();
        Registry.reset();
        FileCalls.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    FileService& Files() override { return *FileCalls; }
    SystemInfoService& SystemInfo() override { return *Info; }
    ProcessService& Processes() override { return *ProcessCalls; }
    ServiceControlService& Services() override { return *ServiceCalls; }
    const std::string& Root() const override { return RootPath; }

    ExitingProgram ProgramExitingWith(std::uint32_t exitCode) override {
        const std::string path = RootPath + "\\EXIT" + std::to_string(exitCode) + ".EXE";
        UniqueFile file(FileCalls->CreateFileA(path, file::GenericWrite, 0, file::CreateAlways,
                                               file::AttributeNormal),
                        FileCloser{FileCalls.get()});
        SandboxProgram program;
        program.Path = path;
        program.ExitCode = exitCode;
        SandboxProcesses::DescribeProgram(*Machine, program);
        return {path, "/quiet"};
    }

private:
    std::filesystem::path Folder;
    std::unique_ptr<SandboxMachine> Machine;
    std::unique_ptr<SandboxFiles> FileCalls;
    std::unique_ptr<SandboxRegistry> Registry;
    std::unique_ptr<SandboxSystemInfo> Info;
    std::unique_ptr<SandboxProcesses> ProcessCalls;
    std::unique_ptr<SandboxServiceControl> ServiceCalls;
    std::string RootPath = "C:\\Contract";
};

} // namespace

std::unique_ptr<SystemUnderTest> MakeSystemUnderTest() {
    return std::make_unique<SandboxSystemUnderTest>();
}

} // namespace machine_test
