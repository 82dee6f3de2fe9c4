// The system contract tests' machine on Windows: the real calls, a new temporary
// folder, and the command interpreter as the program that exits with a chosen code.
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_service_control.h"
#include "platform/win32/win32_system_info.h"
#include "system_under_test.h"

#include <atomic>
#include <filesystem>
#include <process.h>

namespace machine_test {

namespace {

using namespace platform;

class Win32SystemUnderTest final : public SystemUnderTest {
public:
    Win32SystemUnderTest() {
        static std::atomic<int> count{0};
        Folder = std::filesystem::temp_directory_path() /
                 ("system-" + std::to_string(::_getpid()) + "-" + std::to_string(++count));
        std::filesystem::create_directories(Folder);
        RootPath = Folder.string();
    }
    ~Win32SystemUnderTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    FileService& Files() override { return FileCalls; }
    SystemInfoService& SystemInfo() override { return Info; }
    ProcessService& Processes() override { return ProcessCalls; }
    ServiceControlService& Services() override { return ServiceCalls; }
    const std::string& Root() const override { return RootPath; }

    ExitingProgram ProgramExitingWith(std::uint32_t exitCode) override {
        const std::string comspec = ReadSystemText([&](std::span<char> buffer) {
            return Info.GetEnvironmentVariableA("COMSPEC", buffer);
        });
        return {comspec, "/c exit " + std::to_string(exitCode)};
    }

private:
    std::filesystem::path Folder;
    std::string RootPath;
    Win32Files FileCalls;
    Win32SystemInfo Info;
    Win32Processes ProcessCalls;
    Win32ServiceControl ServiceCalls;
};

} // namespace

std::unique_ptr<SystemUnderTest> MakeSystemUnderTest() {
    return std::make_unique<Win32SystemUnderTest>();
}

} // namespace machine_test
