// The registry contract tests' machine on Linux: a fresh Windows NT sandbox machine.
#include "platform/posix/sandbox_registry.h"
#include "registry_under_test.h"

#include <atomic>
#include <unistd.h>

namespace machine_test {

namespace {

class SandboxRegistryUnderTest final : public RegistryUnderTest {
public:
    SandboxRegistryUnderTest() {
        static std::atomic<int> count{0};
        Folder = std::filesystem::temp_directory_path() /
                 ("registry-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
        Machine = std::move(
            platform::SandboxMachine::Create(Folder, platform::WindowsFamily::WindowsNT).Machine);
        Calls = std::move(platform::SandboxRegistry::Open(*Machine).Registry);
    }
    ~SandboxRegistryUnderTest() override {
        Calls.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    platform::RegistryService& Registry() override { return *Calls; }

private:
    std::filesystem::path Folder;
    std::unique_ptr<platform::SandboxMachine> Machine;
    std::unique_ptr<platform::SandboxRegistry> Calls;
};

} // namespace

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest() {
    return std::make_unique<SandboxRegistryUnderTest>();
}

} // namespace machine_test
