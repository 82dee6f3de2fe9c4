// The about box: its version text, its buttons and the search for the
// system-information program.
#include "control/interface/about_box.h"
#include "control_fixture.h"

#include <gtest/gtest.h>

namespace plandra::test {
namespace {

constexpr std::string_view MsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::string_view LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

TEST(AboutBox, ShowsTheVersionAndUnloadsWithOk) {
    HeadlessHost host;
    DXF dxf(host.Surfaces(), host.Host());
    host.Dialogs.Answers = {"cmdWeb", "cmdOK", "cmdOK"};
    dxf.About();
    ASSERT_EQ(host.Dialogs.Forms.size(), 1u);
    const ControlVersion version = PlandraVersion();
    const std::string expected = "Version " + std::to_string(version.Major) + "." +
                                 std::to_string(version.Minor) + "." +
                                 std::to_string(version.Revision);
    EXPECT_EQ(host.Dialogs.Forms[0].Name, "frmAbout");
    EXPECT_EQ(host.Dialogs.Forms[0].Labels[1],
              (std::pair<std::string, std::string>{"lblVersion", expected}));
    EXPECT_EQ(host.Shell.Opened,
              std::vector<std::string>{"open " + std::string(MakerWebPage) + " 1"});
    // The second OK is left over: the first one closed the form.
    EXPECT_EQ(host.Dialogs.Answers.size(), 1u);
}

TEST(AboutBox, SystemInformationIsFoundByItsPathThenByTheToolsLocation) {
    const struct {
        const char* Situation;
        const char* MsInfoPath;    // value PATH, or null
        const char* ToolsLocation; // value MSINFO, or null
        bool ProgramExists;
        const char* Started; // command started, or null for the message
    } cases[] = {
        {"path value", "C:\\MSINFO\\MSINFO32.EXE", "C:\\OTHER", true, "C:\\MSINFO\\MSINFO32.EXE 1"},
        {"tools location", nullptr, "C:\\TOOLS", true, "C:\\TOOLS\\MSINFO32.EXE 1"},
        {"location without the program", nullptr, "C:\\TOOLS", false, nullptr},
        {"nothing registered", nullptr, nullptr, false, nullptr},
    };
    for (const auto& c : cases) {
        HeadlessHost host;
        if (c.MsInfoPath != nullptr) {
            host.Registry.SetString(MsInfoKey, "PATH", c.MsInfoPath);
        }
        if (c.ToolsLocation != nullptr) {
            host.Registry.SetString(LocationKey, "MSINFO", c.ToolsLocation);
            if (c.ProgramExists) {
                host.Shell.ExistingFiles.insert(std::string(c.ToolsLocation) + "\\MSINFO32.EXE");
            }
        }
        AboutBox about(host.Registry, host.Shell, host.MessageBox);
        about.Click("cmdSysInfo");
        if (c.Started != nullptr) {
            EXPECT_EQ(host.Shell.Started, std::vector<std::string>{c.Started}) << c.Situation;
            EXPECT_TRUE(host.MessageBox.Boxes.empty()) << c.Situation;
        } else {
            EXPECT_TRUE(host.Shell.Started.empty()) << c.Situation;
            ASSERT_EQ(host.MessageBox.Boxes.size(), 1u) << c.Situation;
            EXPECT_EQ(host.MessageBox.Boxes[0].Text,
                      "System Information Is Unavailable At This Time");
        }
        EXPECT_EQ(host.Registry.OpenKeys(), 0) << c.Situation;
        EXPECT_FALSE(about.Unloaded());
    }
}

TEST(AboutBox, GetKeyValueConvertsByType) {
    platform::HeadlessRegistry registry;
    registry.SetString("SOFTWARE\\Plandra", "Folder", "C:\\PLANDRA");
    registry.SetDword("SOFTWARE\\Plandra", "Flags", 0x00A0000F);
    std::string value;
    ASSERT_TRUE(
        GetKeyValue(registry, platform::HKEY_LOCAL_MACHINE, "software\\plandra", "Folder", value));
    EXPECT_EQ(value, "C:\\PLANDRA");
    ASSERT_TRUE(
        GetKeyValue(registry, platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Plandra", "Flags", value));
    EXPECT_EQ(value, "&hA0000F");
    EXPECT_FALSE(
        GetKeyValue(registry, platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\Plandra", "None", value));
    EXPECT_FALSE(GetKeyValue(registry, platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\None", "x", value));
    EXPECT_EQ(registry.OpenKeys(), 0);
}

} // namespace
} // namespace plandra::test
