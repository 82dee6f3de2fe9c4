// Dialog templates and custom dialog sets: broken templates and blocks, and whole runs of
// the sample dialog script on a sandbox machine answered from an answer file.
#include "engine_fakes.h"
#include "installer/engine/custom_dialog_set.h"
#include "installer/engine/dialog_set_builder.h"
#include "installer/engine/script_header.h"
#include "platform/dialog_template.h"
#include "platform/headless/fault_injection_dialogs.h"
#include "platform/posix/sandbox_machine.h"
#include "sample_dialog_script.h"
#include "sample_install_script.h"
#include "support/temp_file.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace vorn {
namespace {

using plandra::test::ReadFileText;
using plandra::test::WriteFileText;

std::vector<std::uint8_t> SampleTemplate() {
    platform::DialogTemplate t;
    t.Caption = "Pick";
    t.FaceName = "MS Sans Serif";
    t.PointSize = 8;
    // Filled field by field: aggregate temporaries with strings trip GCC's
    // maybe-uninitialized warning in optimised builds.
    t.Controls.resize(2);
    for (platform::DialogControl& control : t.Controls) {
        control.X = 1;
        control.Y = 2;
        control.Width = 3;
        control.Height = 4;
    }
    t.Controls[0].Style = platform::dlg::BsAutoCheckBox;
    t.Controls[0].Id = 30;
    t.Controls[0].Kind = platform::ControlKind::Button;
    t.Controls[0].Title.Text = "Box";
    t.Controls[1].Id = 40;
    t.Controls[1].Title.Ordinal = 7;
    t.Controls[1].CreationData = {9, 9};
    return platform::WriteDialogTemplate(t);
}

// Replaces the first occurrence of `from` in `bytes`.
std::vector<std::uint8_t> Patched(std::vector<std::uint8_t> bytes, std::vector<std::uint8_t> from,
                                  std::vector<std::uint8_t> to) {
    auto at = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    EXPECT_NE(at, bytes.end());
    if (at != bytes.end()) {
        std::copy(to.begin(), to.end(), at);
    }
    return bytes;
}

TEST(DialogTemplate, ReadsWhatWasWrittenAndRefusesBrokenTemplatesClearly) {
    std::vector<std::uint8_t> bytes = SampleTemplate();
    platform::DialogTemplateReadResult read = platform::ReadDialogTemplate(bytes);
    ASSERT_TRUE(read.Template) << read.Error;
    EXPECT_EQ(read.Template->Caption, "Pick");
    EXPECT_EQ(read.Template->FaceName, "MS Sans Serif");
    ASSERT_EQ(read.Template->Controls.size(), 2u);
    EXPECT_TRUE(read.Template->Controls[0].IsCheckBox());
    EXPECT_EQ(read.Template->Controls[1].Title.Ordinal, 7);
    EXPECT_EQ(read.Template->Controls[1].CreationData, (std::vector<std::uint8_t>{9, 9}));

    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::span<const std::uint8_t> cut(bytes.data(), size);
        EXPECT_TRUE(
            platform::ReadDialogTemplate(cut).Error.starts_with("the dialog template is truncated"))
            << size;
    }
    struct Case {
        std::vector<std::uint8_t> Bytes;
        const char* Error;
    };
    const Case cases[] = {
        {Patched(bytes, {0xFF, 0xFF, 0x82, 0}, {0xFF, 0xFF, 0x99, 0}),
         "control 2 (number 40, byte 114) of the dialog template names an unknown control kind "
         "atom 153"},
        {Patched(bytes, {0xFF, 0xFF, 0x80, 0}, {'T', 0, 'V', 0}),
         "control 1 (number 30, byte 82) of the dialog template names an unknown control kind "
         "\"TVBox\""},
        {{1, 0, 0xFF, 0xFF, 0, 0}, "extended dialog templates (DLGTEMPLATEEX) are not supported"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ReadDialogTemplate(c.Bytes).Error, c.Error);
    }
}

TEST(DialogSet, BrokenBlocksAreReportedNotRead) {
    DialogPageLayout page;
    page.Template.Caption = "P";
    page.Entries = {{control_kind::Button, 1, 2, 0, page_action::Finish, 0, 0, {""}, "V", ""}};
    std::vector<std::uint8_t> good = BuildDialogSet({page});
    ASSERT_EQ(ReadDialogSet(good, 1).Error, "");
    std::vector<std::uint8_t> badKind = good;
    // The entry's kind byte: the block ends with the entry's 11 fixed bytes, "" and "V".
    badKind[badKind.size() - 11 - 3] = 9;
    std::vector<std::uint8_t> outside = good;
    outside[4] = 0xF0;
    struct Case {
        std::vector<std::uint8_t> Block;
        const char* Error;
    };
    const Case cases[] = {
        {{}, "the dialog set holds no dialog"},
        {outside, "dialog 0 of the dialog set: its offsets lie outside the block"},
        {std::vector<std::uint8_t>(good.begin(), good.end() - 1),
         "dialog 0 of the dialog set: control entry at byte 41 runs past the end of the block"},
        {badKind, "dialog 0 of the dialog set: control entry at byte 41 has the unknown kind 9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadDialogSet(c.Block, 1).Error, c.Error);
    }
}

// A fresh sandbox machine whose C:\ANSWERS.TXT holds `answers`, for samples run from it.
class AnsweredMachine {
public:
    explicit AnsweredMachine(const std::string& answers)
        : Machine(
              platform::SandboxMachine::Create(Folder.Folder(), platform::WindowsFamily::WindowsNT)
                  .Machine) {
        if (Machine) {
            VornSetMachine(Folder.Folder().string().c_str(), "C:\\SETUP.EXE");
            WriteFileText(Machine->Resolve("C:\\ANSWERS.TXT").Native, answers);
        }
    }
    std::int32_t Run(const DialogSample& sample, const char* commandLine,
                     std::uint32_t options = 0) {
        InstallContext context;
        UseDialogSample(context, sample);
        context.OptionFlags |= options;
        std::int32_t exitAction = 0;
        char program[RestartBufferSize] = "";
        char arguments[RestartBufferSize] = "";
        return VornMain(&context, commandLine, &exitAction, program, arguments);
    }
    std::string Status() const {
        return ReadFileText(
            Machine->Resolve(std::string("C:\\WINNT\\") + DialogSampleStatusFile).Native);
    }

    plandra::test::TempFolder Folder;
    std::unique_ptr<platform::SandboxMachine> Machine;
};

// A script of two languages, the second of system name `systemName`, that only ends:
// the start dialogs alone. Writes "%6%|%LANG%|%WIN%|%7%" into DIALOGS.MIF.
DialogSample StartDialogsSample(const char* systemName) {
    ScriptHeader h = SampleHeader();
    h.StatusFileName = DialogSampleStatusFile;
    h.StatusFileTemplate = "%6%|%LANG%|%WIN%|%7%";
    h.LanguageDialogTitle = "Pick a language";
    h.Languages = {{"Deutsch", "DEU"}, {"English", systemName}};
    h.Texts = {h.Texts[0], h.Texts[0]};
    ScriptBuilder b(2);
    b.Exit();
    DialogSample sample;
    sample.Script = WithHeader(h, b);
    return sample;
}

// Whole runs answered from an answer file end as on screen or name the dialog they could
// not answer: the language dialog and manual mode's path dialogs, the custom set's pages,
// a wizard page in the frame with its picture, and the disk prompt cancelled while the
// second disk is missing (the last two as the Wine test's clicks end them).
TEST(CustomDialogSet, AnswerFileRunsEndAsOnScreenOrNameTheDialog) {
    const std::string options = "Dialog.Setup Options = ";
    const std::string folder = "Dialog.Setup Folder = ";
    const std::string finish = folder + "text 40 d:\\apps; select 50 0 2; press 1\r\n";
    const std::string path = "\r\nDialog.M10 = ";
    std::string paths;
    for (int i = 0; i < 5; ++i) {
        paths += "Dialog.Setup Directories = text 1000 C:\\; press 1\r\n";
    }
    const DialogSample pages = BuildDialogSample();
    DialogSample brokenList = pages;
    brokenList.Archive = Patched(pages.Archive, {0xFF, 0xFF, 0x83, 0}, {0xFF, 0xFF, 0x99, 0});
    // Option bit 20: the language dialog always shown.
    constexpr std::uint32_t AlwaysAsk = 0x100000;
    struct Case {
        DialogSample Sample;
        std::string Answers;
        std::int32_t Result;
        const char* Status;
        const char* CommandLine = "/M=ANSWERS.TXT";
        std::uint32_t Options = 0;
    };
    const Case cases[] = {
        // Too short a name keeps the page open; Back returns to the first page, whose
        // controls show what was stored.
        {pages,
         options + "text 10 A; press 1\r\n" + options +
             "text 10 Ann; check 21; check 31; press 1\r\n" + folder + "press 3\r\n" + options +
             "press 1\r\n" + finish,
         -1, "Success|Ann|B|AB|D:|AC|"},
        {pages, options + "text 10 Bob; press 1\r\n", -2,
         "Failed|Bob||A|||Internal Error\n\nno answer for the dialog \"Setup Folder\""},
        // Cancel asks the confirm-exit question, which a headless box answers Yes.
        {pages, options + "text 10 Bob; press 2\r\n", -2, "Failed|||A|||M1"},
        {pages, options + "press 7\r\n", -2,
         "Failed|||A|||Internal Error\n\nthe answer for the dialog \"Setup Options\" has a step "
         "it cannot take: \"press 7\""},
        {brokenList, "", -2,
         "Failed|||A|||Internal Error\n\ndialog 1 of the dialog set: control 2 (number 50, byte "
         "126) of the dialog template names an unknown control kind atom 153"},
        {BuildDialogKindsSample(),
         "Dialog.Setup Language = choose 1004 1\r\n" + paths + "Dialog.Welcome = press 1\r\n", -1,
         "Success|Deutsch|", "/M /M=ANSWERS.TXT", AlwaysAsk},
        {BuildDiskPromptSample("C:\\DISK2.TXT"), "Dialog.Setup Disk = press 2\r\n", -2,
         "Failed|2|M7", "/M=ANSWERS.TXT", AlwaysAsk},
        // Manual mode confirms the five directories in the path dialog; an empty path is
        // not taken.
        {StartDialogsSample("ENU"),
         path + "text 1000 D:\\WIN; press 1" + path + "press 1" + path + "press 1" + path +
             "press 1" + path + "press 1",
         -1, "Success|English|D:\\WIN|", "/M /M=ANSWERS.TXT"},
        {StartDialogsSample("ENU"), path + "text 1000; press 1" + path + "press 2", -2,
         "Failed|||M1", "/M /M=ANSWERS.TXT"},
        {StartDialogsSample("ENU"), "", -1, "Success|English|C:\\WINNT|"},
        {StartDialogsSample("XXX"), "Dialog.Pick a language = select 1004 1; press 1", -1,
         "Success|English|C:\\WINNT|"},
        {StartDialogsSample("XXX"), "Dialog.Pick a language = choose 1004 0", -1,
         "Success|Deutsch|C:\\WINNT|"},
        {StartDialogsSample("XXX"), "Dialog.Pick a language = press 2", -2,
         "Failed|||Installation Aborted!"},
        {StartDialogsSample("XXX"), "", -2,
         "Failed|||Internal Error\n\nno answer for the dialog \"Pick a language\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Answers);
        AnsweredMachine machine(c.Answers);
        ASSERT_TRUE(machine.Machine);
        EXPECT_EQ(machine.Run(c.Sample, c.CommandLine, c.Options), c.Result);
        EXPECT_EQ(machine.Status(), c.Status);
        EXPECT_FALSE(std::filesystem::exists(machine.Machine->Resolve("C:\\DISK2.TXT").Native));
    }
}

TEST(CustomDialogSet, WizardPagesRunInTheFrameSilentRunsSkipTheSetAndFailuresAbort) {
    const std::string pages = "text 10 Eve; check 22; press 1";
    using platform::DialogCall;
    struct Case {
        bool Wizard;
        bool Silent;
        int Result;
        const char* Kind;
        int ProgressClosed;
        std::optional<DialogCall> Fault = std::nullopt;
        const char* Box = "";
    };
    const Case cases[] = {
        {true, false, -1, "C", 1},
        {false, false, -1, "C", 1},
        {true, true, -1, "", 0},
        {true, false, -2, "", 1, DialogCall::CreateWizardFrame,
         "Internal Error\n\nthe wizard frame cannot be made"},
        {false, false, -2, "", 1, DialogCall::CreateFontIndirectA,
         "Internal Error\n\na font of dialog 0 cannot be made"},
        {false, false, -2, "C", 1, DialogCall::DialogBoxIndirectParamA,
         "Internal Error\n\ninjected failure"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Wizard);
        ScriptBuilder b;
        DialogSample sample = BuildDialogSample();
        auto size = static_cast<std::uint32_t>(sample.Archive.size());
        CustomDialogSetRecord(b, 0, size, size);
        testing::EngineHarness harness(b.Build());
        InstallContext context;
        UseDialogSample(context, sample);
        harness.Machine->Services.Context = &context;
        harness.Machine->Actions[op::CustomDialogSet] = &CustomDialogSet;
        harness.Host.SilentFlag = c.Silent;
        DialogsOf(*harness.Machine).WizardStyle = c.Wizard;
        std::unique_ptr<platform::TemplateDialogService> answered =
            platform::MakeAnsweredDialogs({{"Setup Options", pages}, {"Setup Folder", "press 1"}});
        platform::FaultInjectingDialogs faulty(*answered);
        if (c.Fault) {
            // The second page's dialog fails, the others at their first use.
            faulty.Plan.FailAt(*c.Fault, *c.Fault == DialogCall::DialogBoxIndirectParamA ? 2 : 1,
                               0);
        }
        DialogsOf(*harness.Machine).UseService(faulty);
        EXPECT_EQ(harness.Run(), c.Result);
        EXPECT_EQ(harness.BoxTexts().empty() ? "" : harness.BoxTexts().back(), c.Box);
        EXPECT_EQ(harness.Machine->Variables.GetVariable("KIND"), c.Kind);
        EXPECT_EQ(harness.Host.ProgressClosed, c.ProgressClosed);
        // The frame goes before the service that made it.
        DialogsOf(*harness.Machine).CloseFrame();
    }
}

} // namespace
} // namespace vorn
