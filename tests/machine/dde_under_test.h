// The DDE a contract test runs against: the sandbox's broker on Linux, DDEML on Windows
// (under Wine).
#pragma once

#include "platform/dde.h"

#include <memory>

namespace machine_test {

std::unique_ptr<platform::DdeService> MakeDdeUnderTest();

} // namespace machine_test
