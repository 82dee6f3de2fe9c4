// The DDE contract tests' broker on Linux.
#include "dde_under_test.h"
#include "platform/posix/sandbox_dde.h"

namespace machine_test {

std::unique_ptr<platform::DdeService> MakeDdeUnderTest() {
    return std::make_unique<platform::SandboxDde>();
}

} // namespace machine_test
