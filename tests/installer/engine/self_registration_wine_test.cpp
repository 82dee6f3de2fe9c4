// Self-registration on Windows: a 32-bit image of our own is loaded in-process (no
// registration program in the archive) and writes its key to the real registry.
#include "engine_fakes.h"
#include "installer/engine/self_registration.h"
#include "platform/machine_services.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(SelfRegistration, LibrariesOfOurOwnRegisterOrReportFailure) {
    platform::OpenedMachine machine = platform::OpenMachineServices({});
    ASSERT_TRUE(machine.Services) << machine.Error;
    platform::MachineServices& services = *machine.Services;
    testing::EngineHarness h({}, 1, 0, &services.Libraries());
    h.Machine->Services.Machine = &services;
    const std::string program = services.ModuleFileName(0);
    const std::string folder = program.substr(0, program.find_last_of('\\') + 1);
    const std::string good = folder + SELF_REGISTERING_LIBRARY;
    const std::string bad = folder + FAILING_SELF_REGISTERING_LIBRARY;
    platform::RegistryService& registry = services.Registry();
    registry.RegDeleteKeyA(platform::HKEY_CURRENT_USER, "Software\\Vorn Test\\SelfRegistered");
    h.Machine->SelfRegistrations = {good, bad};

    SelfRegisterQueued(*h.Machine);

    EXPECT_EQ(h.Log.Text,
              "Self-Register: " + good + "\r\nCould not Self-Register: " + bad + "\r\n");
    EXPECT_TRUE(h.Machine->SelfRegistrations.empty());
    platform::HKEY key = nullptr;
    ASSERT_EQ(registry.RegOpenKeyExA(platform::HKEY_CURRENT_USER,
                                     "Software\\Vorn Test\\SelfRegistered", 0,
                                     platform::reg::KeyRead, key),
              0);
    registry.RegCloseKey(key);
    registry.RegDeleteKeyA(platform::HKEY_CURRENT_USER, "Software\\Vorn Test\\SelfRegistered");
}

} // namespace
} // namespace vorn
