// The version contract tests' calls on Windows: VERSION.DLL's.
#include "platform/win32/win32_versions.h"
#include "versions_under_test.h"

namespace machine_test {

std::unique_ptr<platform::VersionService> MakeVersionsUnderTest(MachineUnderTest&) {
    return std::make_unique<platform::Win32Versions>();
}

} // namespace machine_test
