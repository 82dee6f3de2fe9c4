// The DDE contract tests' DDEML on Windows.
#include "dde_under_test.h"
#include "platform/win32/win32_dde.h"

namespace machine_test {

std::unique_ptr<platform::DdeService> MakeDdeUnderTest() {
    return std::make_unique<platform::Win32Dde>();
}

} // namespace machine_test
