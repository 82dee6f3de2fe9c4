// The wait dialog and the template message box failing: the work goes on without the
// dialog, and the box falls back to the system's.
#include "engine_fakes.h"
#include "installer/engine/box_dialog_presenter.h"
#include "installer/engine/wait_dialog.h"
#include "platform/headless/fault_injection_box_dialogs.h"
#include "platform/headless/fault_injection_wait_dialogs.h"
#include "platform/headless/headless_message_box.h"
#include "platform/posix/sandbox_install_display.h"
#include "platform/posix/sandbox_machine.h"
#include "sandbox_test_machine.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

// A box dialog the user answers with its second button.
class SecondButtonBoxes final : public platform::BoxDialogService {
public:
    int ShowBoxDialog(const platform::BoxDialogRequest&,
                      const std::function<platform::BoxDialogPlacement(
                          const platform::BoxDialogParts&, platform::Size, int, bool)>&) override {
        return 3;
    }
};

TEST(DialogServiceFaults, WaitDialogAndTemplateBoxThatFailLetTheRunGoOn) {
    struct Case {
        bool Fails;
        const char* Shown;
        BoxButton Pressed;
        std::size_t SystemBoxes;
    };
    const Case cases[] = {
        {false, "WaitDialog 4096 \"Searching\"\nWaitDialog closed\n", BoxButton::Second, 0},
        {true,
         "Notice the wait dialog \"Searching\" cannot be shown; the work goes on without it\n",
         BoxButton::First, 1},
    };
    for (const Case& c : cases) {
        plandra::test::TempFolder folder;
        auto sandbox =
            platform::SandboxMachine::Create(folder.Folder(), platform::WindowsFamily::WindowsNT)
                .Machine;
        ASSERT_TRUE(sandbox);
        testing::SandboxTestMachine services(*sandbox);
        platform::SandboxInstallDisplay display(folder.Folder());
        platform::FaultInjectingWaitDialogs waits(display);
        services.ShownDisplay = &display;
        services.ShownWaitDialogs = &waits;
        SecondButtonBoxes shownBoxes;
        platform::FaultInjectingBoxDialogs boxes(shownBoxes);
        if (c.Fails) {
            waits.Plan.FailAt(platform::WaitDialogCall::OpenWaitDialog, 1, 0);
            boxes.Plan.FailAt(platform::BoxDialogCall::ShowBoxDialog, 1, 0);
        }
        testing::EngineHarness harness({op::EndOfScript});
        harness.Machine->Services.Machine = &services;
        { WaitDialogScope scope(*harness.Machine, "Searching"); }
        EXPECT_EQ(
            plandra::test::ReadFileText(folder.Folder() / platform::SandboxInstallDisplay::LogName),
            c.Shown);

        platform::HeadlessMessageBox system;
        TemplateBoxPresenter presenter(system, &boxes);
        BoxRequest request;
        request.Owner = 1;
        request.Text = "Replace the file?";
        request.FirstCaption = "Yes";
        request.SecondCaption = "No";
        EXPECT_EQ(presenter.Present(request), c.Pressed);
        EXPECT_EQ(system.Boxes.size(), c.SystemBoxes);
    }
}

} // namespace
} // namespace vorn
