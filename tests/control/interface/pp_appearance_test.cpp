// The Appearance property page on a recording dialog.
#include "control/interface/pp_appearance.h"
#include "control_fixture.h"
#include "platform/headless/fault_injection_user_settings.h"
#include "platform/headless/registry_user_settings.h"

#include <deque>
#include <gtest/gtest.h>
#include <map>

namespace plandra::test {
namespace {

// The page's controls without a window: what the page set, and the user's answers to
// the open-file dialog.
class RecordingPageControls final : public platform::PageControls {
public:
    std::string Text(std::string_view control) const override {
        return Texts.at(std::string(control));
    }
    void SetText(std::string_view control, std::string_view text) override {
        Texts[std::string(control)] = text;
    }
    void AddItem(std::string_view, std::string_view item, std::int32_t itemData) override {
        Items.emplace_back(item, itemData);
    }
    int ListIndex(std::string_view) const override { return Index; }
    void SetListIndex(std::string_view, int index) override { Index = index; }
    std::int32_t ItemData(std::string_view, int index) const override {
        return Items.at(static_cast<std::size_t>(index)).second;
    }
    bool Checked(std::string_view) const override { return Ticked; }
    void SetChecked(std::string_view, bool checked) override { Ticked = checked; }
    std::string ShowOpen(const platform::OpenFileRequest& request) override {
        Opened.push_back(request);
        std::string answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void SetChanged(bool changed) override { ApplyEnabled = changed; }

    std::map<std::string, std::string> Texts;
    std::vector<std::pair<std::string, std::int32_t>> Items;
    int Index = -1;
    bool Ticked = false;
    std::deque<std::string> Answers;
    std::vector<platform::OpenFileRequest> Opened;
    bool ApplyEnabled = false;
};

class AppearancePageTest : public ::testing::Test {
public:
    AppearancePageTest() {
        First.InitProperties();
        Second.InitProperties();
        Page.Initialize();
        Page.SelectionChanged({&First, &Second});
    }

    std::string InitDir() { return Store.GetSetting("Plandra", "Defaults", "InitDir", "(none)"); }

    HeadlessHost Host;
    DXF First{Host.Surfaces(), Host.Host()};
    DXF Second{Host.Surfaces(), Host.Host()};
    RecordingPageControls Dialog;
    platform::RegistryUserSettings Store{Host.Registry};
    platform::FaultInjectingUserSettings Settings{Store};
    ppAppearance Page{Dialog, Settings, Host.MessageBox};
};

TEST_F(AppearancePageTest, BrowseRemembersTheChosenFolderAndCancelChangesNothing) {
    Dialog.Answers = {"D:\\Plans\\site.dxf", "", "/home/ann/cad/x.dxf"};
    Page.cmdBrowse_Click();
    Page.SetChanged(false);
    Page.cmdBrowse_Click();

    ASSERT_EQ(Dialog.Opened.size(), 2u);
    EXPECT_EQ(Dialog.Opened[0].Filter, "DXF (*.dxf)|*.dxf");
    EXPECT_EQ(Dialog.Opened[0].DefaultExt, ".DXF");
    EXPECT_EQ(Dialog.Opened[0].InitDir, "C:\\");
    EXPECT_EQ(Dialog.Opened[1].InitDir, "D:\\Plans\\");
    EXPECT_EQ(Dialog.Texts["txtFileName"], "D:\\Plans\\site.dxf");
    EXPECT_FALSE(Page.Changed());
    EXPECT_EQ(InitDir(), "D:\\Plans\\");

    // A folder that cannot be remembered does not keep the chosen file off the page.
    Settings.Plan.FailAt(platform::UserSettingsCall::SaveSetting, 2, 0);
    Page.cmdBrowse_Click();
    EXPECT_EQ(Dialog.Texts["txtFileName"], "/home/ann/cad/x.dxf");
    EXPECT_TRUE(Page.Changed());
    EXPECT_TRUE(Dialog.ApplyEnabled);
    EXPECT_EQ(InitDir(), "D:\\Plans\\");
}

TEST_F(AppearancePageTest, ApplyWritesOnlyTheFirstSelectedControl) {
    EXPECT_EQ(Dialog.Texts["txtOnTheSpotZoomPct"], "200");
    EXPECT_EQ(Dialog.Index, 1);
    Dialog.Texts = {{"txtOnTheSpotZoomPct", " 150.5 "},
                    {"txtOnTheSpotRight", "25"},
                    {"txtFileName", "C:\\A.DXF"}};
    Dialog.Index = 2;
    Dialog.Ticked = true;
    Page.cmbZoom_Click();
    ASSERT_TRUE(Page.ApplyChanges());

    EXPECT_EQ(First.GetOnTheSpotZoomPctLeft(), 150.5f);
    EXPECT_EQ(First.GetOnTheSpotZoomPctRight(), 25);
    EXPECT_EQ(First.GetFileName(), "C:\\A.DXF");
    EXPECT_EQ(First.GetZoomFunction(), dxfPan);
    EXPECT_EQ(First.GetDisplayAttributes(), dxfAttribsOn);
    EXPECT_FALSE(Page.Changed());
    EXPECT_EQ(Second.GetOnTheSpotZoomPctLeft(), 200);
    EXPECT_EQ(Second.GetFileName(), "");
    EXPECT_EQ(Second.GetZoomFunction(), dxfDrillDown);
}

TEST_F(AppearancePageTest, ARedlineModeSelectsNoEntryAndApplyKeepsIt) {
    for (ZoomFunctionEnum mode : {dxfRedLineText, dxfRedLineCircle, dxfRedLineSelect}) {
        First.SetZoomFunction(mode);
        Page.SelectionChanged({&First});
        EXPECT_EQ(Dialog.Index, -1) << mode;
        ASSERT_TRUE(Page.ApplyChanges()) << mode;
        EXPECT_EQ(First.GetZoomFunction(), mode);
    }
}

TEST_F(AppearancePageTest, PercentBoxesWithoutAZoomPercentageAreRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"txtOnTheSpotZoomPct", "abc"},   {"txtOnTheSpotZoomPct", ""},
        {"txtOnTheSpotZoomPct", "12abc"}, {"txtOnTheSpotRight", "0"},
        {"txtOnTheSpotRight", "0.4"},     {"txtOnTheSpotRight", "-50"},
        {"txtOnTheSpotRight", "40000"}};
    for (const auto& [box, text] : cases) {
        Page.SelectionChanged({&First});
        Dialog.Texts["txtFileName"] = "C:\\NEW.DXF";
        Dialog.Texts[box] = text;
        Page.txtFileName_Change();
        EXPECT_FALSE(Page.ApplyChanges()) << text;
        EXPECT_EQ(First.GetFileName(), "") << text;
        EXPECT_TRUE(Page.Changed()) << text;
    }
    ASSERT_EQ(Host.MessageBox.Boxes.size(), std::size(cases));
    EXPECT_EQ(Host.MessageBox.Boxes[0].Text,
              "The Left Mouse Button zoom percent \"abc\" is not a number from 1 to 32767.");
    EXPECT_EQ(Host.MessageBox.Boxes[0].Caption, "Appearance");
}

} // namespace
} // namespace plandra::test
