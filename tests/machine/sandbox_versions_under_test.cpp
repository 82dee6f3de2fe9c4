// The version contract tests' calls on Linux: the sandbox's, over the sandbox machine
// under test, which has the default Windows NT folders.
#include "platform/posix/sandbox_machine.h"
#include "platform/posix/sandbox_versions.h"
#include "versions_under_test.h"

namespace machine_test {

std::unique_ptr<platform::VersionService> MakeVersionsUnderTest(MachineUnderTest& machine) {
    const platform::MachineDescription nt;
    return std::make_unique<platform::SandboxVersions>(machine.Files(), nt.WindowsDirectory,
                                                       nt.SystemDirectory);
}

} // namespace machine_test
