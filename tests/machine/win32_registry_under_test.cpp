// The registry contract tests' machine on Windows: the real registry.
#include "platform/win32/win32_registry.h"
#include "registry_under_test.h"

namespace machine_test {

namespace {

class Win32RegistryUnderTest final : public RegistryUnderTest {
public:
    platform::RegistryService& Registry() override { return Calls; }

private:
    platform::Win32Registry Calls;
};

} // namespace

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest() {
    return std::make_unique<Win32RegistryUnderTest>();
}

} // namespace machine_test
