// Opcode 21's facts and the path search from the real Win32 calls (under Wine).
#include "engine_fakes.h"
#include "installer/engine/system_information_action.h"
#include "platform/machine_services.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace vorn {
namespace {

TEST(SystemInformationOnWindows, FactsFromTheMachine) {
    platform::OpenedMachine opened = platform::OpenMachineServices({});
    ASSERT_TRUE(opened.Services) << opened.Error;
    testing::EngineHarness h({});
    h.Machine->Services.Machine = opened.Services.get();
    Engine& engine = *h.Machine;
    platform::OsVersionInfo version;
    opened.Services->System().GetVersionExA(version);
    const std::string self = opened.Services->ModuleFileName(0);

    EXPECT_EQ(SystemInformation(engine, system_item::WindowsVersion, ""),
              std::to_string(version.MajorVersion) + "." + std::to_string(version.MinorVersion) +
                  "." + std::to_string(version.BuildNumber));
    EXPECT_TRUE(std::regex_match(SystemInformation(engine, system_item::DateTime, ""),
                                 std::regex(R"(\d\d/\d\d/\d\d \d{1,2}:\d\d:\d\d)")));
    EXPECT_TRUE(std::regex_match(SystemInformation(engine, system_item::MemoryKilobytes, ""),
                                 std::regex(R"([1-9]\d*)")));
    EXPECT_EQ(SystemInformation(engine, system_item::DriveType, "C"), "H");
    EXPECT_TRUE(std::regex_match(SystemInformation(engine, system_item::VolumeSerial, "C"),
                                 std::regex("[0-9a-f]{4}-[0-9a-f]{4}")));
    EXPECT_EQ(SystemInformation(engine, system_item::NetworkPath, "C:\\X"), "C:\\X");
    EXPECT_EQ(SystemInformation(engine, system_item::FileSize, self),
              std::to_string(std::filesystem::file_size(self)));
    EXPECT_TRUE(std::regex_match(SystemInformation(engine, system_item::FileDateTime, self),
                                 std::regex(R"(\d\d/\d\d/\d\d \d{1,2}:\d\d:\d\d)")));

    const std::string argument = "0\x7FV\x7F"
                                 "cmd.exe\x7Fnone";
    DllCallBlock block{};
    block.Argument = argument.c_str();
    EXPECT_EQ(engine.Builtins[22](engine, block), 1);
    EXPECT_TRUE(std::regex_match(engine.Variables.GetVariable("V"),
                                 std::regex(R"(.:\\.*\\cmd\.exe)", std::regex::icase)));
    const std::string font = "NOFONT.TTF\x7FNo Font (TrueType)";
    block.Argument = font.c_str();
    EXPECT_EQ(engine.Builtins[10](engine, block), 0);
    EXPECT_EQ(h.Log.Text, "");
}

} // namespace
} // namespace vorn
