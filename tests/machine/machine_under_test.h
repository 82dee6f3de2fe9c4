// The machine a contract test runs against: the sandbox on Linux, the real Win32 calls
// on Windows (under Wine), each with an empty folder of its own for the test.
#pragma once

#include "platform/files.h"
#include "platform/profile.h"

#include <memory>
#include <string>
#include <string_view>

namespace machine_test {

class MachineUnderTest {
public:
    virtual ~MachineUnderTest() = default;
    virtual platform::FileService& Files() = 0;
    virtual platform::ProfileService& Profile() = 0;
    /// The test's empty folder, a full Windows path without a separator at its end.
    virtual const std::string& Root() const = 0;

    std::string Path(std::string_view name) const { return Root() + "\\" + std::string(name); }
    /// Makes or replaces a file with exactly these bytes; false when it cannot.
    bool WriteText(std::string_view name, std::string_view text);
    /// The file's bytes; empty when it cannot be read.
    std::string ReadText(std::string_view name);
};

std::unique_ptr<MachineUnderTest> MakeMachineUnderTest();

} // namespace machine_test
