// The machine the system contract tests run against: a fresh sandbox machine on Linux,
// the real Win32 calls on Windows (under Wine), each with an empty folder of its own.
#pragma once

#include "platform/files.h"
#include "platform/processes.h"
#include "platform/service_control.h"
#include "platform/system_info.h"

#include <cstdint>
#include <memory>
#include <string>

namespace machine_test {

/// A program and its arguments that end at once with a chosen exit code.
struct ExitingProgram {
    std::string File;
    std::string Parameters;
    std::string CommandLine() const { return "\"" + File + "\" " + Parameters; }
};

class SystemUnderTest {
public:
    virtual ~SystemUnderTest() = default;
    virtual platform::FileService& Files() = 0;
    virtual platform::SystemInfoService& SystemInfo() = 0;
    virtual platform::ProcessService& Processes() = 0;
    virtual platform::ServiceControlService& Services() = 0;
    /// The test's empty folder, a full Windows path without a separator at its end.
    virtual const std::string& Root() const = 0;
    virtual ExitingProgram ProgramExitingWith(std::uint32_t exitCode) = 0;
};

std::unique_ptr<SystemUnderTest> MakeSystemUnderTest();

} // namespace machine_test
