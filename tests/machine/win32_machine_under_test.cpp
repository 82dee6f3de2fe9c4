// The contract tests' machine on Windows: the real calls, in a new temporary folder.
#include "machine_under_test.h"
#include "platform/win32/win32_files.h"

#include <atomic>
#include <filesystem>
#include <process.h>

namespace machine_test {

namespace {

class Win32UnderTest final : public MachineUnderTest {
public:
    Win32UnderTest() {
        static std::atomic<int> count{0};
        Folder = std::filesystem::temp_directory_path() /
                 ("contract-" + std::to_string(::_getpid()) + "-" + std::to_string(++count));
        std::filesystem::create_directories(Folder);
        RootPath = Folder.string();
    }
    ~Win32UnderTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    platform::FileService& Files() override { return FileCalls; }
    platform::ProfileService& Profile() override { return ProfileCalls; }
    const std::string& Root() const override { return RootPath; }

private:
    std::filesystem::path Folder;
    std::string RootPath;
    platform::Win32Files FileCalls;
    platform::Win32Profile ProfileCalls;
};

} // namespace

std::unique_ptr<MachineUnderTest> MakeMachineUnderTest() {
    return std::make_unique<Win32UnderTest>();
}

} // namespace machine_test
