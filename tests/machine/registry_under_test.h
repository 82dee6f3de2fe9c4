// The registry a contract test runs against: a fresh sandbox machine's on Linux, the
// real one on Windows (under Wine).
#pragma once

#include "platform/registry.h"

#include <memory>

namespace machine_test {

class RegistryUnderTest {
public:
    virtual ~RegistryUnderTest() = default;
    virtual platform::RegistryService& Registry() = 0;
};

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest();

} // namespace machine_test
