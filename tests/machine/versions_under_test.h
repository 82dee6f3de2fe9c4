// The version calls a contract test runs against, over a machine under test's files: the
// sandbox's on Linux, the real Win32 calls on Windows (under Wine).
#pragma once

#include "machine_under_test.h"
#include "platform/versions.h"

#include <memory>
#include <string>

namespace machine_test {

std::unique_ptr<platform::VersionService> MakeVersionsUnderTest(MachineUnderTest& machine);

/// The bytes of a program file kept for the version tests (tests/machine/fixtures).
std::string VersionFixture(std::string_view name);

} // namespace machine_test
