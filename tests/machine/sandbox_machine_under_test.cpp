// The contract tests' machine on Linux: a fresh sandbox machine in a temporary folder.
#include "machine_under_test.h"
#include "platform/posix/sandbox_files.h"
#include "platform/posix/sandbox_profile.h"

#include <atomic>
#include <filesystem>
#include <unistd.h>

namespace machine_test {

namespace {

class SandboxUnderTest final : public MachineUnderTest {
public:
    SandboxUnderTest() {
        static std::atomic<int> count{0};
        Folder = std::filesystem::temp_directory_path() /
                 ("contract-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
        Machine = std::move(
            platform::SandboxMachine::Create(Folder, platform::WindowsFamily::WindowsNT).Machine);
        FileCalls = std::make_unique<platform::SandboxFiles>(*Machine);
        ProfileCalls = std::make_unique<platform::SandboxProfile>(
            *FileCalls, Machine->Description().WindowsDirectory);
        FileCalls->CreateDirectoryA(RootPath);
    }
    ~SandboxUnderTest() override {
        ProfileCalls.reset();
        FileCalls.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    platform::FileService& Files() override { return *FileCalls; }
    platform::ProfileService& Profile() override { return *ProfileCalls; }
    const std::string& Root() const override { return RootPath; }

private:
    std::filesystem::path Folder;
    std::unique_ptr<platform::SandboxMachine> Machine;
    std::unique_ptr<platform::SandboxFiles> FileCalls;
    std::unique_ptr<platform::SandboxProfile> ProfileCalls;
    std::string RootPath = "C:\\Contract";
};

} // namespace

std::unique_ptr<MachineUnderTest> MakeMachineUnderTest() {
    return std::make_unique<SandboxUnderTest>();
}

} // namespace machine_test
