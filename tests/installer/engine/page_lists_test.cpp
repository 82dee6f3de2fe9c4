// The directory browser and the part lists of custom dialog pages, answered headless on a
// sandbox machine.
#include "engine_fakes.h"
#include "installer/engine/custom_dialog_set.h"
#include "installer/engine/dialog_set_builder.h"
#include "installer/engine/page_lists.h"
#include "platform/headless/answered_dialogs.h"
#include "platform/posix/sandbox_machine.h"
#include "sample_dialog_script.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(PageLists, BrowserPathsAndDoubleClicks) {
    struct Case {
        const char* From;
        const char* Item;
        const char* To;
    };
    const Case cases[] = {
        {"c:\\apps\\", "[..]", "C:\\"}, {"C:\\APPS\\ONE", "[..]", "C:\\APPS"},
        {"C:\\", "[..]", ""},           {"d:", "[SUB]", "D:\\SUB"},
        {"C:\\APPS", "[-q-]", "Q:\\"},  {"C:\\APPS", "plain", ""},
        {"APPS", "[SUB]", ""},          {"1:\\", "[..]", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChosenDirectory(BrowserDirectory(c.From), c.Item), c.To) << c.From << c.Item;
    }
    EXPECT_EQ(ReadPartItem("Help\t45").Kilobytes, 45);
    EXPECT_EQ(ReadPartItem("Help\t-4").Kilobytes, 0);
    EXPECT_EQ(ReadPartItem(" Help ").Name, "Help");
}

TEST(PageLists, BrowserAndPartListFillShowAndStore) {
    struct Case {
        const char* Dir;
        const char* Steps;
        const char* Shown;
        const char* StoredDir;
        const char* StoredParts;
    };
    const Case cases[] = {
        // Two levels down, back up and into the other directory.
        {"c:\\apps\\", "choose 60 2; choose 60 0; choose 60 1; press 1",
         "[..]|[ONE]|[TWO]|[-a-]|[-c-]|[-d-]/C:\\apps/*Program\t1200 k|Samples\t300 k|*Help\t45 "
         "k/1245 k/"
         "1048576 k",
         "C:\\apps\\ONE", "Program Help"},
        // A directory that is gone opens its parent; a drive without a disk stays put, C opens
        // its root.
        {"C:\\APPS\\GONE", "choose 60 3; choose 60 4; select 70 1; press 1",
         "[..]|[ONE]|[TWO]|[-a-]|[-c-]|[-d-]/C:\\APPS/*Program\t1200 k|Samples\t300 k|*Help\t45 "
         "k/1245 k/"
         "1048576 k",
         "C:\\", "Samples"},
        // No drive at all: the root of C, and no free space for a destination without one.
        {"nowhere", "press 1",
         "[APPS]|[Program Files]|[TEMP]|[WINNT]|[-a-]|[-c-]|[-d-]/C:\\/*Program\t1200 "
         "k|Samples\t300 k|*Help\t45 k/1245 k/",
         "C:\\", "Program Help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Dir);
        plandra::test::TempFolder folder;
        auto sandbox =
            platform::SandboxMachine::Create(folder.Folder(), platform::WindowsFamily::WindowsNT)
                .Machine;
        ASSERT_TRUE(sandbox);
        for (const char* directory : {"C:\\APPS\\ONE", "C:\\APPS\\TWO"}) {
            std::filesystem::create_directories(sandbox->Resolve(directory).Native);
        }
        testing::SandboxTestMachine services(*sandbox);
        std::vector<std::uint8_t> block = BuildDialogSet({BuildListsPage()});
        DialogSample sample;
        sample.Archive = block;
        ScriptBuilder b;
        auto size = static_cast<std::uint32_t>(block.size());
        CustomDialogSetRecord(b, 0, size, size);
        testing::EngineHarness harness(b.Build());
        InstallContext context;
        UseDialogSample(context, sample);
        harness.Machine->Services.Context = &context;
        harness.Machine->Services.Machine = &services;
        harness.Machine->Actions[op::CustomDialogSet] = &CustomDialogSet;
        harness.Machine->Variables.SetVariable("DIR", c.Dir);
        harness.Machine->Variables.SetVariable("PARTS", "Program Help");
        platform::AnsweredDialogs answered(
            std::vector<platform::DialogAnswer>{{"Folders", c.Steps}});
        DialogsOf(*harness.Machine).UseService(answered);
        EXPECT_EQ(harness.Run(), -1);
        ASSERT_EQ(answered.Shown.size(), 1u);
        std::string shown;
        for (const auto& [id, text] : answered.Shown[0].Texts) {
            if (id != 1) {
                shown += (shown.empty() ? "" : "/") + text;
            }
        }
        EXPECT_EQ(shown, c.Shown);
        EXPECT_EQ(harness.Machine->Variables.GetVariable("DIR"), c.StoredDir);
        EXPECT_EQ(harness.Machine->Variables.GetVariable("PARTS"), c.StoredParts);
    }
}

} // namespace
} // namespace vorn
