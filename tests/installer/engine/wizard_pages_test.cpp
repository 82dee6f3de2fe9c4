// f31, the wizard's page sequence: forward and back over the pages whose condition holds,
// the end of the wizard, the frame the pages run in and a picture that cannot be used.
#include "engine_fakes.h"
#include "installer/engine/custom_dialog_set.h"
#include "installer/engine/dialog_set_builder.h"
#include "installer/engine/wizard_pages_builtin.h"
#include "sample_dialog_script.h"

#include <array>
#include <gtest/gtest.h>

namespace vorn {
namespace {

// Frames made and destroyed, the rest passed on.
class RecordingFrames final : public platform::TemplateDialogService {
public:
    explicit RecordingFrames(platform::TemplateDialogService& inner) : Inner(inner) {}
    std::vector<std::pair<int, int>> Made;
    /// Size, start of the rows and band of each picture shown.
    std::vector<std::array<std::size_t, 3>> Pictures;
    int Destroyed = 0;

    std::intptr_t DialogBoxIndirectParamA(std::span<const std::uint8_t> form, std::uintptr_t owner,
                                          platform::DialogProcedure& procedure) override {
        return Inner.DialogBoxIndirectParamA(form, owner, procedure);
    }
    std::intptr_t RunModelessIndirect(std::span<const std::uint8_t> form, std::uintptr_t parent,
                                      platform::DialogProcedure& procedure) override {
        return Inner.RunModelessIndirect(form, parent, procedure);
    }
    std::uintptr_t CreateWizardFrame(std::string_view className, std::string_view title, int width,
                                     int height, std::uintptr_t owner,
                                     platform::FrameProcedure& procedure) override {
        Made.emplace_back(width, height);
        return Inner.CreateWizardFrame(className, title, width, height, owner, procedure);
    }
    bool SetWizardPicture(std::uintptr_t, std::span<const std::uint8_t> bitmap,
                          std::size_t bitsOffset, int band) override {
        Pictures.push_back({bitmap.size(), bitsOffset, static_cast<std::size_t>(band)});
        return true;
    }
    bool DestroyWizardFrame(std::uintptr_t frame) override {
        ++Destroyed;
        return Inner.DestroyWizardFrame(frame);
    }
    std::uintptr_t CreateFontIndirectA(const platform::LogFontA& font) override {
        return Inner.CreateFontIndirectA(font);
    }
    bool DeleteObject(std::uintptr_t font) override { return Inner.DeleteObject(font); }
    bool WinHelpA(std::uintptr_t window, std::string_view file, std::uint32_t command,
                  std::uintptr_t data) override {
        return Inner.WinHelpA(window, file, command, data);
    }
    std::string LastError() const override { return Inner.LastError(); }

private:
    platform::TemplateDialogService& Inner;
};

using testing::Fields;

std::int32_t CallF31(Engine& engine, const std::string& argument) {
    return testing::CallBuiltin(engine.Builtins[31], engine, argument);
}

// Parts shows only for a custom installation, Ready only when KIND is not "A".
const std::string Wizard = Fields({"0", "DIR", "PAGE", "500", "360", "0", "0", "0", "0", "Welcome",
                                   "Parts\tKIND\tc\t4", "", "Folder", "Ready\tKIND\tA\t1"});

TEST(WizardPages, MovesToTheNextOrPreviousPageWhoseConditionHolds) {
    struct Case {
        const char* Current;
        const char* Direction;
        const char* Kind;
        const char* Next;
        std::int32_t Result;
    } cases[] = {
        {"", "", "C", "Welcome", 1},       {"welcome", "", "C", "Parts", 1},
        {"Welcome", "", "A", "Folder", 1}, {"Folder", "B", "A", "Welcome", 1},
        {"Folder", "b", "C", "Parts", 1},  {"Welcome", "B", "C", "Welcome", 1},
        {"Gone", "B", "C", "Welcome", 1},  {"Folder", "", "C", "Ready", 1},
        {"Folder", "", "A", "", 0},        {"Ready", "", "C", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Current) + "/" + c.Direction + "/" + c.Kind);
        ScriptBuilder b;
        testing::EngineHarness harness(b.Build());
        Engine& engine = *harness.Machine;
        engine.Variables.SetVariable("PAGE", c.Current);
        engine.Variables.SetVariable("DIR", c.Direction);
        engine.Variables.SetVariable("KIND", c.Kind);
        EXPECT_EQ(CallF31(engine, Wizard), c.Result);
        EXPECT_EQ(engine.Variables.GetVariable("PAGE"), c.Next);
        // Back from the first page turns forward, so a skipped first page cannot hold the
        // wizard for ever.
        EXPECT_EQ(engine.Variables.GetVariable("DIR"),
                  std::string(c.Current) == "Welcome" ? "" : c.Direction);
        EXPECT_EQ(DialogsOf(engine).WizardStyle, c.Result == 1);
    }
}

// A 1 x 1 packed bitmap of 24 bits.
std::vector<std::uint8_t> TinyBitmap() {
    std::vector<std::uint8_t> bits(44, 0);
    bits[0] = 40;
    bits[4] = 1;
    bits[8] = 1;
    bits[12] = 1;
    bits[14] = 24;
    return bits;
}

// A whole wizard: f31 as a While condition around the sample's dialog set, which runs in
// the frame of the given size; the second page never holds, so the wizard then ends.
TEST(WizardPages, AWholeWizardRunsInItsFrameAndClosesItAtTheEnd) {
    DialogSample sample = BuildDialogSample();
    auto size = static_cast<std::uint32_t>(sample.Archive.size());
    std::vector<std::uint8_t> picture = TinyBitmap();
    sample.Archive.insert(sample.Archive.end(), picture.begin(), picture.end());
    const std::string at = std::to_string(size);
    ScriptBuilder b;
    b.CallDll(call::OwnFunction | call::While, "", "f31",
              {Fields({"0", "DIR", "PAGE", "500", "360", "120", at, "44", "44", "Options",
                       "Never\tKIND\tZ\t0"})});
    CustomDialogSetRecord(b, 0, size, size, "PAGE", "Options");
    b.End();
    b.Exit();
    testing::EngineHarness harness(b.Build());
    InstallContext context;
    UseDialogSample(context, sample);
    harness.Machine->Services.Context = &context;
    harness.Machine->Actions[op::CustomDialogSet] = &CustomDialogSet;
    auto answered = platform::MakeAnsweredDialogs(
        {{"Setup Options", "text 10 Eve; check 22; press 1"}, {"Setup Folder", "press 1"}});
    RecordingFrames frames(*answered);
    DialogsOf(*harness.Machine).UseService(frames);
    EXPECT_EQ(harness.Run(), -1);
    EXPECT_EQ(harness.Machine->Variables.GetVariable("KIND"), "C");
    EXPECT_EQ(harness.Machine->Variables.GetVariable("PAGE"), "");
    EXPECT_EQ(frames.Made, (std::vector<std::pair<int, int>>{{500, 360}}));
    EXPECT_EQ(harness.BoxTexts(), std::vector<std::string>{});
    EXPECT_EQ(frames.Pictures, (std::vector<std::array<std::size_t, 3>>{{44, 40, 120}}));
    EXPECT_EQ(frames.Destroyed, 1);
    EXPECT_FALSE(DialogsOf(*harness.Machine).WizardStyle);
}

TEST(WizardPages, APictureThatCannotBeUsedIsReportedOnceAndLeftOut) {
    DialogSample sample;
    sample.Archive = TinyBitmap();
    sample.Archive.resize(100, 0);
    struct Case {
        const char* Offset;
        const char* Size;
        const char* Reason;
    } cases[] = {
        {"0", "44", nullptr},
        {"44", "40", "the data is not a bitmap"},
        {"90", "40", "it cannot be read from the archive"},
        {"0", "999999999", "it is larger than the engine accepts"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Offset);
        ScriptBuilder b;
        testing::EngineHarness harness(b.Build());
        InstallContext context;
        UseDialogSample(context, sample);
        harness.Machine->Services.Context = &context;
        const std::string argument =
            Fields({"0", "DIR", "PAGE", "0", "0", "7", c.Offset, c.Size, c.Size, "Welcome"});
        EXPECT_EQ(CallF31(*harness.Machine, argument), 1);
        EXPECT_EQ(CallF31(*harness.Machine, argument), 0);
        std::vector<std::string> boxes;
        if (c.Reason != nullptr) {
            boxes.push_back(std::string("The wizard's picture is left out: ") + c.Reason + ".");
        }
        EXPECT_EQ(harness.BoxTexts(), boxes);
        EXPECT_EQ(DialogsOf(*harness.Machine).Picture.size(), c.Reason ? 0u : 44u);
    }
}

} // namespace
} // namespace vorn
